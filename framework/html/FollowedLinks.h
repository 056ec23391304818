// Gives a keyboard reader back the link they followed. A link followed by a key (Enter on a
// focused link) is noted on the history entry it was followed from; when that entry's page is
// loaded again (a step back to it, a reload), the link takes the focus again, without scrolling, so
// that Tab goes on to the next link and Enter follows it again, as on a page the engine had kept
// whole. A page that has focused something of its own by then keeps it. A link clicked with the
// mouse is left alone: it would gain only a focus ring.
#pragma once

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

class FollowedLinks {
 public:
  explicit FollowedLinks(WebKitWebView* webView);
  ~FollowedLinks();
  FollowedLinks(const FollowedLinks&) = delete;
  FollowedLinks& operator=(const FollowedLinks&) = delete;

 private:
  static gboolean OnInput(GtkWidget*, GdkEvent* event, FollowedLinks* self);
  static gboolean OnDecidePolicy(WebKitWebView* webView, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 FollowedLinks* self);
  static void OnLoadChanged(WebKitWebView* webView, WebKitLoadEvent event, FollowedLinks*);

  WebKitWebView* m_webView;
  bool m_byKey = false;  // the page's last input was a key, not a mouse button
};
