// What the message pane shows for a command, menu item or toolbar button: the first line of the
// string with the command's number (at most 255 characters), the prompt of a window-menu command,
// or nothing.
#pragma once

#include <string>

#include "core/Afx.h"

// Window-menu commands lie from 0xF000 to 0xF1EF; each has its prompt at AFX_IDS_SCFIRST plus
// (command - 0xF000) / 16.
constexpr bool IsSystemCommand(UINT nID) { return nID >= 0xF000 && nID < 0xF1F0; }

std::string AfxPromptOf(UINT nID);
