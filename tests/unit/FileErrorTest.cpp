// Failed file operations and the messages the user sees for them.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <functional>

#include "OrdinaryUser.h"
#include "TempDir.h"
#include "core/AfxRes.h"
#include "core/ResourceModule.h"
#include "doc/AtomicFile.h"
#include "doc/FileError.h"

namespace {

// errno of a plain call that returned -1, or 0.
int ErrorOf(long result) { return result < 0 ? errno : 0; }

// The error of opening path in a child process that may hold no more than three descriptors.
int OpenWithNoDescriptorLeft(const std::string& path) {
  return atoi(InChildProcess([&] {
                const rlimit limit{3, 3};
                return std::to_string(setrlimit(RLIMIT_NOFILE, &limit) == 0 ? ErrorOf(open(path.c_str(), O_RDONLY))
                                                                            : 0);
              }).c_str());
}

// The error of writing past the largest file size a child process may write.
int WriteBeyondSizeLimit(const std::string& path) {
  return atoi(InChildProcess([&] {
                signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{4, 4};
                int fd = open(path.c_str(), O_WRONLY | O_APPEND);
                int err = setrlimit(RLIMIT_FSIZE, &limit) == 0 ? ErrorOf(write(fd, "more notes", 10)) : 0;
                close(fd);
                return std::to_string(err);
              }).c_str());
}

TEST(FileError, FailingOperationsReportTheirCause) {
  AfxSetResourceModule(nullptr);  // the framework's own texts
  TempDir dir;
  TempDir::Write(dir / "notes.txt", "notes");
  TempDir::Write(dir / "read-only", "kept");
  chmod((dir / "read-only").c_str(), 0444);
  mkdir((dir / "folder").c_str(), 0755);
  symlink("loop", (dir / "loop").c_str());
  const std::string longName = dir / std::string(300, 'n');
  auto save = [](const std::string& path) { return AtomicFile::ReplaceWithEmpty(path).error; };
  struct Case {
    const char* what;
    std::string path;  // the file the message names
    std::function<int()> fail;
    std::string message;
  };
  const Case cases[] = {
      {"save into a missing folder", dir / "gone/a.txt", [&] { return save(dir / "gone/a.txt"); },
       dir / "gone/a.txt" + " was not found."},
      {"save beneath a file", dir / "notes.txt/a", [&] { return save(dir / "notes.txt/a"); },
       dir / "notes.txt/a" + " contains an invalid path."},
      {"save with a name too long", longName, [&] { return save(longName); }, longName + " contains an invalid path."},
      {"save through a link loop", dir / "loop", [&] { return save(dir / "loop"); },
       dir / "loop" + " contains an invalid path."},
      {"save onto a folder", dir / "folder", [&] { return save(dir / "folder"); },
       "Access to " + dir / "folder" + " was denied."},
      {"save onto a read-only file", dir / "read-only", [&] { return save(dir / "read-only"); },
       "Access to " + dir / "read-only" + " was denied."},
      {"make a folder that is there", dir / "folder", [&] { return ErrorOf(mkdir((dir / "folder").c_str(), 0755)); },
       "Access to " + dir / "folder" + " was denied."},
      {"move a folder into itself", dir / "folder/inside",
       [&] { return ErrorOf(rename((dir / "folder").c_str(), (dir / "folder/inside").c_str())); },
       dir / "folder/inside" + " contains an invalid path."},
      {"write past the largest file allowed", dir / "notes.txt",
       [&] { return WriteBeyondSizeLimit(dir / "notes.txt"); }, "Disk full while accessing " + dir / "notes.txt" + "."},
      {"open a missing file", dir / "missing", [&] { return ErrorOf(open((dir / "missing").c_str(), O_RDONLY)); },
       dir / "missing" + " was not found."},
      {"open with no descriptor left", dir / "notes.txt", [&] { return OpenWithNoDescriptorLeft(dir / "notes.txt"); },
       dir / "notes.txt" + " could not be opened because there are too many open files."},
      {"write the running program", "/proc/self/exe", [] { return ErrorOf(open("/proc/self/exe", O_WRONLY)); },
       "A sharing violation occurred while accessing /proc/self/exe."},
      {"write to a full device", "/dev/full",
       [] {
         int fd = open("/dev/full", O_WRONLY);
         int err = ErrorOf(write(fd, "x", 1));
         close(fd);
         return err;
       },
       "Disk full while accessing /dev/full."},
      {"lock a file another holder has locked", dir / "notes.txt",
       [&] {
         int holder = open((dir / "notes.txt").c_str(), O_RDONLY), other = open((dir / "notes.txt").c_str(), O_RDONLY);
         flock(holder, LOCK_EX);
         int err = ErrorOf(flock(other, LOCK_EX | LOCK_NB));
         close(holder);
         close(other);
         return err;
       },
       "A locking violation occurred while accessing " + dir / "notes.txt" + "."},
      {"seek on a pipe", "",
       [] {
         int fds[2];
         if (pipe(fds) != 0) return 0;
         int err = ErrorOf(lseek(fds[0], 10, SEEK_SET));
         close(fds[0]);
         close(fds[1]);
         return err;
       },
       "Seek failed on an unnamed file"},
      {"read a closed descriptor", "",
       [] {
         int fd = open("/dev/null", O_RDONLY);
         close(fd);
         char c;
         return ErrorOf(read(fd, &c, 1));
       },
       "An invalid file handle was associated with an unnamed file."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int err = c.fail();
    ASSERT_NE(err, 0);
    EXPECT_EQ(FileError::FromErrno(err, c.path).GetErrorMessage(), c.message) << g_strerror(err);
  }
}

// Errors this machine cannot bring about on demand, and names that must show in any case.
TEST(FileError, MessageNamesTheFileOrAnUnnamedFile) {
  AfxSetResourceModule(nullptr);  // the framework's own texts
  struct Case {
    int err;
    const char* path;
    const char* message;
  };
  const Case cases[] = {
      {ENOENT, "/tmp/a b#%.txt", "/tmp/a b#%.txt was not found."},
      {EACCES, "/x", "Access to /x was denied."},
      {EROFS, "/x", "Access to /x was denied."},
      {EBUSY, "/x", "A sharing violation occurred while accessing /x."},
      {ENOSPC, "", "Disk full while accessing an unnamed file."},
      {ENOENT, "", "An unnamed file was not found."},  // a sentence's first word
      {ENOENT, "/x", "/x was not found."},
      {EDQUOT, "/x", "Disk full while accessing /x."},
      {EMLINK, "/x", "/x could not be created because the directory is full."},
      {EIO, "/x", "A hardware I/O error was reported while accessing /x."},
      {EPROTO, "/x", "An unknown error occurred while accessing /x."},
      {ENOENT, "/tmp/\xff.txt", "/tmp/\xef\xbf\xbd.txt was not found."},
  };
  for (const Case& c : cases) EXPECT_EQ(FileError::FromErrno(c.err, c.path).GetErrorMessage(), c.message) << c.err;
}

}  // namespace
