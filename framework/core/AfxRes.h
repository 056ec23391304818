// The framework's standard command, string and resource identifiers.
#pragma once

#include "core/Afx.h"

// File commands.
enum : UINT {
  ID_FILE_NEW = 0xE100,
  ID_FILE_OPEN = 0xE101,
  ID_FILE_CLOSE = 0xE102,
  ID_FILE_SAVE = 0xE103,
  ID_FILE_SAVE_AS = 0xE104,
  ID_FILE_PAGE_SETUP = 0xE105,
  ID_FILE_PRINT_SETUP = 0xE106,
  ID_FILE_PRINT = 0xE107,
  ID_FILE_PRINT_DIRECT = 0xE108,
  ID_FILE_MRU_FILE1 = 0xE110,
  ID_FILE_MRU_FILE16 = 0xE11F,
};

// Edit, window, application and view commands.
enum : UINT {
  ID_EDIT_CLEAR = 0xE120,
  ID_EDIT_CLEAR_ALL = 0xE121,
  ID_EDIT_COPY = 0xE122,
  ID_EDIT_CUT = 0xE123,
  ID_EDIT_FIND = 0xE124,
  ID_EDIT_PASTE = 0xE125,
  ID_EDIT_REPEAT = 0xE128,
  ID_EDIT_REPLACE = 0xE129,
  ID_EDIT_SELECT_ALL = 0xE12A,
  ID_EDIT_UNDO = 0xE12B,
  ID_EDIT_REDO = 0xE12C,
  ID_WINDOW_SPLIT = 0xE135,
  ID_APP_ABOUT = 0xE140,
  ID_APP_EXIT = 0xE141,
  ID_NEXT_PANE = 0xE150,
  ID_PREV_PANE = 0xE151,
  ID_VIEW_TOOLBAR = 0xE800,
  ID_VIEW_STATUS_BAR = 0xE801,
  ID_INDICATOR_EXT = 0xE700,
  ID_INDICATOR_CAPS = 0xE701,
  ID_INDICATOR_NUM = 0xE702,
  ID_INDICATOR_SCRL = 0xE703,
  ID_INDICATOR_OVR = 0xE704,
  ID_INDICATOR_REC = 0xE705,
};

// Strings the framework itself shows.
enum : UINT {
  AFX_IDS_APP_TITLE = 0xE000,
  AFX_IDS_IDLEMESSAGE = 0xE001,
  AFX_IDS_USAGE = 0xE010,    // --help: how to run the program
  AFX_IDS_VERSION = 0xE011,  // --version: the program's name and version
  AFX_IDS_SCFIRST = 0xEF00,
  AFX_IDS_OPENFILE = 0xF000,
  AFX_IDS_SAVEFILE = 0xF001,
  AFX_IDS_ALLFILTER = 0xF002,
  AFX_IDS_UNTITLED = 0xF003,
  AFX_IDS_UNNAMED_FILE = 0xF006,
  AFX_IDS_HIDE = 0xF011,
  AFX_IDS_FOLDER_GONE = 0xF020,         // a file dialog's folder was deleted
  AFX_IDS_FOLDER_UNREACHABLE = 0xF021,  // the current folder has no name the system can give
  AFX_IDS_DIALOG_STARTS_IN = 0xF022,    // where a file dialog starts instead
  AFX_IDP_INVALID_FILENAME = 0xF100,
  AFX_IDP_FAILED_TO_OPEN_DOC = 0xF101,
  AFX_IDP_FAILED_TO_SAVE_DOC = 0xF102,
  AFX_IDP_FAILED_TO_CREATE_DOC = 0xF104,
  AFX_IDP_UNREG_DONE = 0xF10B,
  AFX_IDP_UNREG_FAILURE = 0xF10C,
  AFX_IDP_FILE_NONE = 0xF1A0,  // first of the fifteen file-error causes
};
