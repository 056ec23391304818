// The engine's context that every browser control's view belongs to. Its data store is ephemeral:
// nothing a page stores (local storage, IndexedDB, cookies, caches) is written to disk or outlives
// the run, and what a page may store is bounded. It caps the memory of each page process (a page
// that grows past the cap is ended, and its view says so) and loads the module that
// refuses local subresources that are not regular files (SubresourceGuard) into every page process.
#pragma once

#include <string>

typedef struct _WebKitWebContext WebKitWebContext;

class BrowserContext {
 public:
  // Made on first use, kept for the process's life.
  static WebKitWebContext* Get();
  // The page process's memory cap in megabytes: a quarter of the machine's memory, within 1 to 2 GB.
  static unsigned MemoryLimitMb();
  // The folder the page-process module is loaded from: beside the installed program, else the build
  // tree's; "" when there is none.
  static std::string ExtensionsDirectory();
};
