#include "app/CCommandLineInfo.h"

#include <glib.h>

namespace {
bool AnyCase(const std::string& a, const char* b) { return g_ascii_strcasecmp(a.c_str(), b) == 0; }
}  // namespace

bool CCommandLineInfo::IsFlag(std::string_view arg, std::string& name) {
  if (arg.empty() || (arg[0] != '-' && arg[0] != '/')) return false;
  if (arg[0] == '/' && arg.find('/', 1) != std::string_view::npos) return false;
  name = arg.substr(1);
  return true;
}

void CCommandLineInfo::ParseArguments(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name;
    bool bFlag = IsFlag(args[i], name);
    ParseParam(bFlag ? name : args[i], bFlag, i + 1 == args.size());
  }
}

void CCommandLineInfo::ParseParam(const std::string& param, bool bFlag, bool bLast) {
  if (bFlag)
    ParseParamFlag(param);
  else
    ParseParamNotFlag(param);
  ParseLast(bLast);
}

void CCommandLineInfo::ParseParamFlag(const std::string& name) {
  const bool help = AnyCase(name, "help") || AnyCase(name, "-help") || name == "?" || name == "h";
  const bool version = AnyCase(name, "version") || AnyCase(name, "-version");
  if (m_nInfoRequest == NoInfo && (help || version)) m_nInfoRequest = help ? ShowHelp : ShowVersion;
  if (name == "pt") {
    m_nShellCommand = FilePrintTo;
  } else if (name == "p") {
    m_nShellCommand = FilePrint;
  } else if (AnyCase(name, "Unregister") || AnyCase(name, "Unregserver")) {
    m_nShellCommand = AppUnregister;
  } else if (name == "dde") {
    m_nShellCommand = FileDDE;
  } else if (AnyCase(name, "Embedding")) {
    m_bRunEmbedded = true;
  }
}

void CCommandLineInfo::ParseParamNotFlag(const std::string& param) {
  if (m_strFileName.empty()) m_strFileName = param;
}

void CCommandLineInfo::ParseLast(bool bLast) {
  if (!bLast) return;
  if (m_nShellCommand == FileNew && !m_strFileName.empty()) m_nShellCommand = FileOpen;
}
