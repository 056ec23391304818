// What the command line asks for: the shell command start-up carries out and its file name.
//
// An argument that begins with "-" is a flag. One that begins with "/" is a flag too unless it
// holds a second "/": then it is an absolute path ("/home/a/page.html"); a file directly in the
// root folder is named with a doubled slash ("//page.html"). A flag's name is the rest behind its
// first character; a bare "/" or "-" is a flag with an empty name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class CCommandLineInfo {
 public:
  enum ShellCommand { FileNew = 0, FileOpen = 1, FilePrint = 2, FilePrintTo = 3, FileDDE = 4, AppUnregister = 5 };

  virtual ~CCommandLineInfo() = default;
  // One argument: its text (a flag without its leading character), whether it is a flag, and
  // whether it is the last.
  virtual void ParseParam(const std::string& param, bool bFlag, bool bLast);
  // Hands every argument (program name excluded) to ParseParam.
  void ParseArguments(const std::vector<std::string>& args);
  // True when arg is a flag; then name receives the flag's name.
  static bool IsFlag(std::string_view arg, std::string& name);

  // Set by /Embedding: another program started this one, so unregistering tells no one its result.
  // /Automation is accepted as well and, with nothing here to automate, changes nothing.
  bool m_bRunEmbedded = false;
  // --help or --version (also /help, /?, -h, /version ...): the first of them on the line, which
  // start-up answers on the standard output before anything else.
  enum InfoRequest { NoInfo, ShowHelp, ShowVersion };
  InfoRequest m_nInfoRequest = NoInfo;
  ShellCommand m_nShellCommand = FileNew;
  // The first non-empty parameter; later ones (the print-to form's printer, driver and port
  // included) are ignored, for nothing here prints.
  std::string m_strFileName;

 protected:
  void ParseParamFlag(const std::string& name);
  void ParseParamNotFlag(const std::string& param);
  void ParseLast(bool bLast);
};
