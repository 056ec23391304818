#include "html/NavigationPolicy.h"

#include <glibmm/main.h>
#include <sys/stat.h>
#include <webkit2/webkit2.h>

#include <cstring>
#include <string>
#include <utility>

#include "core/GObjectPtr.h"
#include "core/Trace.h"
#include "html/BrowserEvents.h"
#include "html/BrowserTexts.h"
#include "html/FileUri.h"
#include "html/GeneratedPages.h"
#include "html/LocalSpecialFile.h"
#include "html/PathLink.h"

NavigationPolicy::NavigationPolicy(WebKitWebView* webView, NavigationHost& host)
    : m_webView(webView),
      m_host(host),
      m_handoff([this](const std::string& uri, const std::string& error) {
        if (!error.empty()) m_host.ReportStatus(BrowserTexts::CannotOpen(BrowserTexts::Address(uri.c_str()), error));
      }),
      m_downloads(webView, [this](const std::string& text) { m_host.ReportNotice(text); }) {
  g_signal_connect(webView, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(webView, "create", G_CALLBACK(OnCreate), this);
}

NavigationPolicy::~NavigationPolicy() {
  m_follow.disconnect();
  g_signal_handlers_disconnect_by_data(m_webView, this);
}

gboolean NavigationPolicy::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, int type,
                                          NavigationPolicy* self) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return self->DecideResponse(decision);
  return self->DecideNavigation(decision);
}

bool NavigationPolicy::DecideNavigation(WebKitPolicyDecision* decision) {
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (uri == nullptr) return false;
  const char* frameName = webkit_navigation_action_get_frame_name(action);
  bool cancel = false;
  if (BrowserEvents* events = m_host.GetEvents()) events->OnBeforeNavigate2(uri, frameName ? frameName : "", &cancel);
  if (cancel) {
    webkit_policy_decision_ignore(decision);
    return true;
  }

  const bool host = !m_hostAsked.empty() && m_hostAsked == uri;
  if (host) m_hostAsked.clear();
  // A page that keeps navigating (to a location that is refused, or anywhere) cannot hold up Back,
  // Forward, reload or another page the reader asked for: what it starts meanwhile is dropped.
  if (InTheReadersWay(action, host)) {
    webkit_policy_decision_ignore(decision);
    m_host.PageInTheWay();
    return true;
  }

  // Only what the user asked for starts another application: a click or a key (a script's own
  // click() is no user's), or the host's request. A redirect keeps what started it.
  if (!webkit_navigation_action_is_redirect(action)) {
    m_userAsked = host || webkit_navigation_action_is_user_gesture(action);
    // A link the reader followed may turn out to be a download (a download attribute).
    if (webkit_navigation_action_is_user_gesture(action)) m_downloads.Expect(uri);
  }

  // Generated folder pages link paths the engine cannot address (not UTF-8) in a form of their own.
  // It is the program's own: only a click or a key on such a page follows it; any other page, and a
  // script, a refresh or a frame on any page, is refused as a page going somewhere by itself.
  std::size_t first = 0;
  if (const std::string target = PathLink::PathOf(uri, &first); !target.empty()) {
    if (ShownPageIsGenerated() && webkit_navigation_action_is_user_gesture(action) &&
        !webkit_navigation_action_is_redirect(action)) {
      webkit_policy_decision_ignore(decision);
      ShowPath(target, first);
    } else {
      Refuse(decision, uri);
    }
    return true;
  }
  if (!DesktopHandoff::EngineShows(uri)) {
    if (m_userAsked)
      HandOn(decision, uri);
    else
      Refuse(decision, uri);
    return true;
  }

  const std::string path = LocalSpecialFile::PathOf(uri);
  if (!path.empty()) {
    AfxTrace("Not opening %s: not a regular file\n", path.c_str());
    m_host.ReportStatus(BrowserTexts::CannotOpen(BrowserTexts::Path(path), BrowserTexts::NotRegularFile()));
    webkit_policy_decision_ignore(decision);
    return true;
  }

  // A folder shows as the view's start shows one, never as the engine's own listing; loads that no
  // click or history step asked for (frames, scripts) are left to the engine.
  const std::string location(uri, std::strcspn(uri, "?#"));  // a query or fragment names no file
  if (const std::string dir = FileUri::ToPath(location); !dir.empty()) {
    const auto type = webkit_navigation_action_get_navigation_type(action);
    if (g_file_test(dir.c_str(), G_FILE_TEST_IS_DIR) &&
        (type != WEBKIT_NAVIGATION_TYPE_OTHER || webkit_navigation_action_is_user_gesture(action))) {
      webkit_policy_decision_ignore(decision);
      m_host.ShowFolder(dir, 0);
      return true;
    }
  }

  // The engine lets a page process open files only once the control has asked it for a file, and
  // a generated page's process may never have been: a link from such a page to a file is asked for
  // by the control instead, and becomes a history entry as any followed link does.
  if (webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED &&
      g_str_has_prefix(uri, "file:") && ShownPageIsGenerated()) {
    webkit_policy_decision_ignore(decision);
    m_follow.disconnect();
    m_follow = Glib::signal_idle().connect([this, link = std::string(uri)] {
      AfxTrace("Following %s from a generated page\n", link.c_str());
      m_host.Navigate(link);
      return false;
    });
    return true;
  }
  return false;  // the engine's own handling; a new window arrives through "create"
}

