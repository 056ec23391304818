// The document's life on real files, without a display: the real document, template and document
// manager; a frame and a view without windows that note each initial update and activation; an
// application whose file prompt the test answers and whose message boxes it records. Every row
// also checks that no file was touched but the one a command was meant to write.
#include <fcntl.h>
#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstring>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>

#include "OrdinaryUser.h"
#include "TempDir.h"
#include "app/CWinApp.h"
#include "content/FOLIOSCPDoc.h"
#include "doc/CDocManager.h"
#include "doc/CSingleDocTemplate.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "window/CFrameWnd.h"
#include "window/CView.h"

namespace {

std::string g_log;  // what the user saw, in order

class TestView : public CView {
 public:
  explicit TestView(CWnd* pFrame) { m_pParentWnd = pFrame; }
  void OnInitialUpdate() override { g_log += "<update>"; }
};

class TestFrame : public CFrameWnd {
 public:
  void Adopt(CView* pView) {
    m_children.push_back(pView);
    SetActiveView(pView);
  }
  void ActivateFrame(int) override { g_log += "<activate>"; }
};

// The template builds no window: its frame is the test's.
class TestTemplate : public CSingleDocTemplate {
 public:
  TestTemplate(TestFrame& frame, TestView& view)
      : CSingleDocTemplate(IDR_MAINRES, RUNTIME_CLASS(CFOLIOSCPDoc), nullptr, nullptr), m_frame(frame), m_view(view) {}
  CFrameWnd* CreateNewFrame(CDocument* pDoc) override {
    pDoc->AddView(&m_view);
    return &m_frame;
  }

 private:
  TestFrame& m_frame;
  TestView& m_view;
};

class TestApp : public CWinApp {
 public:
  std::deque<std::string> answers;  // names the prompt confirms, in order; "" cancels

