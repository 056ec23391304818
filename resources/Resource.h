// Identifiers shared by every unit of the program: the framework's standard ones and its own.
#pragma once

#include "core/AfxRes.h"

// Resource sets, dialogs and icons.
enum : UINT {
  IDR_MAINRES = 128,
  IDI_DOCUMENT = 129,
  IDD_ABOUT = 100,
};

// The program's own commands.
enum : UINT {
  ID_BACK_BROWSER = 32771,
  ID_FORWARD_BROWSER = 32772,
};
