// Decides every download the engine starts for one view: only what the reader asked for is saved.
// A download the reader started (a download item of the page's context menu, a click or a key on a
// link that downloads) asks where to save in the Save As dialog, proposing the link's name in the
// Downloads folder (the home folder when there is none); a file is replaced only after the dialog's
// replace question, and the status text says where the file went or why it was not saved. Any other
// download (a script's, a refresh's, a frame's) is cancelled before a byte is written, with a status
// text.
#pragma once

#include <glib.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/GObjectPtr.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitDownload WebKitDownload;
typedef struct _WebKitContextMenu WebKitContextMenu;
typedef struct _WebKitHitTestResult WebKitHitTestResult;
typedef union _GdkEvent GdkEvent;
typedef struct _GSimpleAction GSimpleAction;

class PageDownloads {
 public:
  using Report = std::function<void(const std::string&)>;

  PageDownloads(WebKitWebView* webView, Report report);
  ~PageDownloads();
  PageDownloads(const PageDownloads&) = delete;
  PageDownloads& operator=(const PageDownloads&) = delete;

  // A click or a key in the page asked for uri: a download of it that starts within a few seconds
  // is the reader's.
  void Expect(const std::string& uri);

 private:
  static void OnStarted(WebKitWebContext*, WebKitDownload* download, PageDownloads* self);
  static gboolean OnContextMenu(WebKitWebView*, WebKitContextMenu* menu, GdkEvent*, WebKitHitTestResult* hit,
                                PageDownloads* self);
  static void OnMenuDownload(GSimpleAction*, GVariant* uri, PageDownloads* self);
  static gboolean OnDecideDestination(WebKitDownload* download, gchar* suggested, PageDownloads* self);
  static void OnFailed(WebKitDownload* download, GError* error, PageDownloads* self);
  static void OnFinished(WebKitDownload* download, PageDownloads* self);

  // Whether the reader asked for this download; asks once.
  bool Asked(WebKitDownload* download);
  // Asks where to save, once the engine's signal has returned, and gives the engine the answer.
  void Choose(WebKitDownload* download, const std::string& suggested);
  void Forget(WebKitDownload* download);

  WebKitWebView* m_webView;
  Report m_report;
  GObjectPtr<GSimpleAction> m_menuAction;  // the context menu's download items
  std::string m_expected;                  // what the reader last asked for, and when
  gint64 m_expectedAt = 0;
  std::vector<GObjectPtr<WebKitDownload>> m_downloads;           // under way, each with this object's handlers
  std::vector<sigc::connection> m_choosers;                      // dialogs waiting for the engine's signal to return
  std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);  // false once this object is gone
};
