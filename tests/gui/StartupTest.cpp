// Start-up on a folder: the frame with its caption, the start page in the engine, the status
// texts; File New looking the start page up again in the current directory of that moment; and
// closing, which ends the loop and deletes the document.
#include <unistd.h>
#include <webkit2/webkit2.h>

#include "PageDriver.h"
#include "doc/CDocument.h"

namespace {

using page::CurrentDir;
using page::ShownUri;
using page::Uri;
using page::WaitFor;

// Some page is shown, completely loaded.
bool Loaded() { return page::View() != nullptr && !ShownUri().empty() && !webkit_web_view_is_loading(page::Engine()); }

TEST(Startup, ShowsTheStartPageAndFollowsTheCurrentDirectory) {
  TempDir first, second;
  TempDir::Write(first / "index.html", "<title>First</title><a href='b.html'>b</a>");
  TempDir::Write(second / "INDEX.html", "<title>Second</title>");
  ASSERT_EQ(chdir(first.Path().c_str()), 0);

  ASSERT_TRUE(theApp.InitInstance());
  CFrameWnd* frame = MainFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");
  EXPECT_TRUE(frame->IsWindowVisible());
  CDocument* doc = frame->GetActiveDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->GetTitle(), "FOLIOSCOPE");
  EXPECT_TRUE(doc->GetPathName().empty());

  ASSERT_TRUE(RunUntil([] { return Loaded() && MainFrame()->GetMessageText() == "Done"; }));
  EXPECT_EQ(ShownUri(), Uri(first / "index.html"));

  // File New after a change of folder: the other folder's start page, with its stored name.
  ASSERT_EQ(chdir(second.Path().c_str()), 0);
  frame->SendMessage(WM_COMMAND, ID_FILE_NEW);
  ASSERT_TRUE(WaitFor(Uri(second / "INDEX.html")));
  EXPECT_EQ(frame->GetGtkWindow()->get_title(), "FOLIOSCOPE 3.4");

  // A folder named as the file: it becomes the current directory, the document stays untitled.
  frame->GetActiveDocument()->SetPathName(second / "INDEX.html");
  CCommandLineInfo folder;
  folder.ParseArguments({first.Path() + "/"});
  ASSERT_TRUE(theApp.ProcessShellCommand(folder));
  ASSERT_TRUE(WaitFor(Uri(first / "index.html")));
  EXPECT_TRUE(frame->GetActiveDocument()->GetPathName().empty());
  EXPECT_EQ(CurrentDir(), first.Path());

  // Closing hides the window at once, closes the document and ends the loop.
  frame->SendMessage(WM_CLOSE);
  EXPECT_EQ(theApp.m_pMainWnd, nullptr);
  EXPECT_EQ(theApp.ExitInstance(), 0);
}

}  // namespace
