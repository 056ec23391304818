// The toolbar of the main resource set, the application and document icons, all drawn in
// resources/images and embedded with GResource.
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

constexpr UINT kMainToolBarItems[] = {
    ID_FILE_NEW,  ID_FILE_OPEN,  ID_FILE_SAVE, ID_SEPARATOR, ID_EDIT_CUT,     ID_EDIT_COPY,       ID_EDIT_PASTE,
    ID_SEPARATOR, ID_FILE_PRINT, ID_SEPARATOR, ID_APP_ABOUT, ID_BACK_BROWSER, ID_FORWARD_BROWSER,
};

constexpr ToolBarResource kToolBars[] = {{IDR_MAINRES, 1, 16, 15, kMainToolBarItems,
                                          "/org/folioscope/images/toolbar.png",
                                          "/org/folioscope/images/toolbar@2x.png"}};

// Every size drawn: the window manager and the desktop pick the one that fits their scale.
constexpr const char* kAppIcon[] = {"/org/folioscope/images/app-icon-32.png", "/org/folioscope/images/app-icon-16.png",
                                    "/org/folioscope/images/app-icon-24.png", "/org/folioscope/images/app-icon-48.png",
                                    "/org/folioscope/images/app-icon-64.png", "/org/folioscope/images/app-icon-128.png",
                                    "/org/folioscope/images/app-icon-256.png"};
constexpr const char* kDocIcon[] = {"/org/folioscope/images/doc-icon-32.png", "/org/folioscope/images/doc-icon-16.png",
                                    "/org/folioscope/images/doc-icon-64.png"};

constexpr IconResource kIcons[] = {{IDR_MAINRES, kAppIcon}, {IDI_DOCUMENT, kDocIcon}};

}  // namespace

std::span<const ToolBarResource> ProgramToolBars() { return kToolBars; }
std::span<const IconResource> ProgramIcons() { return kIcons; }
