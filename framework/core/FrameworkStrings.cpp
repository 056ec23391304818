#include "core/FrameworkStrings.h"

#include "core/AfxRes.h"

namespace {

// The texts the framework itself shows, used where the program's string table has none.
constexpr StringResource kStrings[] = {
    {AFX_IDS_IDLEMESSAGE, "Ready"},

    // Prompts of the window menu's commands: AFX_IDS_SCFIRST + (command - 0xF000) / 16.
    {AFX_IDS_SCFIRST + 0, "Change the window size"},
    {AFX_IDS_SCFIRST + 1, "Change the window position"},
    {AFX_IDS_SCFIRST + 2, "Reduce the window to an icon"},
    {AFX_IDS_SCFIRST + 3, "Enlarge the window to full size"},
    {AFX_IDS_SCFIRST + 4, "Switch to the next document window"},
    {AFX_IDS_SCFIRST + 5, "Switch to the previous document window"},
    {AFX_IDS_SCFIRST + 6, "Close the active window and prompts to save the documents"},
    {AFX_IDS_SCFIRST + 18, "Restore the window to normal size"},
    {AFX_IDS_SCFIRST + 19, "Activate Task List"},

    {AFX_IDS_OPENFILE, "Open"},
    {AFX_IDS_SAVEFILE, "Save As"},
    {AFX_IDS_ALLFILTER, "All Files (*.*)"},
    {AFX_IDS_UNTITLED, "Untitled"},
    {AFX_IDS_UNNAMED_FILE, "an unnamed file"},
    {AFX_IDS_HIDE, "&Hide"},
    {AFX_IDS_FOLDER_GONE, "The folder %1 no longer exists."},
    {AFX_IDS_FOLDER_UNREACHABLE,
     "The current folder cannot be reached by its path (it lies too deep or in a "
     "folder you may not read)."},
    {AFX_IDS_DIALOG_STARTS_IN, "The dialog starts in %1."},
    {AFX_IDP_INVALID_FILENAME, "Invalid filename."},
    {AFX_IDP_FAILED_TO_OPEN_DOC, "Failed to open document."},
    {AFX_IDP_FAILED_TO_SAVE_DOC, "Failed to save document."},
    {AFX_IDP_FAILED_TO_CREATE_DOC, "Failed to create empty document."},
    {AFX_IDP_UNREG_DONE, "System registry entries have been removed and the INI file (if any) was deleted."},
    {AFX_IDP_UNREG_FAILURE, "Not all of the system registry entries (or INI file) were removed."},

    // File-error causes, AFX_IDP_FILE_NONE + cause.
    {AFX_IDP_FILE_NONE + 0, "No error occurred."},
    {AFX_IDP_FILE_NONE + 1, "An unknown error occurred while accessing %1."},
    {AFX_IDP_FILE_NONE + 2, "%1 was not found."},
    {AFX_IDP_FILE_NONE + 3, "%1 contains an invalid path."},
    {AFX_IDP_FILE_NONE + 4, "%1 could not be opened because there are too many open files."},
    {AFX_IDP_FILE_NONE + 5, "Access to %1 was denied."},
    {AFX_IDP_FILE_NONE + 6, "An invalid file handle was associated with %1."},
    {AFX_IDP_FILE_NONE + 7, "%1 could not be removed because it is the current directory."},
    {AFX_IDP_FILE_NONE + 8, "%1 could not be created because the directory is full."},
    {AFX_IDP_FILE_NONE + 9, "Seek failed on %1"},
    {AFX_IDP_FILE_NONE + 10, "A hardware I/O error was reported while accessing %1."},
    {AFX_IDP_FILE_NONE + 11, "A sharing violation occurred while accessing %1."},
    {AFX_IDP_FILE_NONE + 12, "A locking violation occurred while accessing %1."},
    {AFX_IDP_FILE_NONE + 13, "Disk full while accessing %1."},
    {AFX_IDP_FILE_NONE + 14, "An attempt was made to access %1 past its end."},
};

}  // namespace

std::span<const StringResource> FrameworkStrings() { return kStrings; }
