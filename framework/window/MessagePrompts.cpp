#include "window/MessagePrompts.h"

#include "core/AfxRes.h"
#include "core/ResourceModule.h"

std::string AfxPromptOf(UINT nID) {
  if (nID == 0) return "";
  if (IsSystemCommand(nID)) nID = AFX_IDS_SCFIRST + (nID - 0xF000) / 16;
  std::string prompt;
  AfxExtractSubString(prompt, AfxLoadString(nID), 0);
  if (prompt.size() > 255) prompt.resize(255);
  return prompt;
}
