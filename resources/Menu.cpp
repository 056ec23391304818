// The menu bar of the main resource set.
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

constexpr MenuResource kSeparator = {nullptr, 0};

constexpr MenuResource kFile[] = {
    {"&New\tCtrl+N", ID_FILE_NEW},
    {"&Open...\tCtrl+O", ID_FILE_OPEN},
    {"&Save\tCtrl+S", ID_FILE_SAVE},
    {"Save &As...", ID_FILE_SAVE_AS},
    kSeparator,
    {"&Print...\tCtrl+P", ID_FILE_PRINT},
    {"P&rint Setup...", ID_FILE_PRINT_SETUP},
    kSeparator,
    {"E&xit", ID_APP_EXIT},
};
constexpr MenuResource kEdit[] = {
    {"&Undo\tCtrl+Z", ID_EDIT_UNDO},   kSeparator, {"Cu&t\tCtrl+X", ID_EDIT_CUT}, {"&Copy\tCtrl+C", ID_EDIT_COPY},
    {"&Paste\tCtrl+V", ID_EDIT_PASTE},
};
constexpr MenuResource kView[] = {{"&Toolbar", ID_VIEW_TOOLBAR}, {"&Status Bar", ID_VIEW_STATUS_BAR}};
constexpr MenuResource kHelp[] = {{"&About FOLIOSCP...", ID_APP_ABOUT}};

constexpr MenuResource kMainMenu[] = {
    {"&File", 0, kFile}, {"&Edit", 0, kEdit}, {"&View", 0, kView}, {"&Help", 0, kHelp}};

constexpr MenuBarResource kMenus[] = {{IDR_MAINRES, kMainMenu}};

}  // namespace

std::span<const MenuBarResource> ProgramMenus() { return kMenus; }