void NavigationPolicy::ExpectHostNavigation(const std::string& uri) {
  // Written as the engine writes the address it decides on.
  const GObjectPtr<WebKitURIRequest> request(webkit_uri_request_new(uri.c_str()));
  const char* normal = webkit_uri_request_get_uri(request.get());
  m_hostAsked = normal != nullptr ? normal : uri;
}

bool NavigationPolicy::InTheReadersWay(WebKitNavigationAction* action, bool host) const {
  if (host || !m_host.ReaderStepPending() || webkit_navigation_action_is_user_gesture(action) ||
      webkit_navigation_action_is_redirect(action))
    return false;
  const auto type = webkit_navigation_action_get_navigation_type(action);
  return type != WEBKIT_NAVIGATION_TYPE_BACK_FORWARD && type != WEBKIT_NAVIGATION_TYPE_RELOAD;
}

bool NavigationPolicy::DecideResponse(WebKitPolicyDecision* decision) {
  auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  if (!webkit_response_policy_decision_is_main_frame_main_resource(response) ||
      webkit_response_policy_decision_is_mime_type_supported(response))
    return false;
  const char* uri = webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response));
  if (m_userAsked)
    HandOn(decision, uri);
  else
    Refuse(decision, uri);
  return true;
}

void NavigationPolicy::Refuse(WebKitPolicyDecision* decision, const char* uri) {
  AfxTrace("Not handing %s to the desktop: the page went there by itself\n", uri);
  webkit_policy_decision_ignore(decision);
  m_host.ReportNotice(BrowserTexts::NotHandedOn(BrowserTexts::Address(uri)));
}

bool NavigationPolicy::ShownPageIsGenerated() const {
  const char* shown = webkit_web_view_get_uri(m_webView);
  return shown != nullptr && g_str_has_prefix(shown, (std::string(GeneratedPages::kScheme) + ":").c_str());
}

void NavigationPolicy::ShowPath(const std::string& path, std::size_t first) {
  if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR)) return m_host.ShowFolder(path, first);
  if (!g_utf8_validate(path.c_str(), -1, nullptr)) return m_host.ShowFileError(path, BrowserTexts::NotUtf8());
  if (const std::string uri = FileUri::FromPath(path); !uri.empty()) m_host.Navigate(uri);
}

void NavigationPolicy::HandOn(WebKitPolicyDecision* decision, const char* uri) {
  webkit_policy_decision_ignore(decision);
  m_host.ReportStatus(BrowserTexts::HandedOn(BrowserTexts::Address(uri)));
  m_handoff.Open(uri);
}

GtkWidget* NavigationPolicy::OnCreate(WebKitWebView* webView, WebKitNavigationAction* action, NavigationPolicy* self) {
  bool cancel = false;
  if (BrowserEvents* events = self->m_host.GetEvents()) events->OnNewWindow2(&cancel);
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const char* uri = webkit_uri_request_get_uri(request);
  // A blank window is one a script means to write into; this view has no second page to give it.
  if (!cancel && uri != nullptr && *uri != '\0' && g_strcmp0(uri, "about:blank") != 0) {
    if (webkit_navigation_action_is_user_gesture(action)) self->ExpectHostNavigation(uri);
    webkit_web_view_load_request(webView, request);
  }
  return nullptr;
}
