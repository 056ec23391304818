#include "dialogs/RecentFilesGuard.h"

#include <gtk/gtk.h>

#include <map>

namespace {

// Names to take out, each until the time (monotonic, microseconds) after which any addition is
// taken to be the user's own work elsewhere.
std::map<std::string, gint64>& Pending() {
  static std::map<std::string, gint64> pending;
  return pending;
}

constexpr gint64 kWatchUs = 10 * G_USEC_PER_SEC;

// Runs before the manager writes its list (on every "changed" emission).
void OnChanged(GtkRecentManager* manager) {
  gint64 now = g_get_monotonic_time();
  for (auto it = Pending().begin(); it != Pending().end();) {
    if (now > it->second) {
      it = Pending().erase(it);
    } else if (gtk_recent_manager_has_item(manager, it->first.c_str())) {
      gtk_recent_manager_remove_item(manager, it->first.c_str(), nullptr);
      it = Pending().erase(it);
    } else {
      ++it;
    }
  }
  g_signal_chain_from_overridden_handler(manager);
}

}  // namespace

RecentFilesGuard::RecentFilesGuard() {
  static const bool overridden = [] {
    g_signal_override_class_handler("changed", GTK_TYPE_RECENT_MANAGER, G_CALLBACK(OnChanged));
    return true;
  }();
  (void)overridden;
  GtkRecentManager* manager = gtk_recent_manager_get_default();
  GList* items = gtk_recent_manager_get_items(manager);
  for (GList* l = items; l != nullptr; l = l->next) {
    m_before.insert(gtk_recent_info_get_uri(static_cast<GtkRecentInfo*>(l->data)));
    gtk_recent_info_unref(static_cast<GtkRecentInfo*>(l->data));
  }
  g_list_free(items);
}

void RecentFilesGuard::KeepOut(const std::string& uri) {
  if (m_before.count(uri) != 0) return;
  // The chooser's addition may have come in already (and even been written), or may come later.
  GtkRecentManager* manager = gtk_recent_manager_get_default();
  if (gtk_recent_manager_has_item(manager, uri.c_str()))
    gtk_recent_manager_remove_item(manager, uri.c_str(), nullptr);
  else
    Pending()[uri] = g_get_monotonic_time() + kWatchUs;
}
