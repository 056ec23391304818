// Everything the browser control says in words: its status texts, the labels of its find bar and the
// page it shows for a local file that cannot be opened. Addresses and paths are made readable and
// safe here: percent escapes decoded when the result is valid text, control characters kept out,
// long addresses shortened, names escaped for HTML.
#pragma once

#include <string>

class BrowserTexts {
 public:
  // An address as the user reads it; "" for none.
  static std::string Address(const char* uri);
  // A file name or path in the file system's encoding, as the user reads it.
  static std::string Path(const std::string& path);

  static std::string Opening();
  static std::string Loading(const std::string& address);
  static std::string Done();
  static std::string CannotOpen(const std::string& what, const std::string& reason);
  static std::string HandedOn(const std::string& address);
  static std::string NotRegularFile();
  static std::string NoSuchFile();
  static std::string NoPermission();
  static std::string NotUtf8();
  static std::string DataAddressBlocked();
  static std::string NoGuide();
  static std::string EngineStopped(bool outOfMemory);
  static std::string NotAnswering();
  static std::string EndedNotAnswering();
  static std::string NotHandedOn(const std::string& address);
  static std::string PrintIgnored();
  // Downloads: one the page started by itself, one the reader called off in the dialog, one that
  // failed, one saved.
  static std::string NotSaved(const std::string& address);
  static std::string NotSavedCancelled(const std::string& name);
  static std::string CannotSave(const std::string& what, const std::string& reason);
  static std::string Saved(const std::string& path);
  static std::string Zoom(double level);
  static std::string PrintFailed(const std::string& reason);
  static std::string Matches(unsigned count);

  // The page shown instead of a local file that cannot be opened: it names the file's full path and
  // the reason, and offers a way back.
  static std::string ErrorPage(const std::string& path, const std::string& reason);
  // What is shown in place of a page whose process was ended for using too much memory (Pango markup).
  static std::string TooLargePage(const std::string& address, unsigned limitMb);
};
