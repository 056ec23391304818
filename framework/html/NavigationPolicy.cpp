#include "html/NavigationPolicy.h"

#include <sys/stat.h>
#include <webkit2/webkit2.h>

#include <cstring>
#include <string>

#include "core/Trace.h"
#include "html/BrowserControl.h"
#include "html/BrowserTexts.h"
#include "html/StartPage.h"

NavigationPolicy::NavigationPolicy(WebKitWebView* webView, BrowserControl& control)
    : m_webView(webView), m_control(control), m_handoff([this](const std::string& uri, const std::string& error) {
        if (!error.empty()) m_control.ReportStatus(BrowserTexts::CannotOpen(BrowserTexts::Address(uri.c_str()), error));
      }) {
  g_signal_connect(webView, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(webView, "create", G_CALLBACK(OnCreate), this);
}

NavigationPolicy::~NavigationPolicy() { g_signal_handlers_disconnect_by_data(m_webView, this); }

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
  if (BrowserEvents* events = m_control.GetEvents())
    events->OnBeforeNavigate2(uri, frameName ? frameName : "", &cancel);
  if (cancel) {
    webkit_policy_decision_ignore(decision);
    return true;
  }

  // Generated folder pages link paths the engine cannot address (not UTF-8) in a form of their own.
  std::size_t first = 0;
  if (const std::string target = StartPage::PathOfLink(uri, &first); !target.empty()) {
    webkit_policy_decision_ignore(decision);
    if (ShownPageIsLocal()) ShowPath(target, first);
    return true;
  }

  if (!DesktopHandoff::EngineShows(uri)) {
    // Only what the user asked for starts another application; a page's own redirect to such a
    // location is left to the engine, which says it cannot show it.
    const bool asked = webkit_navigation_action_is_user_gesture(action) ||
                       webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED;
    if (!asked) return false;
    HandOn(decision, uri);
    return true;
  }

  const std::string location(uri, std::strcspn(uri, "#"));  // a fragment names no file
  if (gchar* path = g_filename_from_uri(location.c_str(), nullptr, nullptr)) {
    struct stat st {};
    const bool found = stat(path, &st) == 0;
    const bool special = found && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
    // A folder shows as the view's start shows one, never as the engine's own listing; loads that
    // no click or history step asked for (frames, scripts) are left to the engine.
    const auto type = webkit_navigation_action_get_navigation_type(action);
    const bool folder = found && S_ISDIR(st.st_mode) &&
                        (type != WEBKIT_NAVIGATION_TYPE_OTHER || webkit_navigation_action_is_user_gesture(action));
    if (special) {
      AfxTrace("Not opening %s: not a regular file\n", path);
      m_control.ReportStatus(BrowserTexts::CannotOpen(BrowserTexts::Path(path), BrowserTexts::NotRegularFile()));
      webkit_policy_decision_ignore(decision);
    } else if (folder) {
      webkit_policy_decision_ignore(decision);
      m_control.ShowFolder(path);
    }
    g_free(path);
    if (special || folder) return true;
  }
  return false;  // the engine's own handling; a new window arrives through "create"
}

bool NavigationPolicy::DecideResponse(WebKitPolicyDecision* decision) {
  auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
  if (!webkit_response_policy_decision_is_main_frame_main_resource(response) ||
      webkit_response_policy_decision_is_mime_type_supported(response))
    return false;
  HandOn(decision, webkit_uri_request_get_uri(webkit_response_policy_decision_get_request(response)));
  return true;
}

bool NavigationPolicy::ShownPageIsLocal() const {
  const char* shown = webkit_web_view_get_uri(m_webView);
  return shown == nullptr || g_str_has_prefix(shown, "file:") || g_str_has_prefix(shown, "about:");
}

void NavigationPolicy::ShowPath(const std::string& path, std::size_t first) {
  if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR)) return m_control.ShowFolder(path, first);
  if (!g_utf8_validate(path.c_str(), -1, nullptr)) return m_control.ShowFileError(path, BrowserTexts::NotUtf8());
  if (gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr)) {
    m_control.Navigate(uri);
    g_free(uri);
  }
}

void NavigationPolicy::HandOn(WebKitPolicyDecision* decision, const char* uri) {
  webkit_policy_decision_ignore(decision);
  m_control.ReportStatus(BrowserTexts::HandedOn(BrowserTexts::Address(uri)));
  m_handoff.Open(uri);
}

GtkWidget* NavigationPolicy::OnCreate(WebKitWebView* webView, WebKitNavigationAction* action, NavigationPolicy* self) {
  bool cancel = false;
  if (BrowserEvents* events = self->m_control.GetEvents()) events->OnNewWindow2(&cancel);
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const char* uri = webkit_uri_request_get_uri(request);
  // A blank window is one a script means to write into; this view has no second page to give it.
  if (!cancel && uri != nullptr && *uri != '\0' && g_strcmp0(uri, "about:blank") != 0)
    webkit_web_view_load_request(webView, request);
  return nullptr;
}
