// The string table: every text the program and its framework show, keyed by number. A command's
// string holds its status prompt, a newline and its tooltip.
#include "resources/Resources.h"

#include "resources/Resource.h"

namespace {

constexpr StringResource kStrings[] = {
    // The document string: window title, document name, type name, filter name, filter extension,
    // file-type id, file-type name.
    {IDR_MAINRES, "FOLIOSCOPE 3.4\nFOLIOSCOPE\nFOLIOS\n\n\nFOLIOSCP.Document\nFOLIOS Document"},
    {AFX_IDS_APP_TITLE, "FOLIOSCP"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {AFX_IDS_USAGE,
     "Usage: folioscope [FOLDER | FILE] [OPTION]...\n"
     "Shows the start page of the current folder, or of the FOLDER named (which\n"
     "then becomes the current folder). A FILE named becomes the document; the\n"
     "current folder's start page is shown.\n"
     "\n"
     "Every option works with / or - in front (/p and -p).\n"
     "  -p FILE                       open FILE in no window and end (prints nothing)\n"
     "  -pt FILE PRINTER DRIVER PORT  the same\n"
     "  -Unregister, -Unregserver     remove the stored setting; a message tells the\n"
     "                                result\n"
     "  -Embedding                    with -Unregister: no message\n"
     "  -Automation                   accepted and ignored\n"
     "  -dde                          end at once\n"
     "  --help, -h, /?                print this help and end\n"
     "  --version                     print the version and end\n"
     "Other options are ignored.\n"
     "\n"
     "An argument that begins with / is an option only when it holds no second /:\n"
     "name a folder or file in the root folder as /usr/ or //usr.\n"
     "\n"
     "Keys in the page: F1 guide, Ctrl+F find, Ctrl+plus/minus/0 zoom,\n"
     "Alt+Left/Right back and forward, F5 reload. See folioscope(1).\n"},
    {AFX_IDS_VERSION, "FOLIOSCOPE 3.4\n"},

    {ID_FILE_NEW, "Create a new document\nNew"},
    {ID_FILE_OPEN, "Open an existing document\nOpen"},
    {ID_FILE_CLOSE, "Close the active document\nClose"},
    {ID_FILE_SAVE, "Save the active document\nSave"},
    {ID_FILE_SAVE_AS, "Save the active document with a new name\nSave As"},
    {ID_FILE_PAGE_SETUP, "Change the printing options\nPage Setup"},
    {ID_FILE_PRINT_SETUP, "Change the printer and printing options\nPrint Setup"},
    {ID_FILE_PRINT, "Print the active document\nPrint"},
    {ID_FILE_MRU_FILE1 + 0, "Open this document"},
    {ID_FILE_MRU_FILE1 + 1, "Open this document"},
    {ID_FILE_MRU_FILE1 + 2, "Open this document"},
    {ID_FILE_MRU_FILE1 + 3, "Open this document"},
    {ID_FILE_MRU_FILE1 + 4, "Open this document"},
    {ID_FILE_MRU_FILE1 + 5, "Open this document"},
    {ID_FILE_MRU_FILE1 + 6, "Open this document"},
    {ID_FILE_MRU_FILE1 + 7, "Open this document"},
    {ID_FILE_MRU_FILE1 + 8, "Open this document"},
    {ID_FILE_MRU_FILE1 + 9, "Open this document"},
    {ID_FILE_MRU_FILE1 + 10, "Open this document"},
    {ID_FILE_MRU_FILE1 + 11, "Open this document"},
    {ID_FILE_MRU_FILE1 + 12, "Open this document"},
    {ID_FILE_MRU_FILE1 + 13, "Open this document"},
    {ID_FILE_MRU_FILE1 + 14, "Open this document"},
    {ID_FILE_MRU_FILE16, "Open this document"},
    {ID_EDIT_CLEAR, "Erase the selection\nErase"},
    {ID_EDIT_CLEAR_ALL, "Erase everything\nErase All"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_FIND, "Find the specified text\nFind"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_EDIT_REPEAT, "Repeat the last action\nRepeat"},
    {ID_EDIT_REPLACE, "Replace specific text with different text\nReplace"},
    {ID_EDIT_SELECT_ALL, "Select the entire document\nSelect All"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {ID_EDIT_REDO, "Redo the previously undone action\nRedo"},
    {ID_WINDOW_SPLIT, "Split the active window into panes\nSplit"},
    {ID_APP_ABOUT, "Display program information, version number and copyright\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_BACK_BROWSER, "Back Browser\nBack Browser"},
    {ID_FORWARD_BROWSER, "Forward Browser\nForward Browser"},

    {ID_INDICATOR_EXT, "EXT"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_INDICATOR_OVR, "OVR"},
    {ID_INDICATOR_REC, "REC"},

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

std::span<const StringResource> ProgramStrings() { return kStrings; }
