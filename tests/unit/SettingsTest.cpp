// The settings store: the text form, the application's setting, unregistering, and sharing the
// store between processes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "OrdinaryUser.h"
#include "TempDir.h"
#include "app/CWinApp.h"
#include "doc/AtomicFile.h"
#include "doc/CSingleDocTemplate.h"
#include "settings/RegistryText.h"
#include "settings/SettingsStore.h"

namespace {

const std::string kSettings = "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\FOLIOSCP\\Settings";
const std::string kApp = "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\FOLIOSCP";
const std::string kAppsKey = "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications";

const std::string kHeader = "; settings of the test's program";

// The test's program: a document type whose file-type id names the shell's keys.
constexpr UINT kDocument = 128;
constexpr StringResource kStrings[] = {{kDocument, "Notes\nNotes\nNotes\n\n\nFOLIOSCP.Document\nFOLIOS Document"}};
const CResourceModule kResources{kStrings};

std::string Section(const std::string& key, const std::string& body = "") { return "[" + key + "]\n" + body; }

// An application object whose settings live in a temporary folder.
class SettingsApp : public CWinApp {
 public:
  explicit SettingsApp(const TempDir& dir) {
    AfxSetResourceModule(&kResources);
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    m_pszAppName = "FOLIOSCP";
    m_strProgramName = "folioscope";
    m_strSettingsHeader = kHeader;
    SetRegistryKey("Local AppWizard-Generated Applications");
  }
  // What a run without a window does with the setting: read at start, written back at exit.
  void StartAndExit() {
    LoadStdProfileSettings(0);
    ExitInstance();
  }
};

TEST(RegistryText, ParseAndSerializeKeepEveryLine) {
  const std::string text = "; comment\n\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:00000001\n; note\n\"s\"=\"str\"\n\n[B]\n";
  RegistryText t;
  ASSERT_TRUE(t.Parse(text));
  EXPECT_EQ(t.Serialize(), text);
  EXPECT_EQ(t.GetDword("hkey_current_user\\a", "X"), 1u);  // keys and names ignore letter case
  EXPECT_FALSE(t.GetDword("HKEY_CURRENT_USER\\A", "s"));   // a string is not a dword
  EXPECT_TRUE(t.HasValue("HKEY_CURRENT_USER\\A", "s"));
}

TEST(RegistryText, DwordForms) {
  const std::pair<std::string, std::optional<std::uint32_t>> cases[] = {
      {"dword:00000002", 2u},      {"DWORD:ffffffff", 0xFFFFFFFFu},   {"dword:2", 2u},
      {"dword:", std::nullopt},    {"dword:1ffffffff", std::nullopt}, {"dword:xyz", std::nullopt},
      {"hex:02,00", std::nullopt}, {"\"2\"", std::nullopt},
  };
  for (const auto& [data, expected] : cases) {
    SCOPED_TRACE(data);
    RegistryText t;
    ASSERT_TRUE(t.Parse(Section("K", "\"v\"=" + data + "\n")));
    EXPECT_EQ(t.GetDword("K", "v"), expected);
  }
}

TEST(RegistryText, RejectsWhatIsNoSettingsText) {
  for (const std::string& text : {std::string("hello\n[K]\n"), std::string("[K]\n\0\x01", 6)}) {
    RegistryText t;
    EXPECT_FALSE(t.Parse(text));
  }
  RegistryText t;
  EXPECT_TRUE(t.Parse("REGEDIT4\n\n[K]\n"));
}

TEST(RegistryText, KeysExistThroughTheirSubkeysAndDeleteOnlyWhenEmpty) {
  RegistryText t;
  t.CreateKey("R\\A\\B");
  EXPECT_TRUE(t.KeyExists("R\\A"));
  EXPECT_TRUE(t.HasSubkeys("R\\A"));
  EXPECT_FALSE(t.DeleteKey("R\\A"));
  EXPECT_TRUE(t.DeleteKey("R\\A\\B"));
  EXPECT_FALSE(t.KeyExists("R"));
  t.SetDword("R\\A", "v", 7);
  t.CreateKey("R\\A2");  // a sibling whose name starts like the key is not below it
  EXPECT_FALSE(t.HasSubkeys("R\\A"));
  EXPECT_TRUE(t.DeleteTree("R\\A"));
  EXPECT_TRUE(t.KeyExists("R\\A2"));
}

TEST(Settings, PreviewPagesSemantics) {
  struct Case {
    const char* name;
    std::string before;  // "" = no store
    int read;
    std::string after;  // expected store after start and exit
  };
  const std::string header = kHeader + "\n\n";
  const std::string two = Section(kSettings, "\"PreviewPages\"=dword:00000002\n");
  const Case cases[] = {
      {"absent store: keys created, no value written", "", 0, header + Section(kSettings)},
      {"stored 2 stays 2", two, 2, two},
      {"stored 0 stays 0", Section(kSettings, "\"PreviewPages\"=dword:00000000\n"), 0,
       Section(kSettings, "\"PreviewPages\"=dword:00000000\n")},
      {"wrong type reads 0 and stays", Section(kSettings, "\"PreviewPages\"=\"two\"\n"), 0,
       Section(kSettings, "\"PreviewPages\"=\"two\"\n")},
      {"other keys and comments are kept",
       "; mine\n" + Section("HKEY_CURRENT_USER\\Software\\Other", "\"a\"=dword:1\n"), 0,
       "; mine\n" + Section("HKEY_CURRENT_USER\\Software\\Other", "\"a\"=dword:1\n") + "\n" + Section(kSettings)},
      {"binary store is left alone",
       std::string("\x7f"
                   "ELF\0\0junk",
                   9),
       0,
       std::string("\x7f"
                   "ELF\0\0junk",
                   9)},
      {"unknown text is left alone", "not settings at all\n", 0, "not settings at all\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    std::string path = dir / "folioscope/registry.reg";
    if (!c.before.empty()) {
      g_mkdir_with_parents((dir / "folioscope").c_str(), 0700);
      TempDir::Write(path, c.before);
    }
    SettingsApp app(dir);
    app.LoadStdProfileSettings(0);
    EXPECT_EQ(app.m_nNumPreviewPages, c.read);
    app.ExitInstance();
    EXPECT_EQ(TempDir::Read(path), c.after);
  }
}

// Files before → after through the real store, for root and for an ordinary user: a run reads the
// setting, the program changes it to 4, and exit writes it. Every line it did not set survives byte
// for byte; a store it may not write is read and left alone.
TEST(Settings, RewritingKeepsWhatTheProgramDidNotWrite) {
  const std::string header = kHeader + "\n\n";
  const std::string four = "\"PreviewPages\"=dword:00000004";
  const std::string kAbsent = "<absent>";
  struct Case {
    const char* name;
    std::string before;  // the store's text ("" = none)
    std::string link;    // when set, the store is a symbolic link with this text, before is not written
    mode_t mode;         // the store's mode, 0 = as created
    std::string during;  // when set, the store's text is replaced by this between start and exit
    int read;            // what the run reads
    std::string file;    // the file to look at afterwards, relative to the store's folder
    std::string after;   // its text afterwards
  };
  const std::string storeName = "registry.reg";
  const Case cases[] = {
      {"CRLF, a comment and a padded section header",
       "; mine\r\n\r\n  [" + kSettings + "]  \r\n\"Other\"=dword:1\r\n\"PreviewPages\"=dword:00000002\r\n", "", 0, "",
       2, storeName, "; mine\r\n\r\n  [" + kSettings + "]  \r\n\"Other\"=dword:1\r\n" + four + "\r\n"},
      {"CR CR LF, a value added after the section's last line",
       "[" + kSettings + "]\r\r\n; note\r\r\n\r\r\n[Next]\r\r\n", "", 0, "", 0, storeName,
       "[" + kSettings + "]\r\r\n; note\r\r\n" + four + "\r\r\n\r\r\n[Next]\r\r\n"},
      {"CR only, last line without its ending", "[Other]\r\"a\"=dword:1", "", 0, "", 0, storeName,
       "[Other]\r\"a\"=dword:1\r\r[" + kSettings + "]\r" + four + "\r"},
      {"a UTF-8 byte-order mark is read and kept", "\xEF\xBB\xBF" + Section(kSettings, "\"PreviewPages\"=dword:2\n"),
       "", 0, "", 2, storeName, "\xEF\xBB\xBF" + Section(kSettings, four + "\n")},
      {"a read-only store is read and left alone", Section(kSettings, "\"PreviewPages\"=dword:00000002\n"), "", 0444,
       "", 2, storeName, Section(kSettings, "\"PreviewPages\"=dword:00000002\n")},
      {"the key vanished during the run, a subkey left", Section(kSettings), "", 0,
       Section(kSettings + "\\Sub", "\"x\"=dword:1\n"), 0, storeName,
       Section(kSettings + "\\Sub", "\"x\"=dword:1\n") + "\n" + Section(kSettings, four + "\n")},
      {"the store emptied during the run", Section(kSettings), "", 0, "\n", 0, storeName,
       "\n" + Section(kSettings, four + "\n")},
      {"a dangling link into an existing folder: its target is made, the link kept", "", "real.reg", 0, "", 0,
       "real.reg", header + Section(kSettings, four + "\n")},
      {"a dangling link through a second link", "", "hop", 0, "", 0, "hop.target",
       header + Section(kSettings, four + "\n")},
      {"a dangling link into a missing folder is left alone", "", "missing/real.reg", 0, "", 0, "missing", kAbsent},
      {"a link loop is left alone", "", "registry.reg", 0, "", 0, storeName, kAbsent},
  };
  for (bool ordinary : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.name) + (ordinary ? " (ordinary user)" : " (root)"));
      TempDir dir;
      const std::string folder = dir / "folioscope";
      const std::string path = folder + "/" + storeName;
      g_mkdir_with_parents(folder.c_str(), 0700);
      if (!c.link.empty()) {
        ASSERT_EQ(symlink(c.link.c_str(), path.c_str()), 0);
        if (c.link == "hop") {
          ASSERT_EQ(symlink("hop.target", (folder + "/hop").c_str()), 0);
        }
      } else if (!c.before.empty()) {
        TempDir::Write(path, c.before);
        if (c.mode != 0) chmod(path.c_str(), c.mode);
      }
      auto run = [&]() -> std::string {
        SettingsApp app(dir);
        app.LoadStdProfileSettings(0);
        std::string read = std::to_string(app.m_nNumPreviewPages);
        if (!c.during.empty()) TempDir::Write(path, c.during);
        app.m_nNumPreviewPages = 4;
        app.ExitInstance();
        const std::string file = folder + "/" + c.file;
        return read + "|" + (g_file_test(file.c_str(), G_FILE_TEST_EXISTS) ? TempDir::Read(file) : kAbsent);
      };
      std::string result = ordinary ? AsOrdinaryUser(dir, run) : run();
      EXPECT_EQ(result, std::to_string(c.read) + "|" + c.after);
      if (!c.link.empty()) {
        EXPECT_TRUE(g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK));
      }
      // Nothing but the store, its lock and what the row made is left in the folder.
      for (const auto& item : std::filesystem::directory_iterator(folder))
        EXPECT_NE(item.path().filename().string()[0], '.') << item.path();
    }
    if (geteuid() != 0) break;  // the first pass already ran as an ordinary user
  }
}

