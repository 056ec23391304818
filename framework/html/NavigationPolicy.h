// Decides where each navigation of the engine goes. The host may cancel one (OnBeforeNavigate2,
// OnNewWindow2); otherwise: a link or script asking for a new window opens in this same view; a
// location whose scheme the engine cannot show, and a file of a type it has no viewer for, go to the
// desktop's handler when the user asked for them (a click or a key in the page, or the host's own
// request), and are refused with a status text when the page went there by itself (a script, a
// refresh); a local path that is not a regular file or folder (a FIFO, a device) is refused with a
// status text, since reading it could block forever; a folder shows as the view's start shows one
// (its start page or generated page); a generated page's link to a file is followed by the control
// itself. Nothing else is ever cancelled. A download is saved only when the reader asked for it
// (PageDownloads).
#pragma once

#include <glib.h>
#include <sigc++/connection.h>

#include <string>

#include "html/DesktopHandoff.h"
#include "html/NavigationHost.h"
#include "html/PageDownloads.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _GtkWidget GtkWidget;

class NavigationPolicy {
 public:
  NavigationPolicy(WebKitWebView* webView, NavigationHost& host);
  ~NavigationPolicy();
  // The navigation to uri that comes next is the host's own (opening a file, a new window the user
  // asked for); a page's navigation meanwhile is not.
  void ExpectHostNavigation(const std::string& uri);
  NavigationPolicy(const NavigationPolicy&) = delete;
  NavigationPolicy& operator=(const NavigationPolicy&) = delete;

 private:
  static gboolean OnDecidePolicy(WebKitWebView* webView, WebKitPolicyDecision* decision, int type,
                                 NavigationPolicy* self);
  static GtkWidget* OnCreate(WebKitWebView* webView, WebKitNavigationAction* action, NavigationPolicy* self);
  bool DecideNavigation(WebKitPolicyDecision* decision);
  // Whether a navigation is one the page makes by itself while the reader's step is on its way.
  bool InTheReadersWay(WebKitNavigationAction* action, bool host) const;
  bool DecideResponse(WebKitPolicyDecision* decision);
  void HandOn(WebKitPolicyDecision* decision, const char* uri);
  void Refuse(WebKitPolicyDecision* decision, const char* uri);
  bool ShownPageIsGenerated() const;
  // A path a generated page links: a folder shows as the view's start shows one (from entry first
  // on, in a long listing).
  void ShowPath(const std::string& path, std::size_t first);

  WebKitWebView* m_webView;
  NavigationHost& m_host;
  DesktopHandoff m_handoff;
  PageDownloads m_downloads;
  std::string m_hostAsked;    // the address of the host's own navigation on its way, as the engine writes it
  bool m_userAsked = false;   // whether the user asked for the main frame's current navigation
  sigc::connection m_follow;  // a link of a generated page, followed by the control once the engine is done
};