  bool DoPromptFileName(std::string& fileName, UINT nIDSTitle, bool bOpenFileDialog, CDocTemplate*) override {
    g_log += "<" + AfxLoadString(nIDSTitle) + (bOpenFileDialog ? "" : ": " + fileName) + ">";
    if (answers.empty()) {
      g_log += "<unexpected prompt>";
      return false;
    }
    std::string answer = answers.front();
    answers.pop_front();
    if (answer.empty()) return false;
    fileName = answer;
    return true;
  }
  int DoMessageBox(const std::string& prompt, UINT nType, UINT) override {
    g_log += "<box: " + prompt + ((nType & MB_ICONMASK) == MB_ICONEXCLAMATION ? "" : " (no warning icon)") + ">";
    return IDOK;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestApp, CWinApp)
  ON_COMMAND(ID_FILE_NEW, OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

// One run of the program: started with File New, as start-up does.
struct Program {
  TestApp app;
  TestFrame frame;
  TestView view{&frame};

  Program() {
    AfxSetResourceModule(&ProgramResources());
    app.AddDocTemplate(new TestTemplate(frame, view));
    frame.Adopt(&view);
    Command(ID_FILE_NEW);
  }
  ~Program() {
    // The view goes with the main window, and the document with its last view.
    if (CDocument* pDoc = Doc()) pDoc->RemoveView(&view);
    app.m_pMainWnd = nullptr;
  }
  void Command(UINT nID, std::vector<std::string> answers = {}) {
    app.answers.assign(answers.begin(), answers.end());
    frame.SendMessage(WM_COMMAND, nID);
    if (!app.answers.empty()) g_log += "<prompt not shown>";
  }
  CDocument* Doc() const { return view.GetDocument(); }
};

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::string Title(const std::string& path) {
  if (path.empty()) return "FOLIOSCOPE";
  return Glib::filename_display_basename(path);
}

// Every entry of a folder (not descending), with its type and, for a file, its content and time.
struct Entry {
  mode_t type;
  std::string content;
  time_t mtime;
  bool operator==(const Entry&) const = default;
};
using Snapshot = std::map<std::string, Entry>;

Snapshot TakeSnapshot(const std::string& dir) {
  Snapshot snapshot;
  for (const auto& item : std::filesystem::directory_iterator(dir)) {
    std::string path = item.path().string();
    struct stat st {};
    lstat(path.c_str(), &st);
    bool file = S_ISREG(st.st_mode);
    snapshot[path] = {st.st_mode & S_IFMT, file ? TempDir::Read(path) : "", file ? st.st_mtime : 0};
  }
  return snapshot;
}

// Dates every file back to 1970, so that any write shows.
void Backdate(const std::string& dir) {
  const struct timespec times[2] = {{1, 0}, {1, 0}};
  for (const auto& item : std::filesystem::directory_iterator(dir)) {
    struct stat st {};
    if (lstat(item.path().c_str(), &st) == 0 && S_ISREG(st.st_mode)) utimensat(AT_FDCWD, item.path().c_str(), times, 0);
  }
}

// Checks that nothing in dir changed but `written`, which must now be a fresh empty file.
void ExpectOnlyWritten(const Snapshot& before, const std::string& dir, const std::string& written) {
  Snapshot after = TakeSnapshot(dir);
  for (const auto& [path, entry] : before) {
    if (path == written) continue;
    EXPECT_TRUE(after.count(path) && after[path] == entry) << path << " was changed";
  }
  if (written.empty()) return;
  struct stat st {};
  ASSERT_EQ(stat(written.c_str(), &st), 0) << written;
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_size, 0);
  EXPECT_GT(st.st_mtime, 1) << written << " was not written";
}

// The folder every row starts from.
void MakeFixture(const TempDir& dir) {
  TempDir::Write(dir / "data.txt", "pages of data");
  TempDir::Write(dir / "empty", "");
  ASSERT_EQ(symlink("data.txt", (dir / "link to data").c_str()), 0);
}

enum From { kUntitled, kOpenedData, kOpenedEmpty, kSaved };

void Reach(Program& program, From from, const TempDir& dir) {
  if (from == kOpenedData) program.Command(ID_FILE_OPEN, {dir / "data.txt"});
  if (from == kOpenedEmpty) program.Command(ID_FILE_OPEN, {dir / "empty"});
  if (from == kSaved) program.Command(ID_FILE_SAVE_AS, {dir / "saved"});
}

TEST(Document, StateTable) {
  struct Row {
    From from;
    void (*change)(const std::string& pathName);  // done to the document's file before the command
    UINT command;
    std::vector<const char*> answers;  // "$" is the folder; "" cancels
    const char* log;
    const char* after;    // the path name afterwards, "" when untitled
    const char* written;  // the file the command wrote, if any
  };
  auto remove = [](const std::string& p) { unlink(p.c_str()); };
  auto makeReadOnly = [](const std::string& p) { chmod(p.c_str(), 0444); };
  auto fill = [](const std::string& p) { TempDir::Write(p, "someone else's data"); };
  auto recase = [](const std::string& p) {
    unlink(p.c_str());
    TempDir::Write(Glib::path_get_dirname(p) + "/DATA.txt", "new data");
  };
  const Row rows[] = {
      // File New: the view's initial update again, nothing asked.
      {kUntitled, nullptr, ID_FILE_NEW, {}, "<update><activate>", "", ""},
      {kOpenedData, nullptr, ID_FILE_NEW, {}, "<update><activate>", "", ""},
      // File Open: nothing read, the start page again; the same file only activates the frame.
      {kUntitled, nullptr, ID_FILE_OPEN, {"$/data.txt"}, "<Open><update><activate>", "$/data.txt", ""},
      {kSaved, nullptr, ID_FILE_OPEN, {"$/empty"}, "<Open><update><activate>", "$/empty", ""},
      // Names differing in letter case are other files; the document's file replaced by one
      // named in other letter case is not the same file either.
      {kOpenedData, nullptr, ID_FILE_OPEN, {"$/DATA.txt"}, "<Open><box: $/DATA.txt was not found.>", "$/data.txt", ""},
      {kOpenedData, recase, ID_FILE_OPEN, {"$/DATA.txt"}, "<Open><update><activate>", "$/DATA.txt", ""},
      {kOpenedData, nullptr, ID_FILE_OPEN, {"$/link to data"}, "<Open><activate>", "$/data.txt", ""},
      {kUntitled, nullptr, ID_FILE_OPEN, {"$/link to data"}, "<Open><update><activate>", "$/data.txt", ""},
      {kOpenedData, nullptr, ID_FILE_OPEN, {"\"$/empty\""}, "<Open><update><activate>", "$/empty", ""},
      {kOpenedData, nullptr, ID_FILE_OPEN, {""}, "<Open>", "$/data.txt", ""},
      {kSaved, nullptr, ID_FILE_OPEN, {"$/gone"}, "<Open><box: $/gone was not found.>", "$/saved", ""},
      // Save As: proposes the path name, or the title while untitled.
      {kUntitled, nullptr, ID_FILE_SAVE_AS, {"$/new"}, "<Save As: FOLIOSCOPE>", "$/new", "$/new"},
      {kOpenedData, nullptr, ID_FILE_SAVE_AS, {"$/new"}, "<Save As: $/data.txt>", "$/new", "$/new"},
      {kSaved, nullptr, ID_FILE_SAVE_AS, {""}, "<Save As: $/saved>", "$/saved", ""},
      {kSaved,
       nullptr,
       ID_FILE_SAVE_AS,
       {"$/no folder/x"},
       "<Save As: $/saved><box: $/no folder/x was not found.>",
       "$/saved",
       ""},
      // Save: without a dialog only over an empty, writable file; otherwise as Save As.
      {kUntitled, nullptr, ID_FILE_SAVE, {"$/new"}, "<Save As: FOLIOSCOPE>", "$/new", "$/new"},
      {kSaved, nullptr, ID_FILE_SAVE, {}, "", "$/saved", "$/saved"},
      {kOpenedEmpty, nullptr, ID_FILE_SAVE, {}, "", "$/empty", "$/empty"},
      {kOpenedData, nullptr, ID_FILE_SAVE, {""}, "<Save As: $/data.txt>", "$/data.txt", ""},
      {kSaved, fill, ID_FILE_SAVE, {""}, "<Save As: $/saved>", "$/saved", ""},
      {kSaved, remove, ID_FILE_SAVE, {""}, "<Save As: $/saved>", "$/saved", ""},
      {kSaved, makeReadOnly, ID_FILE_SAVE, {""}, "<Save As: $/saved>", "$/saved", ""},
      {kSaved, remove, ID_FILE_SAVE, {"$/saved"}, "<Save As: $/saved>", "$/saved", "$/saved"},
      {kSaved,
       makeReadOnly,
       ID_FILE_SAVE,
       {"$/saved"},
       "<Save As: $/saved><box: Access to $/saved was denied.>",
       "$/saved",
       ""},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    SCOPED_TRACE("row " + std::to_string(i));
    TempDir dir;
    MakeFixture(dir);
    Program program;
    Reach(program, row.from, dir);
    CDocument* doc = program.Doc();
    ASSERT_NE(doc, nullptr);
    if (row.change) row.change(doc->GetPathName());
    Backdate(dir.Path());
    Snapshot before = TakeSnapshot(dir.Path());
    g_log.clear();

    std::vector<std::string> answers;
    for (const char* answer : row.answers) answers.push_back(Replace(answer, "$", dir.Path()));
    program.Command(row.command, answers);

    EXPECT_EQ(g_log, Replace(row.log, "$", dir.Path()));
    EXPECT_EQ(program.Doc(), doc) << "the one document is reused";
    std::string after = Replace(row.after, "$", dir.Path());
    EXPECT_EQ(doc->GetPathName(), after);
    EXPECT_EQ(doc->GetTitle(), Title(after));
    EXPECT_FALSE(doc->IsModified());
    ExpectOnlyWritten(before, dir.Path(), Replace(row.written, "$", dir.Path()));
  }
}

TEST(Document, FirstFileNewMakesTheUntitledDocumentAndClosingDeletesIt) {
  CDocTemplate* docTemplate = nullptr;
  {
    g_log.clear();
    Program program;
    EXPECT_EQ(g_log, "<update><activate>");
    CDocument* doc = program.Doc();
    ASSERT_NE(doc, nullptr);
    EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(CFOLIOSCPDoc)));
    EXPECT_EQ(doc->GetTitle(), "FOLIOSCOPE");
    EXPECT_EQ(doc->GetPathName(), "");
    EXPECT_EQ(program.app.m_pMainWnd, &program.frame);
    docTemplate = doc->GetDocTemplate();
    ASSERT_EQ(docTemplate->GetDocuments().size(), 1u);
    // Closing asks nothing, whatever came before.
    TempDir dir;
    MakeFixture(dir);
    program.Command(ID_FILE_OPEN, {dir / "data.txt"});
    program.Command(ID_FILE_SAVE, {""});
    g_log.clear();
    EXPECT_TRUE(program.app.SaveAllModified());
    EXPECT_TRUE(doc->CanCloseFrame(&program.frame));
    EXPECT_EQ(g_log, "");
    program.Doc()->RemoveView(&program.view);
    EXPECT_EQ(program.Doc(), nullptr);
    EXPECT_TRUE(program.app.m_pDocManager->GetTemplates().front()->GetDocuments().empty());
  }
  const CRuntimeClass* record = RUNTIME_CLASS(CFOLIOSCPDoc);
  EXPECT_STREQ(record->m_lpszClassName, "CFOLIOSCPDoc");
  EXPECT_EQ(record->m_nObjectSize, int(sizeof(CDocument)));
  EXPECT_EQ(record->m_wSchema, 0xFFFFu);
  EXPECT_EQ(record->m_pBaseClass, RUNTIME_CLASS(CDocument));
}

