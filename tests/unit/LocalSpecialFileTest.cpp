// Which file: URIs name a local file that the engine must not read.
#include <glibmm/convert.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "html/LocalSpecialFile.h"

namespace {

std::string Uri(const std::string& path) { return Glib::filename_to_uri(path); }

TEST(LocalSpecialFile, NamesFifosAndDevicesWhateverFollowsTheirPath) {
  TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  ASSERT_EQ(mkfifo((dir / "odd ?#name").c_str(), 0600), 0);
  TempDir::Write(dir / "page.html", "x");
  TempDir::Write(dir / "fifo?x", "a regular file whose name holds a question mark");
  const std::string fifo = Uri(dir / "fifo");
  struct Row {
    std::string uri;
    std::string special;  // "" for none
  } rows[] = {
      {fifo, dir / "fifo"},
      {fifo + "?x", dir / "fifo"},
      {fifo + "#part", dir / "fifo"},
      {fifo + "?x#y", dir / "fifo"},
      {Uri(dir / "odd ?#name"), dir / "odd ?#name"},
      {"file:///dev/zero", "/dev/zero"},
      {"file:///dev/zero?x", "/dev/zero"},
      {"FILE:///dev/urandom", "/dev/urandom"},
      {Uri(dir / "fifo?x"), ""},  // the escaped question mark is part of a regular file's name
      {Uri(dir / "page.html"), ""},
      {Uri(dir.Path()), ""},
      {Uri(dir / "missing"), ""},
      {"http://localhost/dev/zero", ""},
      {"data:text/html,x", ""},
      {"file://", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(LocalSpecialFile::PathOf(row.uri.c_str()), row.special) << row.uri;
  EXPECT_EQ(LocalSpecialFile::PathOf(nullptr), "");
}

}  // namespace
