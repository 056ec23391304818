// The command line: which arguments are flags, and what each form leaves in the record.
#include <gtest/gtest.h>

#include "app/CCommandLineInfo.h"

namespace {

using SC = CCommandLineInfo::ShellCommand;

struct Case {
  std::vector<std::string> args;
  SC shell;
  std::string fileName;
  bool embedded = false;
};

TEST(CommandLine, FormsGiveTheirRecord) {
  const Case cases[] = {
      {{}, SC::FileNew, ""},
      {{"a.html"}, SC::FileOpen, "a.html"},
      {{"a.html", "b.html"}, SC::FileOpen, "a.html"},
      {{"", "b.html"}, SC::FileOpen, "b.html"},  // an empty argument leaves room for the next
      {{""}, SC::FileNew, ""},
      {{"/p", "a.html"}, SC::FilePrint, "a.html"},
      {{"-p", "a.html"}, SC::FilePrint, "a.html"},
      {{"/P", "a.html"}, SC::FileOpen, "a.html"},  // print flags are exact in case
      {{"/PT", "a.html"}, SC::FileOpen, "a.html"},
      {{"/pt", "a.html", "Printer", "Driver", "Port", "extra"}, SC::FilePrintTo, "a.html"},  // the rest is ignored
      {{"/pt", "a.html", "Printer"}, SC::FilePrintTo, "a.html"},
      {{"/Unregister"}, SC::AppUnregister, ""},
      {{"/UNREGISTER"}, SC::AppUnregister, ""},
      {{"-unregserver"}, SC::AppUnregister, ""},
      {{"/Unregister", "/Embedding"}, SC::AppUnregister, "", true},
      {{"/EMBEDDING"}, SC::FileNew, "", true},
      {{"-automation", "x"}, SC::FileOpen, "x"},
      {{"/dde"}, SC::FileDDE, ""},
      {{"/DDE"}, SC::FileNew, ""},
      {{"/p", "/Unregister"}, SC::AppUnregister, ""},              // a later shell command replaces an earlier one
      {{"/", "-", "/x"}, SC::FileNew, ""},                         // flags with empty or unknown names are ignored
      {{"/home/u/page.html"}, SC::FileOpen, "/home/u/page.html"},  // a second "/" makes a path
      {{"//page.html"}, SC::FileOpen, "//page.html"},
      {{"/p", "/tmp/a b#%.html"}, SC::FilePrint, "/tmp/a b#%.html"},
      {{"--p"}, SC::FileNew, ""},  // the name is "-p", which is no flag of this program
      {{"\xff\xfe.html"}, SC::FileOpen, "\xff\xfe.html"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += "[" + a + "]";
    SCOPED_TRACE(joined);
    CCommandLineInfo info;
    info.ParseArguments(c.args);
    EXPECT_EQ(info.m_nShellCommand, c.shell);
    EXPECT_EQ(info.m_strFileName, c.fileName);
    EXPECT_EQ(info.m_bRunEmbedded, c.embedded);
  }
}

TEST(CommandLine, HelpAndVersionInEveryFormTheFirstWins) {
  using IR = CCommandLineInfo::InfoRequest;
  const std::pair<std::vector<std::string>, IR> cases[] = {
      {{"--help"}, IR::ShowHelp},
      {{"-help"}, IR::ShowHelp},
      {{"/help"}, IR::ShowHelp},
      {{"/HELP"}, IR::ShowHelp},
      {{"/?"}, IR::ShowHelp},
      {{"-?"}, IR::ShowHelp},
      {{"-h"}, IR::ShowHelp},
      {{"--version"}, IR::ShowVersion},
      {{"/Version"}, IR::ShowVersion},
      {{"-version"}, IR::ShowVersion},
      {{"a.html", "/p", "--version", "--help"}, IR::ShowVersion},
      {{"--help", "--version"}, IR::ShowHelp},
      {{"/help/x"}, IR::NoInfo},  // a path
      {{"help"}, IR::NoInfo},     // a file name
      {{"---help", "/helpme", "-v"}, IR::NoInfo},
  };
  for (const auto& [args, expected] : cases) {
    SCOPED_TRACE(args.front());
    CCommandLineInfo info;
    info.ParseArguments(args);
    EXPECT_EQ(info.m_nInfoRequest, expected);
  }
}

TEST(CommandLine, HostileArgumentsAreTakenAsTheyAre) {
  std::vector<std::string> args(5000, "/junk");
  args.push_back(std::string(10000, 'x'));
  args.push_back(std::string(10000, '/'));
  CCommandLineInfo info;
  info.ParseArguments(args);
  EXPECT_EQ(info.m_nShellCommand, SC::FileOpen);
  EXPECT_EQ(info.m_strFileName, std::string(10000, 'x'));
}

}  // namespace
