// A module the engine loads into every page process: it refuses any load of a local file that is not
// a regular file or a folder (a FIFO or a device as an image, a style sheet, a script or a frame),
// which would otherwise block a loader or stream into the page process without end. The UI process
// decides over navigations but sees no subresource loads; this is the engine's place for them.
// In the page sandbox the user's files are hidden from this process: for a file it cannot see it
// asks the UI process (SpecialFileService), whose socket path comes as the module's start-up data.
// Built without sanitizers: the page process is not instrumented.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <webkit2/webkit-web-extension.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>

#include "html/LocalSpecialFile.h"

namespace {

bool g_mayAsk = false;  // the UI process offered answers
int g_service = -1;     // connected to them, or -1 once the connection failed
// A UI process that does not answer by then is not asked again; hidden files are refused from then on.
constexpr int kAnswerWithinMs = 5000;

int Connect(const char* path) {
  sockaddr_un address{};
  if (std::strlen(path) >= sizeof address.sun_path) return -1;
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, path);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) return fd;
  if (fd >= 0) close(fd);
  g_warning("Cannot ask about local files hidden by the sandbox: %s", std::strerror(errno));
  return -1;
}

// The UI process's answer for uri: 1 special, 0 not, -1 no answer (the channel is then closed).
int Ask(const char* uri) {
  if (g_service < 0) return -1;
  const std::string question = std::string(uri) + "\n";
  bool sent = true;
  for (std::size_t done = 0; sent && done < question.size();) {
    const ssize_t n = send(g_service, question.data() + done, question.size() - done, MSG_NOSIGNAL);
    if (n > 0)
      done += std::size_t(n);
    else if (n < 0 && errno != EINTR)
      sent = false;
  }
  char answer[2];
  std::size_t got = 0;
  while (sent && got < sizeof answer) {
    pollfd ready{g_service, POLLIN, 0};
    const int polled = poll(&ready, 1, kAnswerWithinMs);
    if (polled < 0 && errno == EINTR) continue;
    const ssize_t n = polled > 0 ? read(g_service, answer + got, sizeof answer - got) : -1;
    if (n > 0)
      got += std::size_t(n);
    else if (!(n < 0 && errno == EINTR))
      break;
  }
  if (got == sizeof answer && answer[1] == '\n') return answer[0] == '1';
  close(g_service);
  g_service = -1;
  return -1;
}

// A local file that must not be read: seen here, or, when hidden here, as the UI process sees it.
// A hidden file that cannot be asked about is refused: a FIFO would hang the page.
bool Refused(const char* uri) {
  if (!LocalSpecialFile::PathOf(uri).empty()) return true;
  if (g_ascii_strncasecmp(uri, "file:", 5) != 0 || !g_mayAsk) return false;
  const std::string location(uri, std::strcspn(uri, "?#"));
  const std::unique_ptr<gchar, decltype(&g_free)> path(g_filename_from_uri(location.c_str(), nullptr, nullptr), g_free);
  struct stat st {};
  const bool hidden = path && stat(path.get(), &st) != 0;
  return hidden && Ask(location.c_str()) != 0;
}

gboolean OnSendRequest(WebKitWebPage*, WebKitURIRequest* request, WebKitURIResponse*, gpointer) {
  const char* uri = webkit_uri_request_get_uri(request);
  if (uri == nullptr || !Refused(uri)) return FALSE;
  g_debug("Refused to load %s: not a regular file", uri);
  return TRUE;  // cancels the load
}

void OnPageCreated(WebKitWebExtension*, WebKitWebPage* page, gpointer) {
  g_signal_connect(page, "send-request", G_CALLBACK(OnSendRequest), nullptr);
}

}  // namespace

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(WebKitWebExtension* extension,
                                                                               const GVariant* data) {
  if (data != nullptr && g_variant_is_of_type(const_cast<GVariant*>(data), G_VARIANT_TYPE_STRING)) {
    g_mayAsk = true;
    g_service = Connect(g_variant_get_string(const_cast<GVariant*>(data), nullptr));
  }
  g_signal_connect(extension, "page-created", G_CALLBACK(OnPageCreated), nullptr);
}
