#include "html/PageDownloads.h"

#include <gio/gio.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <gtkmm/window.h>
#include <webkit2/webkit2.h>

#include <algorithm>

#include "core/Trace.h"
#include "dialogs/CFileDialog.h"
#include "html/BrowserTexts.h"
#include "html/FileUri.h"

namespace {

// How long after a click or a key the download it asked for may start.
constexpr gint64 kAskedWithinUs = 10 * G_USEC_PER_SEC;

const char* UriOf(WebKitDownload* download) {
  return webkit_uri_request_get_uri(webkit_download_get_request(download));
}

// Where a download is proposed: the Downloads folder when there is one, else the home folder.
std::string DownloadFolder() {
  const char* downloads = g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD);
  if (downloads != nullptr && g_file_test(downloads, G_FILE_TEST_IS_DIR)) return downloads;
  return g_get_home_dir();
}

// The engine's name for a download, as a plain file name.
std::string ProposedName(const char* suggested) {
  std::string name = suggested != nullptr ? Glib::path_get_basename(suggested) : "";
  if (name.empty() || name == "." || name == ".." || name == "/") name = "download";
  return name;
}

// The file a download's destination names (a file: URI, or a path).
std::string PathOf(const char* destination) {
  if (destination == nullptr) return "";
  const std::string path = FileUri::ToPath(destination);
  return path.empty() ? destination : path;
}

// The context menu's items that save what they point at, and the address each saves.
const char* SavedBy(WebKitContextMenuAction action, WebKitHitTestResult* hit, const char** label) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK:
      *label = "_Download Linked File";
      return webkit_hit_test_result_get_link_uri(hit);
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_IMAGE_TO_DISK:
      *label = "Sa_ve Image As";
      return webkit_hit_test_result_get_image_uri(hit);
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_VIDEO_TO_DISK:
      *label = "_Download Video";
      return webkit_hit_test_result_get_media_uri(hit);
    case WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_AUDIO_TO_DISK:
      *label = "_Download Audio";
      return webkit_hit_test_result_get_media_uri(hit);
    default:
      return nullptr;
  }
}

}  // namespace

PageDownloads::PageDownloads(WebKitWebView* webView, Report report)
    : m_webView(webView),
      m_report(std::move(report)),
      m_menuAction(g_simple_action_new("download", G_VARIANT_TYPE_STRING)) {
  g_signal_connect(webkit_web_view_get_context(webView), "download-started", G_CALLBACK(OnStarted), this);
  g_signal_connect(webView, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(m_menuAction.get(), "activate", G_CALLBACK(OnMenuDownload), this);
}

PageDownloads::~PageDownloads() {
  *m_alive = false;
  for (sigc::connection& chooser : m_choosers) chooser.disconnect();
  for (const auto& download : m_downloads) g_signal_handlers_disconnect_by_data(download.get(), this);
  g_signal_handlers_disconnect_by_data(m_menuAction.get(), this);
  g_signal_handlers_disconnect_by_data(m_webView, this);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_context(m_webView), this);
}

void PageDownloads::Expect(const std::string& uri) {
  m_expected = uri;
  m_expectedAt = g_get_monotonic_time();
}

void PageDownloads::OnStarted(WebKitWebContext*, WebKitDownload* download, PageDownloads* self) {
  if (webkit_download_get_web_view(download) != self->m_webView) return;
  self->m_downloads.push_back(GObjectRef(download));
  g_signal_connect(download, "decide-destination", G_CALLBACK(OnDecideDestination), self);
  g_signal_connect(download, "failed", G_CALLBACK(OnFailed), self);
  g_signal_connect(download, "finished", G_CALLBACK(OnFinished), self);
}

// The engine's own download items would save without asking where: each is replaced by one that
// starts the same download as the reader's.
gboolean PageDownloads::OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit,
                                      PageDownloads* self) {
  GList* items = g_list_copy(webkit_context_menu_get_items(menu));
  int position = 0;
  for (GList* l = items; l != nullptr; l = l->next, ++position) {
    auto* item = static_cast<WebKitContextMenuItem*>(l->data);
    const char* label = nullptr;
    const char* uri = SavedBy(webkit_context_menu_item_get_stock_action(item), hit, &label);
    if (label == nullptr) continue;
    webkit_context_menu_remove(menu, item);
    if (uri != nullptr && *uri != '\0')
      webkit_context_menu_insert(menu,
                                 webkit_context_menu_item_new_from_gaction(G_ACTION(self->m_menuAction.get()), label,
                                                                           g_variant_new_string(uri)),
                                 position);
    else
      --position;
  }
  g_list_free(items);
  return FALSE;
}

