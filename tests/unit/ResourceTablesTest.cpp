// The resource tables agree with each other: menu keys with accelerators, commands with their
// strings, the toolbar with its bitmap, the About box and the man page with the version record.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "resources/Resource.h"
#include "resources/Resources.h"
#include "window/CAcceleratorTable.h"
#include "window/CFrameMenu.h"

namespace {

void ForEachCommandItem(std::span<const MenuResource> items, const std::function<void(const MenuResource&)>& f) {
  for (const MenuResource& item : items) {
    if (!item.popup.empty())
      ForEachCommandItem(item.popup, f);
    else if (item.text != nullptr)
      f(item);
  }
}

// "Ctrl+Shift+F6" as accelerator flags and key.
std::pair<UINT, UINT> ParseKeyText(const std::string& text) {
  UINT flags = FVIRTKEY, key = 0;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, '+')) {
    if (part == "Ctrl")
      flags |= FCONTROL;
    else if (part == "Shift")
      flags |= FSHIFT;
    else if (part == "Alt")
      flags |= FALT;
    else if (part.size() == 1)
      key = UINT(part[0]);
    else if (part == "F6")
      key = VK_F6;
  }
  return {flags, key};
}

class ResourceTables : public testing::Test {
 protected:
  void SetUp() override { AfxSetResourceModule(&ProgramResources()); }
};

TEST_F(ResourceTables, MenuKeysMatchAcceleratorsAndCommandsHaveTheirStrings) {
  const MenuBarResource* menu = AfxFindMenu(IDR_MAINRES);
  const AcceleratorTableResource* accelerators = AfxFindAccelerators(IDR_MAINRES);
  ASSERT_TRUE(menu && accelerators);
  EXPECT_EQ(accelerators->entries.size(), 14u);
  int items = 0;
  ForEachCommandItem(menu->items, [&](const MenuResource& item) {
    ++items;
    SCOPED_TRACE(item.text);
    EXPECT_NE(AfxFindString(item.nID), nullptr);
    auto [label, keyText] = CFrameMenu::SplitLabel(item.text);
    if (keyText.empty()) return;
    auto [flags, key] = ParseKeyText(keyText);
    bool found = false;
    for (const AcceleratorResource& a : accelerators->entries)
      found = found || (a.cmd == item.nID && a.fVirt == flags && a.key == key);
    EXPECT_TRUE(found) << keyText;
  });
  EXPECT_EQ(items, 14);
  for (const AcceleratorResource& a : accelerators->entries) {
    EXPECT_NE(CAcceleratorTable::KeyvalFromVirtualKey(a.key), 0xFFFFFFu) << a.key;  // every key maps to a GDK key
    EXPECT_NE(AfxFindString(a.cmd), nullptr) << a.cmd;
  }
}

TEST_F(ResourceTables, PromptsAndTooltipsFitAndStringsAreUnique) {
  std::set<UINT> seen;
  for (const StringResource& s : ProgramStrings()) {
    EXPECT_TRUE(seen.insert(s.id).second) << "duplicate " << s.id;
    std::string prompt, tooltip;
    AfxExtractSubString(prompt, s.text, 0);
    AfxExtractSubString(tooltip, s.text, 1);
    if (s.id == IDR_MAINRES) continue;  // the document string has fields, not a prompt
    EXPECT_LE(prompt.size(), 255u) << s.id;
    EXPECT_LE(tooltip.size(), 79u) << s.id;
  }
  std::string field;
  EXPECT_TRUE(AfxExtractSubString(field, AfxLoadString(IDR_MAINRES), 6));
  EXPECT_EQ(field, "FOLIOS Document");
}

TEST_F(ResourceTables, ToolBarMatchesItsBitmap) {
  const ToolBarResource* toolbar = AfxFindToolBar(IDR_MAINRES);
  ASSERT_NE(toolbar, nullptr);
  EXPECT_EQ(toolbar->version, 1u);
  EXPECT_EQ(toolbar->items.size(), 13u);
  int buttons = 0;
  for (UINT nID : toolbar->items) {
    if (nID == ID_SEPARATOR) continue;
    ++buttons;
    std::string tooltip;
    EXPECT_TRUE(AfxExtractSubString(tooltip, AfxLoadString(nID), 1) && !tooltip.empty()) << nID;
  }
  GError* error = nullptr;
  GdkPixbuf* bitmap = gdk_pixbuf_new_from_file(SOURCE_DIR "/resources/images/toolbar.png", &error);
  ASSERT_NE(bitmap, nullptr);
  EXPECT_EQ(gdk_pixbuf_get_width(bitmap), buttons * int(toolbar->width));
  EXPECT_EQ(gdk_pixbuf_get_height(bitmap), int(toolbar->height));
  g_object_unref(bitmap);
}

TEST_F(ResourceTables, AboutBoxAndManPageAgreeWithTheVersionRecord) {
  const VersionResource& version = ProgramVersion();
  auto value = [&](const char* name) {
    for (auto [n, v] : version.strings)
      if (std::string(n) == name) return std::string(v);
    return std::string("<missing>");
  };
  const DialogResource* about = AfxFindDialog(IDD_ABOUT);
  ASSERT_NE(about, nullptr);
  EXPECT_STREQ(about->caption, "About FOLIOSCP");
  EXPECT_EQ(about->items[1].text, value("ProductName"));
  EXPECT_EQ(about->items[2].text, value("LegalCopyright"));
  EXPECT_EQ(value("FileVersion"), "1, 0, 0, 1");
  std::ifstream man(SOURCE_DIR "/packaging/folioscope.1");
  std::stringstream text;
  text << man.rdbuf();
  EXPECT_NE(text.str().find(value("ProductName")), std::string::npos);
  EXPECT_NE(text.str().find("file version " + value("FileVersion")), std::string::npos);
}

}  // namespace
