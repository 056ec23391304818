// Generated pages in the view: each at its own address, so that Back returns to the one it left.
#include <sys/stat.h>

#include "PageDriver.h"
#include "html/BrowserControl.h"

namespace {

using namespace page;

class GeneratedPagesInView : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
};

TEST_F(GeneratedPagesInView, BackFromTheNextPartOfALongListingShowsTheFirstPart) {
  TempDir dir;
  for (int i = 0; i < 1005; ++i) TempDir::Write(dir / ("p" + std::to_string(i) + ".html"), "");
  ASSERT_EQ(chdir(dir.Path().c_str()), 0);
  Command(ID_FILE_NEW);
  const std::string first = "generated:" + Uri(dir.Path()).substr(5) + "/";
  ASSERT_TRUE(WaitFor(first)) << ShownUri();
  EXPECT_EQ(CountText("Entries 1 to 1000 of 1005"), 2u);

  View()->GetControl()->ShowFolder(dir.Path(), 1000);  // what the listing's "Next 5" link does
  ASSERT_TRUE(WaitFor(first + "?first=1000")) << ShownUri();
  EXPECT_EQ(CountText("Entries 1001 to 1005 of 1005"), 2u);

  Command(ID_BACK_BROWSER);
  ASSERT_TRUE(WaitFor(first)) << ShownUri();
  EXPECT_EQ(CountText("Entries 1 to 1000 of 1005"), 2u);
  Command(ID_FORWARD_BROWSER);
  ASSERT_TRUE(WaitFor(first + "?first=1000")) << ShownUri();
  EXPECT_EQ(CountText("Entries 1001 to 1005 of 1005"), 2u);
}

}  // namespace
