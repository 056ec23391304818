// The settings store: the text form, the application's setting, unregistering, and sharing the
// store between processes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "TempDir.h"
#include "app/CWinApp.h"
#include "doc/CSingleDocTemplate.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "settings/RegistryText.h"
#include "settings/SettingsStore.h"

namespace {

const std::string kSettings =
    "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\FOLIOSCP\\Settings";
const std::string kApp = "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications\\FOLIOSCP";
const std::string kAppsKey = "HKEY_CURRENT_USER\\Software\\Local AppWizard-Generated Applications";

std::string Section(const std::string& key, const std::string& body = "") { return "[" + key + "]\n" + body; }

// An application object whose settings live in a temporary folder.
class SettingsApp : public CWinApp {
 public:
  explicit SettingsApp(const TempDir& dir) {
    AfxSetResourceModule(&ProgramResources());
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    m_pszAppName = "FOLIOSCP";
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
      {"dword:00000002", 2u},     {"DWORD:ffffffff", 0xFFFFFFFFu}, {"dword:2", 2u},
      {"dword:", std::nullopt},   {"dword:1ffffffff", std::nullopt}, {"dword:xyz", std::nullopt},
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
  const std::string header = std::string(RegistryText::kHeader) + "\n\n";
  const std::string two = Section(kSettings, "\"PreviewPages\"=dword:00000002\n");
  const Case cases[] = {
      {"absent store: keys created, no value written", "", 0, header + Section(kSettings)},
      {"stored 2 stays 2", two, 2, two},
      {"stored 0 stays 0", Section(kSettings, "\"PreviewPages\"=dword:00000000\n"), 0,
       Section(kSettings, "\"PreviewPages\"=dword:00000000\n")},
      {"wrong type reads 0 and stays", Section(kSettings, "\"PreviewPages\"=\"two\"\n"), 0,
       Section(kSettings, "\"PreviewPages\"=\"two\"\n")},
      {"other keys and comments are kept", "; mine\n" + Section("HKEY_CURRENT_USER\\Software\\Other", "\"a\"=dword:1\n"),
       0, "; mine\n" + Section("HKEY_CURRENT_USER\\Software\\Other", "\"a\"=dword:1\n") + "\n" + Section(kSettings)},
      {"binary store is left alone", std::string("\x7f" "ELF\0\0junk", 9), 0, std::string("\x7f" "ELF\0\0junk", 9)},
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
    app.AddDocTemplate(new CSingleDocTemplate(IDR_MAINRES, nullptr, nullptr, nullptr));
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
