// The About box's template and the version record it shows.
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

constexpr DialogItemResource kAboutItems[] = {
    {DialogItemResource::iconItem, -1, 11, 17, 20, 20, false, nullptr, IDR_MAINRES},
    {DialogItemResource::textItem, -1, 40, 10, 119, 8, false, "FOLIOSCOPE PRO 3.4", 0},
    {DialogItemResource::textItem, -1, 40, 25, 119, 8, false, "Copyright \u00a9 2026 The FOLIOSCOPE developers", 0},
    {DialogItemResource::buttonItem, IDOK, 178, 7, 50, 14, true, "OK", 0},
};

constexpr DialogResource kDialogs[] = {{IDD_ABOUT, "About FOLIOSCP", 8, "Sans", 0, 0, 235, 55, kAboutItems}};

constexpr std::pair<const char*, const char*> kVersionStrings[] = {
    {"Comments", ""},
    {"CompanyName", "The FOLIOSCOPE developers"},
    {"FileDescription", "FOLIOSCP"},
    {"FileVersion", "1, 0, 0, 1"},
    {"InternalName", "FOLIOSCP"},
    {"LegalCopyright", "Copyright \u00a9 2026 The FOLIOSCOPE developers"},
    {"LegalTrademarks", ""},
    {"OriginalFilename", "FOLIOSCP.exe"},
    {"PrivateBuild", ""},
    {"ProductName", "FOLIOSCOPE PRO 3.4"},
    {"ProductVersion", "1, 0, 0, 1"},
    {"SpecialBuild", ""},
};

constexpr VersionResource kVersion = {{1, 0, 0, 1}, {1, 0, 0, 1}, 0x0000, 0x04B0, kVersionStrings};

}  // namespace

std::span<const DialogResource> ProgramDialogs() { return kDialogs; }
const VersionResource& ProgramVersion() { return kVersion; }