void PageDownloads::OnMenuDownload(GSimpleAction*, GVariant* uri, PageDownloads* self) {
  const char* address = g_variant_get_string(uri, nullptr);
  self->Expect(address);
  g_object_unref(webkit_web_view_download_uri(self->m_webView, address));
}

bool PageDownloads::Asked(WebKitDownload* download) {
  const bool asked =
      !m_expected.empty() && m_expected == UriOf(download) && g_get_monotonic_time() - m_expectedAt < kAskedWithinUs;
  if (asked) m_expected.clear();
  return asked;
}

gboolean PageDownloads::OnDecideDestination(WebKitDownload* download, gchar* suggested, PageDownloads* self) {
  if (!self->Asked(download)) {
    AfxTrace("Not saving %s: the page asked for it by itself\n", UriOf(download));
    self->m_report(BrowserTexts::NotSaved(BrowserTexts::Address(UriOf(download))));
    self->Forget(download);
    webkit_download_cancel(download);
    return TRUE;
  }
  self->Choose(download, ProposedName(suggested));
  return TRUE;  // the destination follows once the reader has chosen it
}

// The dialog runs a loop of its own: it is shown once the engine's signal has returned.
void PageDownloads::Choose(WebKitDownload* download, const std::string& name) {
  m_choosers.push_back(Glib::signal_idle().connect(
      [this, alive = m_alive, held = std::shared_ptr<WebKitDownload>(GObjectRef(download)), name] {
        GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(m_webView));
        Gtk::Window* parent = GTK_IS_WINDOW(top) ? Glib::wrap(GTK_WINDOW(top)) : nullptr;
        CFileDialog dialog(false, "Save Download As", Glib::build_filename(DownloadFolder(), name), parent);
        const bool chosen = dialog.DoModal();
        if (!*alive) {  // the view went while the dialog was up
          webkit_download_cancel(held.get());
          return false;
        }
        if (!chosen) {
          Forget(held.get());
          webkit_download_cancel(held.get());
          m_report(BrowserTexts::NotSavedCancelled(Glib::path_get_basename(name)));
          return false;
        }
        // The dialog has asked before replacing a file that is there.
        webkit_download_set_allow_overwrite(held.get(), TRUE);
        webkit_download_set_destination(held.get(), FileUri::FromPath(dialog.GetPathName()).c_str());
        return false;
      }));
}

void PageDownloads::OnFailed(WebKitDownload* download, GError* error, PageDownloads* self) {
  const std::string destination = PathOf(webkit_download_get_destination(download));
  self->Forget(download);  // the engine's "finished" that follows is no success
  if (g_error_matches(error, WEBKIT_DOWNLOAD_ERROR, WEBKIT_DOWNLOAD_ERROR_CANCELLED_BY_USER)) return;
  AfxTrace("Download of %s failed: %s\n", UriOf(download), error->message);
  self->m_report(BrowserTexts::CannotSave(
      destination.empty() ? BrowserTexts::Address(UriOf(download)) : BrowserTexts::Path(destination), error->message));
}

void PageDownloads::OnFinished(WebKitDownload* download, PageDownloads* self) {
  const std::string destination = PathOf(webkit_download_get_destination(download));
  self->Forget(download);
  AfxTrace("Saved %s as %s\n", UriOf(download), destination.c_str());
  self->m_report(BrowserTexts::Saved(BrowserTexts::Path(destination)));
}

void PageDownloads::Forget(WebKitDownload* download) {
  g_signal_handlers_disconnect_by_data(download, this);
  std::erase_if(m_downloads, [download](const auto& held) { return held.get() == download; });
  std::erase_if(m_choosers, [](const sigc::connection& chooser) { return !chooser.connected(); });
}
