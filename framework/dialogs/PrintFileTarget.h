// Where the print dialog's file printer proposes to write: a file named after the page, in the
// folder the user last chose for a printed file in this run (in Print or Print Setup), else in the
// Documents folder, else in the home folder; never in the folder being read, which is often
// read-only. The proposal travels in the print settings handed to the dialog; the choice is read
// back from the settings the dialog returns.
#pragma once

#include <gtkmm/printsettings.h>

#include <string>

namespace PrintFileTarget {

// A file name made from the page's title: '/' and control characters replaced, trimmed, no
// leading '.', at most 255 bytes cut at a character boundary, ending in "." + extension. An empty
// title gives way to the page's file name without its extension (from pageUri), then to "page".
std::string FileName(const std::string& title, const std::string& pageUri, const std::string& extension);

// documents when it is a folder, else home.
std::string DefaultFolder(const std::string& documents, const std::string& home);

// The folder proposed now: the one last kept while it exists, else the default one.
std::string Folder();

// Writes the proposal for the page into settings: its output URI, and the folder and base name
// the file printer falls back on. The extension follows the settings' output format (pdf unless
// it names ps or svg).
void Propose(const Glib::RefPtr<Gtk::PrintSettings>& settings, const std::string& title, const std::string& pageUri);

// Keeps the folder of the file that settings print to, when their printer is the file printer.
void Keep(const Glib::RefPtr<const Gtk::PrintSettings>& settings);

// The file printer's name as GTK shows it, in the desktop's language.
std::string FilePrinterName();

}  // namespace PrintFileTarget
