#include "app/HelpFile.h"

#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>

#include <memory>
#include <vector>

namespace {

// The running executable's file; "" when it cannot be told.
std::string Executable() {
  const std::unique_ptr<gchar, decltype(&g_free)> exe(g_file_read_link("/proc/self/exe", nullptr), g_free);
  return exe ? exe.get() : "";
}

}  // namespace

std::string AfxFindHelpFile(const std::string& exeName) {
  const std::string exe = Executable();
  const std::string prefix = Glib::path_get_dirname(Glib::path_get_dirname(exe));
  std::vector<std::string> candidates;
  if (!exe.empty()) candidates.push_back(prefix + "/" AFX_INSTALL_DATADIR "/doc/" + exeName + "/guide/index.html");
  // A build tree holds no installed guide; the one beside the sources stands in.
  if (!exe.empty() && exe.rfind(AFX_BUILD_DIR "/", 0) == 0) candidates.push_back(AFX_SOURCE_DIR "/guide/index.html");
  for (const std::string& candidate : candidates)
    if (Glib::file_test(candidate, Glib::FILE_TEST_IS_REGULAR)) return candidate;
  return "";
}
