// The resource tables agree with each other: menu keys with accelerators, commands with their
// strings, the toolbar with its bitmap, the About box and the man page with the version record.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "html/BrowserTexts.h"
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

// Each 2x2 block of the dense image averaged, against the pixel of the image at 1x: the mean
// difference per colour channel (0 to 255); and how many dense pixels differ from a plain 2x
// enlargement (the detail drawn at the higher density).
struct DenseComparison {
  double meanDifference;
  int detail;
};

DenseComparison CompareDense(GdkPixbuf* normal, int normalX, GdkPixbuf* dense, int denseX, int width, int height) {
  auto channel = [](GdkPixbuf* p, int x, int y, int c) {
    return int(gdk_pixbuf_get_pixels(p)[y * gdk_pixbuf_get_rowstride(p) + x * gdk_pixbuf_get_n_channels(p) + c]);
  };
  double difference = 0;
  int detail = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c) {
        int sum = 0, one = channel(normal, normalX + x, y, c);
        for (int d = 0; d < 4; ++d) {
          int v = channel(dense, 2 * (denseX + x) + d % 2, 2 * y + d / 2, c);
          sum += v;
          detail += v != one;
        }
        difference += std::abs(sum / 4.0 - one);
      }
    }
  }
  return {difference / (width * height * 3), detail};
}

// The image file behind a path in the program's resource bundle (which must list it).
GdkPixbuf* LoadImage(const char* resourcePath) {
  std::string name = resourcePath;
  name = name.substr(name.rfind('/') + 1);
  std::ifstream bundle(SOURCE_DIR "/resources/images/images.gresource.xml");
  std::string listed((std::istreambuf_iterator<char>(bundle)), std::istreambuf_iterator<char>());
  EXPECT_NE(listed.find("<file>" + name + "</file>"), std::string::npos) << name;
  return gdk_pixbuf_new_from_file((SOURCE_DIR "/resources/images/" + name).c_str(), nullptr);
}

TEST_F(ResourceTables, PicturesAtTwiceTheDensityKeepTheirDesignWithMoreDetail) {
  const ToolBarResource* toolbar = AfxFindToolBar(IDR_MAINRES);
  ASSERT_NE(toolbar->bitmap2x, nullptr);
  GdkPixbuf* normal = LoadImage(toolbar->bitmap);
  GdkPixbuf* dense = LoadImage(toolbar->bitmap2x);
  ASSERT_NE(normal, nullptr);
  ASSERT_NE(dense, nullptr);
  ASSERT_EQ(gdk_pixbuf_get_width(dense), 2 * gdk_pixbuf_get_width(normal));
  ASSERT_EQ(gdk_pixbuf_get_height(dense), 2 * gdk_pixbuf_get_height(normal));
  int pictures = gdk_pixbuf_get_width(normal) / int(toolbar->width), detailed = 0;
  const int w = int(toolbar->width), h = int(toolbar->height);
  for (int i = 0; i < pictures; ++i) {
    // Reduced, each dense picture is close to its own picture and far from every other one.
    DenseComparison own = CompareDense(normal, i * w, dense, i * w, w, h);
    EXPECT_LT(own.meanDifference, 25.0) << "picture " << i;
    for (int j = 0; j < pictures; ++j) {
      if (j == i) continue;
      EXPECT_GT(CompareDense(normal, j * w, dense, i * w, w, h).meanDifference, 2 * own.meanDifference)
          << i << " " << j;
    }
    detailed += own.detail > 0;
  }
  EXPECT_GE(detailed, pictures - 1);  // only a picture without diagonals or text may be a plain enlargement
  g_object_unref(normal);
  g_object_unref(dense);

  // The icons: every size loads and is square; each doubled size keeps the design of its half.
  for (const IconResource& icon : ProgramIcons()) {
    std::map<int, GdkPixbuf*> sizes;
    for (const char* path : icon.images) {
      GdkPixbuf* image = LoadImage(path);
      ASSERT_NE(image, nullptr) << path;
      EXPECT_EQ(gdk_pixbuf_get_width(image), gdk_pixbuf_get_height(image)) << path;
      sizes[gdk_pixbuf_get_width(image)] = image;
    }
    ASSERT_TRUE(sizes.count(32) && sizes.count(64)) << icon.nID;
    if (icon.nID == IDI_DOCUMENT) {
      EXPECT_LT(CompareDense(sizes[32], 0, sizes[64], 0, 32, 32).meanDifference, 25.0);
    }
    for (auto [size, image] : sizes) g_object_unref(image);
  }
}

std::string ReadSource(const char* path) {
  std::ifstream file(std::string(SOURCE_DIR "/") + path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
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
  // The man page gives the version as --version prints it.
  std::string printed = AfxLoadString(AFX_IDS_VERSION);
  while (!printed.empty() && printed.back() == '\n') printed.pop_back();
  const std::string man = ReadSource("packaging/folioscope.1");
  EXPECT_NE(man.find(".SH VERSION\n" + printed + ", file version " + value("FileVersion") + "."), std::string::npos);
  EXPECT_NE(man.find("\"" + printed + "\" \"User Commands\""), std::string::npos);
}

// What the README and the guide quote agrees with what the program shows.
TEST_F(ResourceTables, ReadmeAndGuideQuoteTheProgramsTexts) {
  const std::string readme = ReadSource("README.md");
  for (const std::string& text : {BrowserTexts::Opening(), BrowserTexts::Done()})
    EXPECT_NE(readme.find('"' + text + '"'), std::string::npos) << text;
  const std::string loading = BrowserTexts::Loading("<address>");
  EXPECT_NE(readme.find("\"Loading \\<address\\>...\""), std::string::npos) << loading;
  EXPECT_EQ(loading, "Loading <address>...");
  // The keys page lists Back and Forward's keys, so it cannot call them toolbar buttons only.
  const std::string keys = ReadSource("guide/keys.html");
  EXPECT_NE(keys.find("<kbd>Alt+Left</kbd>"), std::string::npos);
  EXPECT_EQ(keys.find("exist only as toolbar"), std::string::npos);
}

}  // namespace
