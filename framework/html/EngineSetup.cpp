#include "html/EngineSetup.h"

#include <webkit2/webkit2.h>

#include "html/EngineSandbox.h"

void EngineSetup::PrepareContext(WebKitWebContext* context) {
  static const char* const kPrepared = "engine-setup-prepared";
  if (g_object_get_data(G_OBJECT(context), kPrepared) != nullptr) return;
  g_object_set_data(G_OBJECT(context), kPrepared, GINT_TO_POINTER(1));
  EngineSandbox::Enable(context);
  webkit_web_context_set_cache_model(context, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
}

void EngineSetup::PrepareView(WebKitWebView* view) {
  WebKitSettings* settings = webkit_web_view_get_settings(view);
  webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_enable_webgl(settings, FALSE);
}
