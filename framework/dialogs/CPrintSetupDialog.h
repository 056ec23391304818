// Print Setup: the GTK print dialog in its set-up role, with the page set-up inside it and a confirm
// button that says it only keeps the choice.
#pragma once

#include <gtk/gtk.h>

#include <string>

class CPrintSetupDialog {
 public:
  // Shows the dialog over owner (may be nullptr), starting from settings and pageSetup (either may
  // be nullptr). When confirmed, both are replaced by the chosen ones (the old ones unreferenced,
  // the new ones the caller's) and true is returned.
  static bool Run(const std::string& title, GtkWindow* owner, GtkPrintSettings*& settings, GtkPageSetup*& pageSetup);
};
