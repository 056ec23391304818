#include "core/Trace.h"

#include <glib.h>

#include <cstdarg>
#include <memory>
#include <string>

namespace {

std::string& Domain() {
  static std::string domain = "afx";
  return domain;
}

}  // namespace

void AfxSetTraceDomain(const std::string& domain) { Domain() = domain; }

void AfxTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::unique_ptr<gchar, decltype(&g_free)> text(g_strdup_vprintf(format, args), g_free);
  va_end(args);
  std::string line(text.get());
  while (!line.empty() && line.back() == '\n') line.pop_back();
  g_log(Domain().c_str(), G_LOG_LEVEL_DEBUG, "%s", line.c_str());
}
