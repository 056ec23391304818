#include "dialogs/DialogFolder.h"

#include <glibmm/convert.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/AfxRes.h"
#include "core/ResourceModule.h"

namespace {

// The current folder, or "" with errno set when it cannot be reached by its name: deleted, or
// unreadable, or deeper than the system's path limit (the C library then still finds its name,
// but nothing can open a folder by it).
std::string CurrentFolder() {
  const std::unique_ptr<char, decltype(&free)> cwd(getcwd(nullptr, 0), free);
  if (!cwd) return "";
  if (strlen(cwd.get()) >= PATH_MAX || !Glib::file_test(cwd.get(), Glib::FILE_TEST_IS_DIR)) {
    errno = ENAMETOOLONG;
    return "";
  }
  return cwd.get();
}

// The name the current folder had before it was deleted, or "" when the system does not tell.
std::string DeletedCurrentFolder() {
  constexpr std::string_view kDeleted = " (deleted)";
  const std::unique_ptr<gchar, decltype(&g_free)> link(g_file_read_link("/proc/self/cwd", nullptr), g_free);
  const std::string name = link ? link.get() : "";
  if (name.size() > kDeleted.size() && name.compare(name.size() - kDeleted.size(), kDeleted.size(), kDeleted) == 0)
    return name.substr(0, name.size() - kDeleted.size());
  return "";
}

std::string Gone(const std::string& folder) {
  return AfxFormatString1(AfxLoadString(AFX_IDS_FOLDER_GONE), Glib::filename_display_name(folder).raw());
}

}  // namespace

namespace DialogFolder {

Choice Choose(const std::string& wanted) {
  if (!wanted.empty() && Glib::file_test(wanted, Glib::FILE_TEST_IS_DIR)) return {wanted, ""};
  const std::string current = CurrentFolder();
  const int currentError = errno;
  std::string reason;
  if (!wanted.empty()) {
    reason = Gone(wanted);
  } else if (current.empty()) {
    std::string deleted = currentError == ENOENT ? DeletedCurrentFolder() : "";
    reason = deleted.empty() ? AfxLoadString(AFX_IDS_FOLDER_UNREACHABLE) : Gone(deleted);
  }
  const std::string folder = current.empty() ? Glib::get_home_dir() : current;
  if (!reason.empty())
    reason +=
        " " + AfxFormatString1(AfxLoadString(AFX_IDS_DIALOG_STARTS_IN), Glib::filename_display_name(folder).raw());
  return {folder, reason};
}

}  // namespace DialogFolder
