// The string table: every text the program shows, keyed by number; the framework's own texts
// (framework/core/FrameworkStrings.cpp) are used where it has none of its own. A command's
// string holds its status prompt, a newline and its tooltip.
#include "resources/Resource.h"
#include "resources/Resources.h"

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
     "  --search QUERY [FOLDER]       print the sections of the pages of FOLDER (or of\n"
     "                                the current folder) that match QUERY, best first\n"
     "  -dde                          end at once\n"
     "  --help, -h, /?                print this help and end\n"
     "  --version                     print the version and end\n"
     "Other options are ignored.\n"
     "\n"
     "An argument that begins with / is an option only when it holds no second /:\n"
     "name a folder or file in the root folder as /usr/ or //usr.\n"
     "\n"
     "Keys in the page: F1 guide, Ctrl+F find, Ctrl+Shift+F search all pages,\n"
     "Ctrl+plus/minus/0 zoom, "
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
};

}  // namespace

std::span<const StringResource> ProgramStrings() { return kStrings; }