// What File Open and Save As make of each kind of name and file; "%1" is the full path.
struct Input {
  const char* what;
  std::string (*make)(const TempDir& dir);  // makes the input, returns the name typed; "" when impossible here
  const char* openBox;                      // File Open's message, nullptr when it succeeds
  const char* saveBox;                      // Save As's message, nullptr when it succeeds
};

std::string LongPath(const TempDir& dir) {
  std::string path = dir.Path();
  while (path.size() < 3700) {
    path += "/" + std::string(240, 'd');
    mkdir(path.c_str(), 0755);
  }
  path += "/" + std::string(4000 - path.size() - 1, 'f');
  TempDir::Write(path, "long");
  return path;
}

std::string Socket(const TempDir& dir) {
  std::string path = dir / "socket";
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) return "";
  path.copy(address.sun_path, path.size());
  bool made = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  close(fd);
  return made ? path : "";
}

std::string Device(const TempDir& dir) {
  std::string path = dir / "null device";
  struct statvfs vfs {};
  if (mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) return "";
  if (statvfs(path.c_str(), &vfs) != 0 || (vfs.f_flag & ST_NODEV)) return "";
  return path;
}

const Input kInputs[] = {
    {"spaces, # and % and a newline",
     [](const TempDir& d) {
       TempDir::Write(d / "a b #1 %20\nline", "text");
       return d / "a b #1 %20\nline";
     },
     nullptr, nullptr},
    {"bytes that are not UTF-8",
     [](const TempDir& d) {
       TempDir::Write(d / "caf\xe9", "text");
       return d / "caf\xe9";
     },
     nullptr, nullptr},
    {"a 4000-byte path", LongPath, nullptr, nullptr},
    {"a name too long", [](const TempDir& d) { return d / std::string(300, 'n'); }, "%1 contains an invalid path.",
     "%1 contains an invalid path."},
    {"a missing folder", [](const TempDir& d) { return d / "no folder/x"; }, "%1 was not found.", "%1 was not found."},
    {"a file used as a folder",
     [](const TempDir& d) {
       TempDir::Write(d / "file", "text");
       return d / "file/x";
     },
     "%1 contains an invalid path.", "%1 contains an invalid path."},
    {"a folder",
     [](const TempDir& d) {
       mkdir((d / "folder").c_str(), 0755);
       return d / "folder";
     },
     "Access to %1 was denied.", "Access to %1 was denied."},
    {"a FIFO nobody writes",
     [](const TempDir& d) {
       mkfifo((d / "fifo").c_str(), 0644);
       return d / "fifo";
     },
     nullptr, "Access to %1 was denied."},
    {"a socket", Socket, "An unknown error occurred while accessing %1.", "Access to %1 was denied."},
    {"a device", Device, nullptr, "Access to %1 was denied."},
    {"a dangling link",
     [](const TempDir& d) {
       symlink("nowhere", (d / "dangling").c_str());
       return d / "dangling";
     },
     "%1 was not found.", "%1 was not found."},
    {"a link loop",
     [](const TempDir& d) {
       symlink("loop", (d / "loop").c_str());
       return d / "loop";
     },
     "%1 contains an invalid path.", "%1 contains an invalid path."},
    {"a read-only file",
     [](const TempDir& d) {
       TempDir::Write(d / "read-only", "text");
       chmod((d / "read-only").c_str(), 0444);
       return d / "read-only";
     },
     nullptr, "Access to %1 was denied."},
};

