// The program's resources as the framework sees them: declarative tables that the program hands
// to the framework's entry, and the lookups every other unit uses.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "core/Afx.h"

struct StringResource {
  UINT id;
  const char* text;
};

// A menu item: its label ("&" marks the mnemonic, "\t" separates the shown key), its command, and
// for a pop-up item its items. A separator has neither label nor command.
struct MenuResource {
  const char* text;
  UINT nID;
  std::span<const MenuResource> popup = {};
};

struct MenuBarResource {
  UINT nID;
  std::span<const MenuResource> items;
};

// Accelerator flags, as the old resource compiler wrote them.
enum : UINT { FVIRTKEY = 0x01, FSHIFT = 0x04, FCONTROL = 0x08, FALT = 0x10 };

// Virtual-key codes used by accelerator tables; letters and digits are their upper-case ASCII.
enum : UINT { VK_BACK = 0x08, VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F6 = 0x75 };

struct AcceleratorResource {
  UINT fVirt;
  UINT key;
  UINT cmd;
};

struct AcceleratorTableResource {
  UINT nID;
  std::span<const AcceleratorResource> entries;
};

// A toolbar: image size, and the commands of its items in order (ID_SEPARATOR for a separator);
// buttons take the images of the bitmap in order.
struct ToolBarResource {
  UINT nID;
  UINT version;
  UINT width;
  UINT height;
  std::span<const UINT> items;
  const char* bitmap;              // path of the bitmap in the program's GResource bundle
  const char* bitmap2x = nullptr;  // the same images at twice the density, if drawn
};

struct IconResource {
  UINT nID;
  std::span<const char* const> images;  // GResource paths, one per size
};

// A dialog template, positions and sizes in dialog units.
struct DialogItemResource {
  enum Kind { iconItem, textItem, buttonItem };
  Kind kind;
  int nID;
  int x, y, cx, cy;
  bool isDefault;
  const char* text;  // for an icon: unused
  UINT iconID;
};

struct DialogResource {
  UINT nID;
  const char* caption;
  int pointSize;
  const char* font;
  int x, y, cx, cy;
  std::span<const DialogItemResource> items;
};

struct VersionResource {
  UINT fileVersion[4];
  UINT productVersion[4];
  UINT language;
  UINT codePage;
  std::span<const std::pair<const char*, const char*>> strings;  // name, value
};

struct CResourceModule {
  std::span<const StringResource> strings;
  std::span<const MenuBarResource> menus = {};
  std::span<const AcceleratorTableResource> accelerators = {};
  std::span<const ToolBarResource> toolbars = {};
  std::span<const IconResource> icons = {};
  std::span<const DialogResource> dialogs = {};
  const VersionResource* version = nullptr;
};

void AfxSetResourceModule(const CResourceModule* pModule);

// The resources with this number, or nullptr when the module has none.
const MenuBarResource* AfxFindMenu(UINT nID);
const AcceleratorTableResource* AfxFindAccelerators(UINT nID);
const ToolBarResource* AfxFindToolBar(UINT nID);
const IconResource* AfxFindIcon(UINT nID);
const DialogResource* AfxFindDialog(UINT nID);

// The string with this number, from the program's table or else the framework's own; nullptr when
// neither has one.
const char* AfxFindString(UINT nID);
// The string with this number, or "" when the table has none.
std::string AfxLoadString(UINT nID);
// Field nIndex of a separated string; false when the string has fewer fields.
bool AfxExtractSubString(std::string& rString, std::string_view full, int nIndex, char sep = '\n');
// Replaces every "%1" of the format with the argument.
std::string AfxFormatString1(std::string_view format, std::string_view arg);
