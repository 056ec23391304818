#include "html/FollowedLinks.h"

namespace {

constexpr char kFollowed[] = "followed-link";  // the entry's data: the address of the link followed from it

// Focuses the page's first link to the address, unless the page has focused something itself.
constexpr char kFocusLink[] =
    "const active = document.activeElement;"
    "if (active === null || active === document.body || active === document.documentElement)"
    "  for (const link of document.querySelectorAll('a[href], area[href]'))"
    "    if (link.href === address) { link.focus({preventScroll: true}); break; }";

}  // namespace

FollowedLinks::FollowedLinks(WebKitWebView* webView) : m_webView(webView) {
  // Connected before the navigation policy, whose handler may end the signal's emission.
  g_signal_connect(webView, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(webView, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(webView, "key-press-event", G_CALLBACK(OnInput), this);
  g_signal_connect(webView, "button-press-event", G_CALLBACK(OnInput), this);
}

FollowedLinks::~FollowedLinks() { g_signal_handlers_disconnect_by_data(m_webView, this); }

gboolean FollowedLinks::OnInput(GtkWidget*, GdkEvent* event, FollowedLinks* self) {
  self->m_byKey = event->type == GDK_KEY_PRESS;
  return FALSE;
}

gboolean FollowedLinks::OnDecidePolicy(WebKitWebView* webView, WebKitPolicyDecision* decision,
                                       WebKitPolicyDecisionType type, FollowedLinks* self) {
  if (type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) return FALSE;
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  WebKitBackForwardListItem* from =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(webView));
  if (from != nullptr && webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED &&
      webkit_navigation_action_is_user_gesture(action) && self->m_byKey) {
    const char* address = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    g_object_set_data_full(G_OBJECT(from), kFollowed, g_strdup(address), g_free);
  }
  return FALSE;  // the decision is the navigation policy's
}

// A page loaded again (by a step in the history, or a reload) gives the focus back to the link
// followed from it.
void FollowedLinks::OnLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, FollowedLinks*) {
  if (event != WEBKIT_LOAD_FINISHED) return;
  WebKitBackForwardListItem* shown =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(webView));
  const auto* address =
      shown != nullptr ? static_cast<const char*>(g_object_get_data(G_OBJECT(shown), kFollowed)) : nullptr;
  if (address == nullptr) return;
  GVariantDict arguments;
  g_variant_dict_init(&arguments, nullptr);
  g_variant_dict_insert(&arguments, "address", "s", address);
  // In a script world of the viewer's own, which the page's scripts cannot change.
  webkit_web_view_call_async_javascript_function(webView, kFocusLink, -1, g_variant_dict_end(&arguments), "followed",
                                                 nullptr, nullptr, nullptr, nullptr);
}
