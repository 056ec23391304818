#include "app/InstallPrefix.h"

#include <glib.h>

#include <memory>

namespace {

using GlibText = std::unique_ptr<gchar, decltype(&g_free)>;

}  // namespace

std::string AfxExecutable() {
  const GlibText exe(g_file_read_link("/proc/self/exe", nullptr), g_free);
  return exe ? exe.get() : "";
}

std::string AfxInstallPrefix() {
  const std::string exe = AfxExecutable();
  if (exe.empty()) return "";
  const GlibText folder(g_path_get_dirname(exe.c_str()), g_free);
  const GlibText prefix(g_canonicalize_filename(AFX_EXE_TO_PREFIX, folder.get()), g_free);
  return prefix.get();
}
