#include "html/SpecialFileService.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <glibmm/error.h>
#include <glibmm/main.h>
#include <glibmm/miscutils.h>

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

struct Service {
  std::string folder, socket;
  Service() {
    // Named after the program, so that a person who finds the folder knows whose it is.
    const std::string program = Glib::get_prgname();
    const std::unique_ptr<gchar, decltype(&g_free)> made(
        g_dir_make_tmp(((program.empty() ? "afx" : program) + "-files-XXXXXX").c_str(), nullptr), g_free);
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
