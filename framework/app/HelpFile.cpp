#include "app/HelpFile.h"

#include <glibmm/fileutils.h>

#include <vector>

#include "app/InstallPrefix.h"

std::string AfxFindHelpFile(const std::string& exeName) {
  const std::string exe = AfxExecutable();
  std::vector<std::string> candidates;
  if (!exe.empty())
    candidates.push_back(AfxInstallPrefix() + "/" AFX_INSTALL_DATADIR "/doc/" + exeName + "/guide/index.html");
  // A build tree holds no installed guide; the one beside the sources stands in.
  if (!exe.empty() && exe.rfind(AFX_BUILD_DIR "/", 0) == 0) candidates.push_back(AFX_SOURCE_DIR "/guide/index.html");
  for (const std::string& candidate : candidates)
    if (Glib::file_test(candidate, Glib::FILE_TEST_IS_REGULAR)) return candidate;
  return "";
}
