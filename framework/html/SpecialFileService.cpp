#include "html/SpecialFileService.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <glibmm/error.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>
#include <memory>
#include <thread>

#include "core/GObjectPtr.h"
#include "core/Trace.h"
#include "html/LocalSpecialFile.h"

namespace {

// A question is one file: URI and a newline; the answer "1\n" when it names a FIFO, a device or a
// socket, else "0\n". A longer question names no file that could be opened.
constexpr gsize kLongestQuestion = 64 * 1024;

// Answers one page process until it goes.
gboolean Serve(GThreadedSocketService*, GSocketConnection* connection, GObject*, gpointer) {
  GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
  GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
  std::string question;
  char buffer[4096];
  for (;;) {
    const gssize n = g_input_stream_read(in, buffer, sizeof buffer, nullptr, nullptr);
    if (n <= 0) break;
    question.append(buffer, gsize(n));
    bool answered = true;
    for (std::size_t end; answered && (end = question.find('\n')) != std::string::npos; question.erase(0, end + 1)) {
      const bool special = !LocalSpecialFile::PathOf(question.substr(0, end).c_str()).empty();
      answered = g_output_stream_write_all(out, special ? "1\n" : "0\n", 2, nullptr, nullptr, nullptr);
    }
    if (!answered || question.size() > kLongestQuestion) break;
  }
  g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
  return TRUE;
}

// Listens at path in a main loop of this thread's own, for good; started gets "" once it listens, or
// why it cannot.
void Listen(const std::string& path, std::promise<std::string>& started) {
  const Glib::RefPtr<Glib::MainContext> context = Glib::MainContext::create();
  context->push_thread_default();
  const GObjectPtr<GSocketAddress> address(g_unix_socket_address_new(path.c_str()));
  const GObjectPtr<GSocketService> service(g_threaded_socket_service_new(-1));  // a thread per page process
  GError* error = nullptr;
  if (!g_socket_listener_add_address(G_SOCKET_LISTENER(service.get()), address.get(), G_SOCKET_TYPE_STREAM,
                                     G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr, &error)) {
    started.set_value(Glib::Error(error).what());
    context->pop_thread_default();
    return;
  }
  g_signal_connect(service.get(), "run", G_CALLBACK(Serve), nullptr);
  g_socket_service_start(service.get());
  started.set_value("");
  for (;;) context->iteration(true);
}

// Whether a socket has a listener; false when nobody answers at it (its run ended without removing it).
bool Listening(const std::string& path) {
  const GObjectPtr<GSocketAddress> address(g_unix_socket_address_new(path.c_str()));
  const GObjectPtr<GSocketClient> client(g_socket_client_new());
  GError* error = nullptr;
  GSocketConnection* connection =
      g_socket_client_connect(client.get(), G_SOCKET_CONNECTABLE(address.get()), nullptr, &error);
  if (connection != nullptr) {
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
    return true;
  }
  const bool refused = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED);
  g_error_free(error);
  return !refused;  // any other failure: leave the socket be
}

// Removes the folders that runs which were killed left behind: a folder of this name pattern, this
// user's, holding only a socket that nobody listens at. An empty one goes only when it is old, so that
// a run that has just made its folder keeps it.
void RemoveStaleFolders(const std::string& prefix) {
  const std::string tmp = g_get_tmp_dir();
  GDir* dir = g_dir_open(tmp.c_str(), 0, nullptr);
  if (dir == nullptr) return;
  while (const char* name = g_dir_read_name(dir)) {
    const std::string entry = name;
    if (entry.size() != prefix.size() + 6 || entry.rfind(prefix, 0) != 0) continue;
    const std::string folder = tmp + "/" + entry, socket = folder + "/socket";
    GStatBuf info;
    if (g_lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != getuid()) continue;
    GStatBuf sock;
    if (g_lstat(socket.c_str(), &sock) == 0) {
      if (!S_ISSOCK(sock.st_mode) || Listening(socket)) continue;
      AfxTrace("Removing %s, left by a run that ended without removing it\n", folder.c_str());
      g_unlink(socket.c_str());
    } else if (g_get_real_time() / G_USEC_PER_SEC - info.st_mtime < 60) {
      continue;
    }
    g_rmdir(folder.c_str());  // only when nothing else is in it
  }
  g_dir_close(dir);
}

struct Service {
  std::string folder, socket;
  Service() {
    // Named after the program, so that a person who finds the folder knows whose it is.
    const std::string program = Glib::get_prgname();
    const std::string prefix = (program.empty() ? "afx" : program) + "-files-";
    RemoveStaleFolders(prefix);
    const std::unique_ptr<gchar, decltype(&g_free)> made(g_dir_make_tmp((prefix + "XXXXXX").c_str(), nullptr), g_free);
    if (!made) return;
    folder = made.get();
    // The service accepts in a main loop of its own, so that a page process is never kept waiting
    // by the window's.
    std::promise<std::string> started;
    std::future<std::string> answer = started.get_future();
    std::thread([path = folder + "/socket", &started] { Listen(path, started); }).detach();
    const std::string failure = answer.get();
    if (failure.empty())
      socket = folder + "/socket";
    else
      AfxTrace("Local files cannot be checked for page processes: %s\n", failure.c_str());
  }
  ~Service() {
    if (!socket.empty()) g_unlink(socket.c_str());
    if (!folder.empty()) g_rmdir(folder.c_str());
  }
};

Service& Instance() {
  static Service service;
  return service;
}

}  // namespace

const std::string& SpecialFileService::SocketPath() { return Instance().socket; }

std::string SpecialFileService::Folder() { return Instance().folder; }