TEST(Document, OpenAndSaveAsOfEveryKindOfName) {
  for (const Input& input : kInputs) {
    for (UINT command : {ID_FILE_OPEN, ID_FILE_SAVE_AS}) {
      SCOPED_TRACE(std::string(input.what) + (command == ID_FILE_OPEN ? ", File Open" : ", Save As"));
      TempDir dir;
      std::string name = input.make(dir);
      if (name.empty()) continue;  // this system cannot make it (no sockets or devices here)
      Program program;
      Reach(program, kSaved, dir);
      CDocument* doc = program.Doc();
      Backdate(dir.Path());
      Snapshot before = TakeSnapshot(dir.Path());
      g_log.clear();

      program.Command(command, {name});
      const char* box = command == ID_FILE_OPEN ? input.openBox : input.saveBox;
      const std::string prompt = command == ID_FILE_OPEN ? "<Open>" : "<Save As: " + (dir / "saved") + ">";
      std::string after = box ? dir / "saved" : Glib::canonicalize_filename(name);
      if (box) {
        std::string full = Glib::canonicalize_filename(name);
        EXPECT_EQ(g_log, prompt + "<box: " + Replace(box, "%1", Glib::filename_display_name(full)) + ">");
      } else {
        EXPECT_EQ(g_log, prompt + (command == ID_FILE_OPEN ? "<update><activate>" : ""));
      }
      EXPECT_EQ(doc->GetPathName(), after);
      EXPECT_EQ(doc->GetTitle(), Title(after));
      EXPECT_FALSE(doc->IsModified());
      ExpectOnlyWritten(before, dir.Path(), command == ID_FILE_SAVE_AS && !box ? name : "");
    }
  }
}

