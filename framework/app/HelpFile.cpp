#include "app/HelpFile.h"

#include <glib.h>

#include <vector>

namespace {

std::string Take(gchar* text) {
  std::string result = text != nullptr ? text : "";
  g_free(text);
  return result;
}

}  // namespace

std::string AfxFindHelpFile(const std::string& exeName) {
  const std::string exe = Take(g_file_read_link("/proc/self/exe", nullptr));
  const std::string exeDir = Take(g_path_get_dirname(exe.c_str()));
  const std::string prefix = Take(g_path_get_dirname(exeDir.c_str()));
  std::vector<std::string> candidates;
  if (!exe.empty()) candidates.push_back(prefix + "/" AFX_INSTALL_DATADIR "/doc/" + exeName + "/guide/index.html");
  // A build tree holds no installed guide; the one beside the sources stands in.
  if (!exe.empty() && g_str_has_prefix(exe.c_str(), AFX_BUILD_DIR "/"))
    candidates.push_back(AFX_SOURCE_DIR "/guide/index.html");
  for (const std::string& candidate : candidates)
    if (g_file_test(candidate.c_str(), G_FILE_TEST_IS_REGULAR)) return candidate;
  return "";
}
