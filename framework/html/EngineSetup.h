// What the viewer asks of the engine, set before the engine has made any page process: the
// page-process sandbox and the engine's memory use for a reader of local documents.
//
// Where the memory went (measured on a documentation index in a full-screen window): more than
// half of the page process was the engine's accelerated compositing, which without a GPU driver
// runs a GL renderer in software; drawing the page without it takes a third off what the whole
// program group uses and leaves pages, scrolling, find and printing as they were. The
// document-viewer cache model keeps no pages of the history in memory and smaller caches, which
// suits pages read from disk and keeps a long session's growth down.
#pragma once

typedef struct _WebKitWebContext WebKitWebContext;
typedef struct _WebKitWebView WebKitWebView;

class EngineSetup {
 public:
  // Turns on the sandbox and sets the cache model; must precede the context's first page process.
  // Does its work once per context.
  static void PrepareContext(WebKitWebContext* context);
  // The view's settings: software drawing and no features a document reader never uses.
  static void PrepareView(WebKitWebView* view);
};
