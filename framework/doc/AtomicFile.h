// Replacing a file safely: the new content goes to a temporary file in the same folder, which is
// then renamed over the target, so a crash or a full disk leaves the old file whole.
#pragma once

#include <string>

namespace AtomicFile {

struct Result {
  int error = 0;         // errno of the failing step, 0 on success
  bool created = false;  // the temporary file could be created (the failure came later)
};

// Makes pathName an empty regular file. A symbolic link is written through to its target; the
// old file's permissions are kept. Folders, devices, FIFOs and sockets are refused, never replaced.
Result ReplaceWithEmpty(const std::string& pathName);

// pathName made absolute against the current directory, with "." and ".." resolved.
std::string FullPath(const std::string& pathName);

}  // namespace AtomicFile
