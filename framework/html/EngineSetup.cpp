#include "html/EngineSetup.h"

#include <webkit2/webkit2.h>

#include "html/EngineSandbox.h"

void EngineSetup::PrepareDefaultContext() {
  static bool prepared = false;
  if (prepared) return;
  prepared = true;
  WebKitWebContext* context = webkit_web_context_get_default();
  EngineSandbox::Enable(context);
}
