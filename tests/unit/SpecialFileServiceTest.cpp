// The answers page processes get about local files their sandbox hides, through the real socket.
#include <gio/gio.h>
#include <glib/gstdio.h>
#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
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

// Folders of runs that were killed hold a socket nobody listens at: the next run removes them, and
// leaves the folders of runs that are still going, and one another run has only just made.
TEST(SpecialFileService, RemovesTheFoldersThatKilledRunsLeft) {
  const std::string prefix = Glib::get_prgname().empty() ? "afx-files-" : Glib::get_prgname() + "-files-";
  auto folder = [&] {
    const std::unique_ptr<gchar, decltype(&g_free)> made(g_dir_make_tmp((prefix + "XXXXXX").c_str(), nullptr), g_free);
    return std::string(made.get());
  };
  auto socket = [](const std::string& path, bool listen) {
    GObjectPtr<GSocket> socket(
        g_socket_new(G_SOCKET_FAMILY_UNIX, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_DEFAULT, nullptr));
    const GObjectPtr<GSocketAddress> address(g_unix_socket_address_new(path.c_str()));
    EXPECT_TRUE(g_socket_bind(socket.get(), address.get(), FALSE, nullptr));
    if (listen) {
      EXPECT_TRUE(g_socket_listen(socket.get(), nullptr));
    }
    return socket;
  };
  const std::string stale = folder(), live = folder(), fresh = folder();
  socket(stale + "/socket", false);  // closed at once, as by a kill
  const GObjectPtr<GSocket> running = socket(live + "/socket", true);

  ASSERT_FALSE(SpecialFileService::SocketPath().empty());
  EXPECT_FALSE(g_file_test(stale.c_str(), G_FILE_TEST_EXISTS));
  EXPECT_TRUE(g_file_test((live + "/socket").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_TRUE(g_file_test(fresh.c_str(), G_FILE_TEST_IS_DIR));
  for (const std::string& path : {live + "/socket", live, fresh}) g_remove(path.c_str());
}

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
