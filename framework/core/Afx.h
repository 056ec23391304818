// Basic types, window-message numbers and standard identifiers shared by the whole framework.
#pragma once

#include <cstdint>

using UINT = unsigned int;
using BOOL = int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// The same values GLib gives them, so either header may come first.
#ifndef FALSE
#define FALSE (0)
#endif
#ifndef TRUE
#define TRUE (!FALSE)
#endif

// Window messages. GTK events are translated into these and delivered through the message maps.
enum : UINT {
  WM_NULL = 0x0000,
  WM_CREATE = 0x0001,
  WM_DESTROY = 0x0002,
  WM_SIZE = 0x0005,
  WM_SETFOCUS = 0x0007,
  WM_CLOSE = 0x0010,
  WM_QUERYENDSESSION = 0x0011,
  WM_ENDSESSION = 0x0016,
  WM_COMMAND = 0x0111,
  WM_SETMESSAGESTRING = 0x0362,
  WM_IDLEUPDATECMDUI = 0x0363,
  WM_INITIALUPDATE = 0x0364,
};

// Notification codes carried with WM_COMMAND through the command route.
enum : int { CN_COMMAND = 0, CN_UPDATE_COMMAND_UI = -1 };

// Show states.
enum : int { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5 };

// Message-box button sets and icons.
enum : UINT {
  MB_OK = 0x00,
  MB_OKCANCEL = 0x01,
  MB_YESNOCANCEL = 0x03,
  MB_YESNO = 0x04,
  MB_ICONSTOP = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
  MB_ICONINFORMATION = 0x40,
  MB_TYPEMASK = 0x0F,
  MB_ICONMASK = 0xF0,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Child-window identifiers inside a frame.
enum : UINT {
  AFX_IDW_TOOLBAR = 0xE800,
  AFX_IDW_STATUS_BAR = 0xE801,
  AFX_IDW_DOCKBAR_TOP = 0xE81B,
  AFX_IDW_DOCKBAR_LEFT = 0xE81C,
  AFX_IDW_DOCKBAR_RIGHT = 0xE81D,
  AFX_IDW_DOCKBAR_BOTTOM = 0xE81E,
  AFX_IDW_PANE_FIRST = 0xE900,
};

constexpr UINT ID_SEPARATOR = 0;
