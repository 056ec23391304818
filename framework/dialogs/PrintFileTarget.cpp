#include "dialogs/PrintFileTarget.h"

#include <glib.h>
#include <glibmm/convert.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <glibmm/uriutils.h>
#include <glibmm/ustring.h>

#include <memory>

#include "core/Trace.h"

namespace {

constexpr std::size_t kNameMax = 255;  // bytes in one file name on Linux file systems

std::string g_keptFolder;  // the folder last chosen for a printed file in this run

bool IsFolder(const std::string& path) { return !path.empty() && Glib::file_test(path, Glib::FILE_TEST_IS_DIR); }

bool EndsWithNoCase(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && g_ascii_strcasecmp(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

// text with '/' and control characters replaced (white space by a space, others by '_'), without
// leading dots, trimmed, and short enough to take the suffix within one file name.
std::string Clean(const std::string& text, std::size_t suffixBytes) {
  const std::unique_ptr<gchar, decltype(&g_free)> valid(g_utf8_make_valid(text.c_str(), text.size()), g_free);
  Glib::ustring clean;
  for (const gunichar c : Glib::ustring(valid.get())) {
    if (g_unichar_isspace(c))
      clean += ' ';
    else if (c == '/' || g_unichar_iscntrl(c))
      clean += '_';
    else
      clean += c;
  }
  std::string name = clean.raw();
  const std::size_t first = name.find_first_not_of(". ");
  name.erase(0, first == std::string::npos ? name.size() : first);
  const std::size_t room = kNameMax - suffixBytes;
  if (name.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;  // inside a character
    name.resize(cut);
  }
  name.erase(name.find_last_not_of(' ') + 1);
  return name;
}

// The last segment of the page's path, for people to read, without its extension.
std::string PageFileStem(const std::string& pageUri) {
  std::string name;
  try {
    name = Glib::filename_display_basename(Glib::filename_from_uri(pageUri));
  } catch (const Glib::Error&) {
    std::string path = pageUri.substr(0, pageUri.find_first_of("?#"));
    while (!path.empty() && path.back() == '/') path.pop_back();
    name = Glib::uri_unescape_string(path.substr(path.find_last_of("/:") + 1));
  }
  if (name.find('/') != std::string::npos) return "";  // the root folder has no name
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

}  // namespace

namespace PrintFileTarget {

std::string FileName(const std::string& title, const std::string& pageUri, const std::string& extension) {
  const std::string suffix = "." + extension;
  for (const std::string& candidate : {title, PageFileStem(pageUri), std::string("page")}) {
    std::string name = Clean(candidate, suffix.size());
    if (name.empty()) continue;
    if (!EndsWithNoCase(name, suffix)) name += suffix;
    return name;
  }
  return "page" + suffix;
}

std::string DefaultFolder(const std::string& documents, const std::string& home) {
  return IsFolder(documents) ? documents : home;
}

std::string Folder() {
  if (IsFolder(g_keptFolder)) return g_keptFolder;
  return DefaultFolder(Glib::get_user_special_dir(Glib::USER_DIRECTORY_DOCUMENTS), Glib::get_home_dir());
}

void Propose(const Glib::RefPtr<Gtk::PrintSettings>& settings, const std::string& title, const std::string& pageUri) {
  const std::string format = settings->get(GTK_PRINT_SETTINGS_OUTPUT_FILE_FORMAT);
  const std::string extension = format == "ps" || format == "svg" ? format : "pdf";
  const std::string name = FileName(title, pageUri, extension);
  const std::string folder = Folder();
  const std::string path = Glib::build_filename(folder, name);
  AfxTrace("Print to File proposes %s\n", path.c_str());
  settings->set(GTK_PRINT_SETTINGS_OUTPUT_URI, Glib::filename_to_uri(path));
  settings->set(GTK_PRINT_SETTINGS_OUTPUT_DIR, folder);
  settings->set(GTK_PRINT_SETTINGS_OUTPUT_BASENAME, name.substr(0, name.size() - extension.size() - 1));
}

void Keep(const Glib::RefPtr<const Gtk::PrintSettings>& settings) {
  if (!settings || settings->get_printer() != FilePrinterName()) return;
  try {
    g_keptFolder = Glib::path_get_dirname(Glib::filename_from_uri(settings->get(GTK_PRINT_SETTINGS_OUTPUT_URI)));
    AfxTrace("Print to File keeps the folder %s\n", g_keptFolder.c_str());
  } catch (const Glib::Error&) {
    // Not a local file: the proposal stays where it was.
  }
}

std::string FilePrinterName() { return g_dgettext("gtk30", "Print to File"); }

}  // namespace PrintFileTarget
