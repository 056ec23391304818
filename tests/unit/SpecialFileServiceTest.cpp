// The answers page processes get about local files their sandbox hides, through the real socket.
#include <gio/gio.h>
#include <glibmm/convert.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "TempDir.h"
#include "core/GObjectPtr.h"
#include "html/SpecialFileService.h"

namespace {

class Asking {
 public:
  Asking() {
    const GObjectPtr<GSocketClient> client(g_socket_client_new());
    const GObjectPtr<GSocketAddress> address(g_unix_socket_address_new(SpecialFileService::SocketPath().c_str()));
    m_connection.reset(g_socket_client_connect(client.get(), G_SOCKET_CONNECTABLE(address.get()), nullptr, nullptr));
  }
  bool Connected() const { return m_connection != nullptr; }
  void Send(const std::string& text) {
    g_output_stream_write_all(g_io_stream_get_output_stream(G_IO_STREAM(m_connection.get())), text.data(), text.size(),
                              nullptr, nullptr, nullptr);
  }
  // What comes back until n bytes or the end.
  std::string Receive(std::size_t n) {
    std::string text(n, '\0');
    gsize got = 0;
    g_input_stream_read_all(g_io_stream_get_input_stream(G_IO_STREAM(m_connection.get())), text.data(), n, &got,
                            nullptr, nullptr);
    text.resize(got);
    return text;
  }

 private:
  GObjectPtr<GSocketConnection> m_connection;
};

std::string Uri(const std::string& path) { return Glib::filename_to_uri(path); }

TEST(SpecialFileService, AnswersInOrderWhetherEachUriNamesAFifoOrADevice) {
  ASSERT_FALSE(SpecialFileService::SocketPath().empty());
  struct stat st {};
  ASSERT_EQ(stat(SpecialFileService::Folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u) << "the socket's folder is private";

  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  TempDir::Write(dir / "page.html", "x");
  const std::pair<std::string, char> rows[] = {
      {Uri(dir / "fifo"), '1'},  {Uri(dir / "fifo") + "?x", '1'},
      {"file:///dev/zero", '1'}, {Uri(dir / "page.html"), '0'},
      {Uri(dir.Path()), '0'},    {Uri(dir / "missing"), '0'},
      {"not a uri", '0'},
  };
  Asking asking;
  ASSERT_TRUE(asking.Connected());
  std::string questions, expected;
  for (const auto& [uri, answer] : rows) {
    questions += uri + "\n";
    expected += std::string{answer, '\n'};
  }
  asking.Send(questions);  // all at once: the answers come in the same order
  EXPECT_EQ(asking.Receive(expected.size()), expected);

  // A question longer than any path is not answered; the connection ends.
  asking.Send(std::string(100000, 'x'));
  EXPECT_EQ(asking.Receive(2), "");
}

}  // namespace
