// Where a file dialog starts when the folder it is to show is gone or cannot be named: never in
// the file-system root, always with a reason for the user.
#include <fcntl.h>
#include <glibmm/miscutils.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "dialogs/DialogFolder.h"

namespace {

// Runs body in the folder reached by the chdir steps, then returns to where the test was.
template <typename Body>
void InFolder(const std::vector<std::string>& steps, Body body) {
  const int back = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(back, 0);
  for (const std::string& step : steps) ASSERT_EQ(chdir(step.c_str()), 0) << step;
  body();
  EXPECT_EQ(fchdir(back), 0);
  close(back);
}

TEST(DialogFolder, StartsInAFolderTheUserReachedAndSaysWhy) {
  TempDir dir;
  const std::string home = Glib::get_home_dir();
  const std::string shown = dir / "shown";
  mkdir(shown.c_str(), 0755);
  const std::string startsHome = " The dialog starts in " + home + ".";

  InFolder({shown}, [&] {
    // The folder asked for, or the current one; no word when it is there.
    EXPECT_EQ(DialogFolder::Choose(dir.Path()).folder, dir.Path());
    EXPECT_EQ(DialogFolder::Choose(dir.Path()).reason, "");
    EXPECT_EQ(DialogFolder::Choose("").folder, shown);
    EXPECT_EQ(DialogFolder::Choose("").reason, "");
    // The proposed file's folder is gone: the current folder.
    const DialogFolder::Choice missing = DialogFolder::Choose(dir / "gone");
    EXPECT_EQ(missing.folder, shown);
    EXPECT_EQ(missing.reason,
              "The folder " + (dir / "gone") + " no longer exists. The dialog starts in " + shown + ".");
  });

  // The current folder deleted: the home folder, naming the folder that went.
  const std::string deleted = dir / "deleted";
  mkdir(deleted.c_str(), 0755);
  InFolder({deleted}, [&] {
    ASSERT_EQ(rmdir(deleted.c_str()), 0);
    for (const std::string& wanted : {std::string(), dir / "gone"}) {
      const DialogFolder::Choice choice = DialogFolder::Choose(wanted);
      EXPECT_EQ(choice.folder, home);
      EXPECT_EQ(choice.reason, "The folder " + (wanted.empty() ? deleted : wanted) + " no longer exists." + startsHome);
    }
  });

  // The current folder deeper than the system's path limit has no name.
  std::vector<std::string> steps{dir.Path()};
  const std::string level(200, 'd');
  InFolder({dir.Path()}, [&] {
    for (int depth = 0; depth < 25; ++depth) {
      ASSERT_EQ(mkdir(level.c_str(), 0755), 0);
      ASSERT_EQ(chdir(level.c_str()), 0);
      steps.push_back(level);
    }
  });
  InFolder(steps, [&] {
    const DialogFolder::Choice choice = DialogFolder::Choose("");
    EXPECT_EQ(choice.folder, home);
    EXPECT_EQ(choice.reason,
              "The current folder cannot be reached by its path (it lies too deep or in a folder you may not read)." +
                  startsHome);
    // Removed from the inside: the folders' full names are too long for the usual clean-up.
    for (size_t depth = 1; depth < steps.size(); ++depth) {
      ASSERT_EQ(chdir(".."), 0);
      ASSERT_EQ(rmdir(level.c_str()), 0);
    }
  });
}

}  // namespace
