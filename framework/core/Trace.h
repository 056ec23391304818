// One-line diagnostic traces through GLib logging in the application's log domain (its name, set
// when the program starts); they are shown with G_MESSAGES_DEBUG=<domain> (or =all).
#pragma once

#include <string>

void AfxTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The log domain of the traces from now on; "afx" until the application names one.
void AfxSetTraceDomain(const std::string& domain);