// Another process holds the store's lock and does not let go (stopped): the run starts and ends at
// once, reads the store without the lock and writes nothing.
TEST(Settings, AHeldLockNeverStopsTheRun) {
  TempDir dir;
  g_mkdir_with_parents((dir / "folioscope").c_str(), 0700);
  const std::string path = dir / "folioscope/registry.reg";
  const std::string text = Section(kSettings, "\"PreviewPages\"=dword:00000002\n");
  TempDir::Write(path, text);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t holder = fork();
  if (holder == 0) {
    int fd = open((path + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    if (fd >= 0 && flock(fd, LOCK_EX) == 0 && write(ready[1], "x", 1) == 1) raise(SIGSTOP);
    _exit(0);
  }
  char byte;
  ASSERT_EQ(read(ready[0], &byte, 1), 1);
  auto start = std::chrono::steady_clock::now();
  {
    SettingsApp app(dir);
    app.LoadStdProfileSettings(0);
    EXPECT_EQ(app.m_nNumPreviewPages, 2);
    app.m_nNumPreviewPages = 5;
    app.ExitInstance();
    EXPECT_TRUE(app.GetSettingsStore().IsReadOnly());
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1000));
  EXPECT_EQ(TempDir::Read(path), text);
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

// A lock file that is a symbolic link is never followed: its target is not made, and the store is
// read but not written.
TEST(Settings, ALockThatIsALinkIsNotFollowed) {
  TempDir dir;
  g_mkdir_with_parents((dir / "folioscope").c_str(), 0700);
  const std::string path = dir / "folioscope/registry.reg";
  const std::string text = Section(kSettings, "\"PreviewPages\"=dword:00000002\n");
  TempDir::Write(path, text);
  ASSERT_EQ(symlink((dir / "elsewhere").c_str(), (path + ".lock").c_str()), 0);
  SettingsApp app(dir);
  app.LoadStdProfileSettings(0);
  EXPECT_EQ(app.m_nNumPreviewPages, 2);
  app.m_nNumPreviewPages = 4;
  app.ExitInstance();
  EXPECT_FALSE(g_file_test((dir / "elsewhere").c_str(), G_FILE_TEST_EXISTS));
  EXPECT_TRUE(g_file_test((path + ".lock").c_str(), G_FILE_TEST_IS_SYMLINK));
  EXPECT_EQ(TempDir::Read(path), text);
}

// The writer never makes a store the reader refuses; a store already over the writer's limit is
// read, not written.
TEST(Settings, StoreSizeLimit) {
  const std::string value = Section(kSettings, "\"PreviewPages\"=dword:00000002\n");
  const std::string filler = "; " + std::string(78, 'x') + "\n";
  auto grown = [&](std::size_t size) {
    std::string text = value;
    while (text.size() + filler.size() <= size) text += filler;
    return text;
  };
  struct Case {
    const char* name;
    std::string before;
  };
  const Case cases[] = {
      {"a change would grow the store past the limit", grown(SettingsStore::kMaxWriteSize - 10) + "[Room]\n"},
      {"a store over the limit", grown(SettingsStore::kMaxWriteSize + 4096)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    g_mkdir_with_parents((dir / "folioscope").c_str(), 0700);
    const std::string path = dir / "folioscope/registry.reg";
    TempDir::Write(path, c.before);
    for (int run = 0; run < 2; ++run) {
      SettingsApp app(dir);
      app.LoadStdProfileSettings(0);
      EXPECT_EQ(app.m_nNumPreviewPages, 2);  // still read, next start too
      app.m_nNumPreviewPages = 0x7fffffff;
      // A value line that no longer fits.
      app.WriteProfileInt("A Section Whose Key Makes The Store Larger Than It May Be", "Value", 1);
      app.ExitInstance();
      EXPECT_TRUE(app.GetSettingsStore().IsReadOnly());
    }
    EXPECT_EQ(TempDir::Read(path), c.before);
  }
}

TEST(Settings, StoreThatCannotBeUsedReadsZeroAndStaysAsItWas) {
  TempDir dir;
  g_mkdir_with_parents((dir / "folioscope/registry.reg").c_str(), 0700);  // a folder where the file belongs
  SettingsApp app(dir);
  app.StartAndExit();
  EXPECT_EQ(app.m_nNumPreviewPages, 0);
  EXPECT_TRUE(g_file_test((dir / "folioscope/registry.reg").c_str(), G_FILE_TEST_IS_DIR));
}

TEST(Settings, WritesGoThroughASymbolicLinkAndKeepPermissions) {
  TempDir dir;
  g_mkdir_with_parents((dir / "folioscope").c_str(), 0700);
  std::string real = dir / "dotfiles-registry.reg";
  TempDir::Write(real, Section(kSettings, "\"PreviewPages\"=dword:00000003\n"));
  chmod(real.c_str(), 0640);
  ASSERT_EQ(symlink(real.c_str(), (dir / "folioscope/registry.reg").c_str()), 0);
  SettingsApp app(dir);
  app.LoadStdProfileSettings(0);
  app.m_nNumPreviewPages = 4;
  app.ExitInstance();
  EXPECT_TRUE(g_file_test((dir / "folioscope/registry.reg").c_str(), G_FILE_TEST_IS_SYMLINK));
  EXPECT_EQ(TempDir::Read(real), Section(kSettings, "\"PreviewPages\"=dword:00000004\n"));
  struct stat st {};
  stat(real.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(Settings, UnregisterRemovesTheApplicationTreeAndEmptyShellKeys) {
  const std::string top = "HKEY_CLASSES_ROOT\\FOLIOSCP.Document";
  struct Case {
    const char* name;
    std::string before;
    std::string after;
  };
  const Case cases[] = {
      {"only this program: both keys go", Section(kSettings, "\"PreviewPages\"=dword:00000002\n"), ""},
      {"another program's key keeps the parent",
       Section(kSettings) + Section(kAppsKey + "\\Other") + Section(kApp + "\\Recent File List"),
       Section(kAppsKey + "\\Other")},
      {"shell keys walk up to the type's key",
       Section(top) + Section(top + "\\DefaultIcon", "@=\"x\"\n") + Section(top + "\\shell") +
           Section(top + "\\shell\\open") + Section(top + "\\shell\\open\\command", "@=\"f %1\"\n"),
       ""},
      {"a parent with values of its own is kept",
       Section(kAppsKey, "\"Mine\"=dword:00000001\n") + Section(kSettings, "\"PreviewPages\"=dword:00000002\n"),
       Section(kAppsKey, "\"Mine\"=dword:00000001\n")},
      {"a shell key with a value stops the walk",
       Section(top + "\\shell", "@=\"open\"\n") + Section(top + "\\shell\\open\\command", "@=\"f %1\"\n"),
       Section(top + "\\shell", "@=\"open\"\n")},
      {"a key with other subkeys stops the walk",
       Section(top + "\\shell\\open\\command") + Section(top + "\\shell\\open\\ddeexec"),
       Section(top + "\\shell\\open\\ddeexec")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    g_mkdir_with_parents((dir / "folioscope").c_str(), 0700);
    std::string path = dir / "folioscope/registry.reg";
    TempDir::Write(path, c.before);
    SettingsApp app(dir);
    // The shell keys are found through the document template's type id.
    app.AddDocTemplate(new CSingleDocTemplate(kDocument, nullptr, nullptr, nullptr));
    EXPECT_TRUE(app.Unregister());
    EXPECT_EQ(TempDir::Read(path), c.after);
  }
}

TEST(Settings, ConcurrentWritersLoseNothing) {
  TempDir dir;
  SettingsStore store(dir / "folioscope/registry.reg");
  constexpr int kWriters = 4, kRounds = 50;
  for (int w = 0; w < kWriters; ++w) {
    if (fork() == 0) {
      SettingsStore mine(store.GetPath());
      for (int i = 0; i < kRounds; ++i) {
        mine.Update([&](RegistryText& t) {
          std::string name = "w" + std::to_string(w);
          t.SetDword("K", name, t.GetDword("K", name).value_or(0) + 1);
        });
      }
      _exit(0);
    }
  }
  for (int w = 0; w < kWriters; ++w) wait(nullptr);
  RegistryText t;
  ASSERT_TRUE(store.Read(t));
  for (int w = 0; w < kWriters; ++w) EXPECT_EQ(t.GetDword("K", "w" + std::to_string(w)), std::uint32_t(kRounds));
}

}  // namespace
