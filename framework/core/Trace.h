// One-line diagnostic traces through GLib logging in the application's log domain; they are shown
// with G_MESSAGES_DEBUG=FOLIOSCP (or =all).
#pragma once

#define AFX_LOG_DOMAIN "FOLIOSCP"

void AfxTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
