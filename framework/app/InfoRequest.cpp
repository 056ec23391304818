#include "app/InfoRequest.h"

#include <cstdio>

#include "app/CCommandLineInfo.h"
#include "core/AfxRes.h"
#include "core/ResourceModule.h"

std::optional<int> AfxAnswerInfoRequest(const std::vector<std::string>& args) {
  CCommandLineInfo request;
  request.ParseArguments(args);
  if (request.m_nInfoRequest == CCommandLineInfo::NoInfo) return std::nullopt;
  const std::string text =
      AfxLoadString(request.m_nInfoRequest == CCommandLineInfo::ShowHelp ? AFX_IDS_USAGE : AFX_IDS_VERSION);
  std::fputs(text.c_str(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}
