// Decides where each navigation of the engine goes. The host may cancel one (OnBeforeNavigate2,
// OnNewWindow2); otherwise: a link or script asking for a new window opens in this same view; a
// location whose scheme the engine cannot show, and a file of a type it has no viewer for, go to the
// desktop's handler when the user asked for them (a click or a key in the page, or the host's own
// request), and are refused with a status text when the page went there by itself (a script, a
// refresh); a local path that is not a regular file or folder (a FIFO, a device) is refused with a
// status text, since reading it could block forever; a folder shows as the view's start shows one
// (its start page or generated page); a generated page's link to a file is followed by the control
// itself. Nothing else is ever cancelled.
#pragma once

#include <glib.h>
#include <sigc++/connection.h>

#include <string>

#include "html/DesktopHandoff.h"
#include "html/NavigationHost.h"

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitPolicyDecision WebKitPolicyDecision;
typedef struct _WebKitNavigationAction WebKitNavigationAction;
typedef struct _GtkWidget GtkWidget;

class NavigationPolicy {
 public:
  NavigationPolicy(WebKitWebView* webView, NavigationHost& host);
  ~NavigationPolicy();
  // The next navigation is the host's own (opening a file, a new window the user asked for).
  void ExpectHostNavigation() { m_hostAsked = true; }
  NavigationPolicy(const NavigationPolicy&) = delete;
  NavigationPolicy& operator=(const NavigationPolicy&) = delete;

 private:
  static gboolean OnDecidePolicy(WebKitWebView* webView, WebKitPolicyDecision* decision, int type,
                                 NavigationPolicy* self);
  static GtkWidget* OnCreate(WebKitWebView* webView, WebKitNavigationAction* action, NavigationPolicy* self);
  bool DecideNavigation(WebKitPolicyDecision* decision);
  bool DecideResponse(WebKitPolicyDecision* decision);
  void HandOn(WebKitPolicyDecision* decision, const char* uri);
  void Refuse(WebKitPolicyDecision* decision, const char* uri);
  bool ShownPageIsLocal() const;
  // A path a generated page links: a folder shows as the view's start shows one (from entry first
  // on, in a long listing).
  void ShowPath(const std::string& path, std::size_t first);

  WebKitWebView* m_webView;
  NavigationHost& m_host;
  DesktopHandoff m_handoff;
  bool m_hostAsked = false;
  bool m_userAsked = false;   // whether the user asked for the main frame's current navigation
  sigc::connection m_follow;  // a link of a generated page, followed by the control once the engine is done
};