TEST(Document, SaveKeepsPermissionsOwnerAndLinks) {
  TempDir dir;
  MakeFixture(dir);
  chmod((dir / "data.txt").c_str(), 0640);
  bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown((dir / "data.txt").c_str(), 65534, 65534), 0);
  }
  Program program;
  // Through the link: the file it points to is emptied, the link stays a link.
  program.Command(ID_FILE_SAVE_AS, {dir / "link to data"});
  EXPECT_EQ(program.Doc()->GetPathName(), dir / "link to data");
  struct stat st {};
  ASSERT_EQ(lstat((dir / "link to data").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir / "data.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  if (root) {
    EXPECT_EQ(st.st_uid, 65534u);
  }
  // A new file gets the usual permissions of a new file.
  mode_t mask = umask(027);
  program.Command(ID_FILE_SAVE_AS, {dir / "new"});
  umask(mask);
  ASSERT_EQ(stat((dir / "new").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  // No temporary file is left behind.
  for (const auto& item : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_NE(item.path().filename().string()[0], '.') << item.path();
}

TEST(Document, PermissionsOfAnOrdinaryUser) {
  TempDir dir;
  TempDir::Write(dir / "secret", "secret");
  mkdir((dir / "shelf").c_str(), 0755);
  TempDir::Write(dir / "shelf/writable", "old");
  std::string result = AsOrdinaryUser(dir, [&] {
    chmod((dir / "secret").c_str(), 0);
    chmod((dir / "shelf").c_str(), 0555);
    Program program;
    Reach(program, kSaved, dir);
    g_log.clear();
    program.Command(ID_FILE_OPEN, {dir / "secret"});
    program.Command(ID_FILE_SAVE_AS, {dir / "shelf/new"});
    // A writable file in a folder that takes no new entries is emptied where it is.
    program.Command(ID_FILE_SAVE_AS, {dir / "shelf/writable"});
    return g_log + "|" + program.Doc()->GetPathName() + "|" + TempDir::Read(dir / "shelf/writable");
  });
  EXPECT_EQ(result, Replace("<Open><box: Access to $/secret was denied.>"
                            "<Save As: $/saved><box: Access to $/shelf/new was denied.>"
                            "<Save As: $/saved>|$/shelf/writable|",
                            "$", dir.Path()));
}

// A volume with no free inode takes no temporary file: an existing writable file is emptied where
// it is, as in a folder that takes no new entries, and a new file cannot be made.
TEST(Document, AVolumeWithoutFreeInodesEmptiesAFileInPlace) {
  TempDir dir;
  std::string disk = dir / "disk";
  mkdir(disk.c_str(), 0755);
  // A file system of two entries (its folder and one file), in a mount namespace of a child
  // process, which the test process never enters.
  const std::string result = InChildProcess([&]() -> std::string {
    if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k,nr_inodes=2") != 0)
      return "skip";
    TempDir::Write(disk + "/old", "pages of data");
    struct stat before {
    }, after{};
    stat((disk + "/old").c_str(), &before);
    std::string seen;
    {
      Program program;
      Reach(program, kSaved, dir);
      g_log.clear();
      program.Command(ID_FILE_SAVE_AS, {disk + "/old"});
      program.Command(ID_FILE_SAVE_AS, {disk + "/new"});
      seen = g_log + "|" + program.Doc()->GetPathName();
    }
    stat((disk + "/old").c_str(), &after);
    return seen + "|" + TempDir::Read(disk + "/old") + "|" +
           (before.st_ino == after.st_ino ? "same inode" : "new inode") + "|" +
           std::to_string(std::distance(std::filesystem::directory_iterator(disk), {}));
  });
  if (result == "skip") GTEST_SKIP() << "cannot mount a small file system here";
  EXPECT_EQ(result, Replace("<Save As: $/saved>"
                            "<Save As: $/disk/old><box: Disk full while accessing $/disk/new.>"
                            "|$/disk/old||same inode|1",
                            "$", dir.Path()));
  // The test process's view of the folder is the plain one.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk), {}), 0);
}

// The new file of a Save takes the old one's extended attributes and access-control list; another
// hard link to the old file keeps its data (the saved name is a new file).
TEST(Document, SaveKeepsAttributesAndTheAccessList) {
  TempDir dir;
  MakeFixture(dir);
  const std::string data = dir / "data.txt";
  // An access-control list granting user 65534 read and write: the kernel's binary form.
  auto entry = [](uint16_t tag, uint16_t perm, uint32_t id) {
    std::string bytes(8, '\0');
    memcpy(bytes.data(), &tag, 2);
    memcpy(bytes.data() + 2, &perm, 2);
    memcpy(bytes.data() + 4, &id, 4);
    return bytes;
  };
  const uint32_t version = 2, anyone = 0xFFFFFFFF;
  const std::string acl = std::string(reinterpret_cast<const char*>(&version), 4) + entry(0x01, 6, anyone) +
                          entry(0x02, 6, 65534) + entry(0x04, 4, anyone) + entry(0x10, 6, anyone) +
                          entry(0x20, 0, anyone);
  if (setxattr(data.c_str(), "user.origin", "downloaded", 10, 0) != 0 ||
      setxattr(data.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
    GTEST_SKIP() << "this file system keeps no extended attributes or access lists";
  ASSERT_EQ(link(data.c_str(), (dir / "hard link").c_str()), 0);
  struct stat before {};
  ASSERT_EQ(stat(data.c_str(), &before), 0);

  Program program;
  program.Command(ID_FILE_SAVE_AS, {data});
  EXPECT_EQ(program.Doc()->GetPathName(), data);
  auto attribute = [&](const char* name) {
    std::string value(256, '\0');
    ssize_t length = getxattr(data.c_str(), name, value.data(), value.size());
    return length < 0 ? std::string("<none>") : value.substr(0, size_t(length));
  };
  EXPECT_EQ(attribute("user.origin"), "downloaded");
  EXPECT_EQ(attribute("system.posix_acl_access"), acl);
  struct stat after {};
  ASSERT_EQ(stat(data.c_str(), &after), 0);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_size, 0);
  EXPECT_EQ(TempDir::Read(dir / "hard link"), "pages of data");
}

}  // namespace
