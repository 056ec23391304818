// The page process behind the engine's sandbox: it sees the system's files but not the folder
// shown, and that folder's pages still load with their images, style sheets, fonts and scripts,
// and can be searched.
#include <unistd.h>

#include "PageDriver.h"
#include "html/EngineSandbox.h"

namespace {

using namespace page;

std::string Link(const std::string& path) {
  gchar* target = g_file_read_link(path.c_str(), nullptr);
  std::string result = target ? target : "";
  g_free(target);
  return result;
}

// A page whose script reports in its title what it got of the files beside it once everything has
// loaded; the index is fetched late by a script element, as generated documentation does for its
// search.
void WriteFolder(const TempDir& dir) {
  g_mkdir(std::string(dir / "_static").c_str(), 0755);
  gsize size = 0;
  guchar* png = g_base64_decode(
      "iVBORw0KGgoAAAANSUhEUgAAAAIAAAADCAIAAAA2iEnWAAAAEklEQVR4nGP4z8DAwMDAwMAAAB3/Af9C1hA2AAAAAElFTkSuQmCC", &size);
  TempDir::Write(dir / "_static/dot.png", std::string(reinterpret_cast<const char*>(png), size));
  g_free(png);
  gchar* font = nullptr;
  const gchar* argv[] = {"fc-match", "-f", "%{file}", "sans", nullptr};
  g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, &font, nullptr,
               nullptr, nullptr);
  TempDir::Write(dir / "_static/face.ttf", TempDir::Read(font ? font : ""));
  g_free(font);
  TempDir::Write(dir / "_static/page.css",
                 "@font-face{font-family:Face;src:url(face.ttf)}body{background:#cfc;font-family:Face}");
  TempDir::Write(dir / "searchindex.js", "Search.setIndex({terms:{walled:[0]}})");
  TempDir::Write(dir / "index.html", R"(<!DOCTYPE html><title>Loading</title>
<link rel="stylesheet" href="_static/page.css">
<p>The walled page. <img src="_static/dot.png">
<script>
var Search = {setIndex: function(index) { Search.index = index; }};
window.onload = function() {
  var script = document.createElement("script");
  script.src = "searchindex.js";
  script.onload = script.onerror = function() {
    document.fonts.ready.then(function() {
      var img = document.querySelector("img");
      var face = Array.from(document.fonts).find(function(f) { return f.family == "Face"; });
      document.title = "image " + img.naturalWidth + "x" + img.naturalHeight +
        ", background " + getComputedStyle(document.body).backgroundColor +
        ", font " + (face ? face.status : "missing") +
        ", index " + (Search.index ? Object.keys(Search.index.terms) : "missing");
    });
  };
  document.head.appendChild(script);
};
</script>)");
}

TEST(Sandbox, PagesFromTheFolderLoadWholeWhileThePageProcessCannotSeeIt) {
  StartOnce();
  const std::string unavailable = EngineSandbox::Unavailable();
  if (!unavailable.empty()) GTEST_SKIP() << "no sandbox on this machine: " << unavailable;

  TempDir dir;
  WriteFolder(dir);
  ASSERT_TRUE(OpenFolder(dir));
  ASSERT_TRUE(RunUntil([] { return Title() != "Loading"; })) << Title();
  EXPECT_EQ(Title(), "image 2x3, background rgb(204, 255, 204), font loaded, index walled");
  EXPECT_EQ(CountText("walled page"), 1u);

  const std::vector<pid_t> pages = PageProcesses();
  ASSERT_FALSE(pages.empty());
  for (pid_t pid : pages) {
    const std::string root = "/proc/" + std::to_string(pid) + "/root";
    EXPECT_NE(Link(root + "/../ns/mnt"), Link("/proc/self/ns/mnt")) << pid;
    EXPECT_TRUE(g_file_test((root + "/usr/lib").c_str(), G_FILE_TEST_IS_DIR)) << pid;
    EXPECT_FALSE(g_file_test((root + dir.Path() + "/index.html").c_str(), G_FILE_TEST_EXISTS)) << pid;
  }
}

}  // namespace
