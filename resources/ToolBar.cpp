// The toolbar of the main resource set, the application and document icons, all drawn in
// resources/images and embedded with GResource.
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

constexpr UINT kMainToolBarItems[] = {
    ID_FILE_NEW,   ID_FILE_OPEN,  ID_FILE_SAVE, ID_SEPARATOR, ID_EDIT_CUT,     ID_EDIT_COPY,       ID_EDIT_PASTE,
    ID_SEPARATOR,  ID_FILE_PRINT, ID_SEPARATOR, ID_APP_ABOUT, ID_BACK_BROWSER, ID_FORWARD_BROWSER,
};

constexpr ToolBarResource kToolBars[] = {
    {IDR_MAINRES, 1, 16, 15, kMainToolBarItems, "/org/folioscope/images/toolbar.png"}};

constexpr const char* kAppIcon[] = {"/org/folioscope/images/app-icon-32.png"};
constexpr const char* kDocIcon[] = {"/org/folioscope/images/doc-icon-32.png", "/org/folioscope/images/doc-icon-16.png"};

constexpr IconResource kIcons[] = {{IDR_MAINRES, kAppIcon}, {IDI_DOCUMENT, kDocIcon}};

}  // namespace

std::span<const ToolBarResource> ProgramToolBars() { return kToolBars; }
std::span<const IconResource> ProgramIcons() { return kIcons; }
