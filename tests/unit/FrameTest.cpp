// The frame's layout arithmetic and what the message pane shows for each command.
#include <gtest/gtest.h>

#include "core/AfxRes.h"
#include "core/ResourceModule.h"
#include "window/FrameLayout.h"
#include "window/MessagePrompts.h"

namespace {

using E = LayoutEdge;

TEST(FrameLayout, BarsTakeStripsInOrderAndTheViewTheRest) {
  const LayoutRect client{0, 0, 800, 600};
  struct Case {
    const char* name;
    std::vector<LayoutItem> items;
    std::vector<LayoutRect> expected;
  };
  // Creation order: view, status bar, then the top, bottom, left and right dock areas.
  const Case cases[] = {
      {"status bar and toolbar at the top",
       {{E::fill, true, 0},
        {E::bottom, true, 20},
        {E::top, true, 30},
        {E::bottom, false, 0},
        {E::left, false, 0},
        {E::right, false, 0}},
       {{0, 30, 800, 550}, {0, 580, 800, 20}, {0, 0, 800, 30}, {}, {}, {}}},
      {"toolbar at the bottom lies above the status bar",
       {{E::fill, true, 0}, {E::bottom, true, 20}, {E::top, false, 0}, {E::bottom, true, 30}},
       {{0, 0, 800, 550}, {0, 580, 800, 20}, {}, {0, 550, 800, 30}}},
      {"left and right lie between top and bottom",
       {{E::fill, true, 0},
        {E::bottom, true, 20},
        {E::top, true, 30},
        {E::bottom, true, 10},
        {E::left, true, 40},
        {E::right, true, 50}},
       {{40, 30, 710, 540},
        {0, 580, 800, 20},
        {0, 0, 800, 30},
        {0, 570, 800, 10},
        {0, 30, 40, 540},
        {750, 30, 50, 540}}},
      {"hidden bars take nothing",
       {{E::fill, true, 0}, {E::bottom, false, 20}, {E::top, false, 30}},
       {{0, 0, 800, 600}, {}, {}}},
      {"bars thicker than the room get what is left",
       {{E::fill, true, 0}, {E::top, true, 500}, {E::bottom, true, 500}},
       {{0, 500, 800, 0}, {0, 0, 800, 500}, {0, 500, 800, 100}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto rects = LayOutFrame(client, c.items);
    ASSERT_EQ(rects.size(), c.expected.size());
    for (size_t i = 0; i < rects.size(); ++i)
      EXPECT_EQ(rects[i], c.expected[i]) << i << ": " << rects[i].x << "," << rects[i].y << " " << rects[i].width << "x"
                                         << rects[i].height;
  }
}

TEST(MessagePrompts, FirstLineOfTheCommandsStringOrNothing) {
  static const StringResource commands[] = {{ID_FILE_NEW, "Create a new document\nNew"}, {32771, "Back Browser\nBack"}};
  static const CResourceModule program{commands};
  AfxSetResourceModule(&program);
  const std::pair<UINT, std::string> cases[] = {
      {ID_FILE_NEW, "Create a new document"},
      {32771, "Back Browser"},
      {AFX_IDS_IDLEMESSAGE, "Ready"},
      {0, ""},
      {12345, ""},  // no string: blank
      {0xF020, "Reduce the window to an icon"},
      {0xF060, "Close the active window and prompts to save the documents"},
      {0xF12F, "Restore the window to normal size"},
      {0xF1F0, ""},  // past the window-menu commands
  };
  for (const auto& [id, prompt] : cases) EXPECT_EQ(AfxPromptOf(id), prompt) << id;

  static const std::string longText = std::string(300, 'x') + "\ntip";
  static const StringResource strings[] = {{7, longText.c_str()}};
  static const CResourceModule module{strings};
  AfxSetResourceModule(&module);
  EXPECT_EQ(AfxPromptOf(7), std::string(255, 'x'));
}

}  // namespace
