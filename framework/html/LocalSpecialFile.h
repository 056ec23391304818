// Local files that a browser engine must never read: FIFOs, devices and sockets. Reading one could
// block the loader forever or stream without end (/dev/zero). Used by the UI process for
// navigations and by the page process's extension for everything a page loads besides.
#pragma once

#include <string>

class LocalSpecialFile {
 public:
  // The path a file: URI names (its query and fragment name no file) when that path exists and is
  // neither a regular file nor a folder; "" otherwise, and for other schemes.
  static std::string PathOf(const char* uri);
};
