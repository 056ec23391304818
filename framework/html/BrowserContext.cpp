#include "html/BrowserContext.h"

#include <unistd.h>
#include <webkit2/webkit2.h>

#include <algorithm>

#include "app/InstallPrefix.h"
#include "core/Trace.h"
#include "html/SpecialFileService.h"

namespace {

// The share of the volume's space a page's origin, and all pages together, may store (in memory).
constexpr double kStorageRatio = 0.001;

bool HasModule(const std::string& folder) {
  return g_file_test((folder + "/" AFX_WEB_EXTENSION_FILE).c_str(), G_FILE_TEST_IS_REGULAR);
}

}  // namespace

unsigned BrowserContext::MemoryLimitMb() {
  const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
  const unsigned long long total =
      pages > 0 && pageSize > 0
          ? static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(pageSize) >> 20
          : 0;
  return unsigned(std::clamp<unsigned long long>(total / 4, 1024, 2048));
}

std::string BrowserContext::ExtensionsDirectory() {
  // Installed: <prefix>/AFX_WEB_EXTENSIONS_INSTALLED, the prefix found from the running executable
  // so that the installed tree may move.
  if (const std::string prefix = AfxInstallPrefix(); !prefix.empty()) {
    const std::string installed = prefix + "/" AFX_WEB_EXTENSIONS_INSTALLED;
    if (HasModule(installed)) return installed;
  }
  return HasModule(AFX_WEB_EXTENSIONS_BUILT) ? AFX_WEB_EXTENSIONS_BUILT : "";
}

namespace {

void CancelDownloadWithoutView(WebKitWebContext*, WebKitDownload* download) {
  if (webkit_download_get_web_view(download) == nullptr) webkit_download_cancel(download);
}

}  // namespace

WebKitWebContext* BrowserContext::Get() {
  static WebKitWebContext* context = [] {
    WebKitMemoryPressureSettings* memory = webkit_memory_pressure_settings_new();
    webkit_memory_pressure_settings_set_memory_limit(memory, MemoryLimitMb());
    webkit_memory_pressure_settings_set_kill_threshold(memory, 1.0);  // ended at the cap
    // Each look at its memory costs the page process time even when nothing happens; every 5 s
    // keeps an idle page at the bare engine's cost, while a page that allocates without end still
    // meets the cap within seconds of reaching it.
    webkit_memory_pressure_settings_set_poll_interval(memory, 5.0);
    // Nothing a page stores outlives the run: cookies, local storage, IndexedDB, caches and the
    // like live in memory only, a little of it per page.
    auto* data = WEBKIT_WEBSITE_DATA_MANAGER(g_object_new(WEBKIT_TYPE_WEBSITE_DATA_MANAGER, "is-ephemeral", TRUE,
                                                          "origin-storage-ratio", kStorageRatio, "total-storage-ratio",
                                                          kStorageRatio, nullptr));
    auto* made = WEBKIT_WEB_CONTEXT(g_object_new(WEBKIT_TYPE_WEB_CONTEXT, "memory-pressure-settings", memory,
                                                 "website-data-manager", data, nullptr));
    g_object_unref(data);
    webkit_memory_pressure_settings_free(memory);
    // A download no view started is no reader's: each view decides its own (PageDownloads).
    g_signal_connect(made, "download-started", G_CALLBACK(CancelDownloadWithoutView), nullptr);
    const std::string extensions = ExtensionsDirectory();
    if (extensions.empty())
      AfxTrace("No page-process module found: local devices and FIFOs in pages are not refused\n");
    else
      webkit_web_context_set_web_extensions_directory(made, extensions.c_str());
    if (!extensions.empty()) AfxTrace("Page-process module from %s\n", extensions.c_str());
    // The module asks about files its page sandbox hides; only the folder of the socket is shown to it.
    if (!extensions.empty() && !SpecialFileService::SocketPath().empty()) {
      webkit_web_context_add_path_to_sandbox(made, SpecialFileService::Folder().c_str(), TRUE);
      webkit_web_context_set_web_extensions_initialization_user_data(
          made, g_variant_new_string(SpecialFileService::SocketPath().c_str()));
    }
    return made;
  }();
  return context;
}
