// The command-line parser: arguments separated by NUL bytes; any list gives a consistent result.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/CCommandLineInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args;
  std::string input(reinterpret_cast<const char*>(data), size);
  for (std::size_t pos = 0; pos <= input.size();) {
    std::size_t end = input.find('\0', pos);
    if (end == std::string::npos) end = input.size();
    args.push_back(input.substr(pos, end - pos));
    pos = end + 1;
  }
  CCommandLineInfo info;
  info.ParseArguments(args);
  if (info.m_nShellCommand < CCommandLineInfo::FileNew || info.m_nShellCommand > CCommandLineInfo::AppUnregister)
    std::abort();
  // The file name is one of the arguments, as given.
  if (!info.m_strFileName.empty()) {
    bool found = false;
    for (const std::string& arg : args) found = found || arg == info.m_strFileName;
    if (!found) std::abort();
  }
  if (info.m_nShellCommand == CCommandLineInfo::FileOpen && info.m_strFileName.empty()) std::abort();
  return 0;
}
