#include "core/Trace.h"

#include <glib.h>

#include <cstdarg>
#include <string>

void AfxTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  gchar* text = g_strdup_vprintf(format, args);
  va_end(args);
  std::string line(text);
  g_free(text);
  while (!line.empty() && line.back() == '\n') line.pop_back();
  g_log(AFX_LOG_DOMAIN, G_LOG_LEVEL_DEBUG, "%s", line.c_str());
}
