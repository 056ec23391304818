#include "dialogs/CPrintSetupDialog.h"

#include <gtk/gtkunixprint.h>

bool CPrintSetupDialog::Run(const std::string& title, GtkWindow* owner, GtkPrintSettings*& settings,
                            GtkPageSetup*& pageSetup) {
  GtkWidget* dialog = gtk_print_unix_dialog_new(title.c_str(), owner);
  GtkPrintUnixDialog* printDialog = GTK_PRINT_UNIX_DIALOG(dialog);
  if (settings != nullptr) gtk_print_unix_dialog_set_settings(printDialog, settings);
  // The dialog's own confirm button says "Print"; here it only keeps the choice for Print.
  if (GtkWidget* confirm = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK))
    gtk_button_set_label(GTK_BUTTON(confirm), "_Apply");
  if (pageSetup != nullptr) gtk_print_unix_dialog_set_page_setup(printDialog, pageSetup);
  gtk_print_unix_dialog_set_embed_page_setup(printDialog, TRUE);
  const bool confirmed = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
  if (confirmed) {
    if (settings != nullptr) g_object_unref(settings);
    if (pageSetup != nullptr) g_object_unref(pageSetup);
    settings = gtk_print_unix_dialog_get_settings(printDialog);
    pageSetup = GTK_PAGE_SETUP(g_object_ref(gtk_print_unix_dialog_get_page_setup(printDialog)));
  }
  gtk_widget_destroy(dialog);
  return confirmed;
}
