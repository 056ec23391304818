// Replacing a file's contents: a writer killed at any moment leaves no temporary behind once the
// next write in that folder has run, and never a damaged file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "TempDir.h"
#include "doc/AtomicFile.h"

namespace {

std::vector<std::string> Entries(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& item : std::filesystem::directory_iterator(dir.Path())) names.push_back(item.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(AtomicFile, KilledWritersLeaveNothingBehind) {
  AtomicFile::SetTemporaryPrefix(".unit-");
  TempDir dir;
  const std::string target = dir / "file";
  const std::string contents(256 * 1024, 'x');  // long enough for kills to land mid-write
  for (int round = 0; round < 40; ++round) {
    pid_t writer = fork();
    if (writer == 0) {
      for (;;) AtomicFile::ReplaceContents(target, contents, 0640, nullptr);
    }
    usleep(useconds_t(1000 + round * 250));
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    // Whatever moment the kill hit, the file is whole.
    std::string now = TempDir::Read(target);
    EXPECT_TRUE(now.empty() || now == contents) << now.size();
  }
  // A temporary of another writer that is still at work (it holds its lock) is not touched.
  const std::string busy = dir / ".unit-Busy01";
  int fd = open(busy.c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  // Named leftovers of a kill between naming and renaming, as the fallback without unnamed files leaves them.
  TempDir::Write(dir / ".unit-Stal01", "half");
  TempDir::Write(dir / ".unit-other", "not ours: another pattern");
  ASSERT_EQ(AtomicFile::ReplaceContents(target, "done", 0640, nullptr).error, 0);
  EXPECT_EQ(Entries(dir), (std::vector<std::string>{".unit-Busy01", ".unit-other", "file"}));
  EXPECT_EQ(TempDir::Read(target), "done");
  struct stat st {};
  ASSERT_EQ(stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  close(fd);
}

}  // namespace
