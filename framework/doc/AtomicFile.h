// Replacing a file safely: the new content goes to a temporary file in the same folder, which is
// then renamed over the target, so a crash or a full disk leaves the old file whole. The temporary
// has no name until it is complete (where the file system allows), so a process killed while
// writing leaves nothing behind; a named temporary left by a kill between naming and renaming is
// removed by the next write in that folder.
#pragma once

#include <sys/stat.h>

#include <string>

namespace AtomicFile {

struct Result {
  int error = 0;         // errno of the failing step, 0 on success
  bool created = false;  // the new file could be created (the failure came later)
};

// The start of the temporaries' names, e.g. ".program-"; the application sets it.
void SetTemporaryPrefix(const std::string& prefix);

// Writes contents to a temporary beside target, flushed to disk, with mode and, where allowed,
// the owner of *owner (nullptr: this process's), then renames it over target. An existing target
// (owner given) passes on its extended attributes, its access-control list among them. created is
// false when the temporary could not be made.
Result ReplaceContents(const std::string& target, const std::string& contents, mode_t mode, const struct stat* owner);

// Makes pathName an empty regular file. A symbolic link is written through to its target; a
// dangling link or a loop is reported, never replaced. The old file's permissions and, where
// allowed, its owner are kept. Folders, devices, FIFOs, sockets and read-only files are refused.
// When the folder takes no new entries (no permission, no free inode), a writable file is emptied
// in place.
Result ReplaceWithEmpty(const std::string& pathName);

// True when the file of st (at pathName) is not to be written: this user may not write it, or it
// has no write permission for anybody (which holds for root too).
bool IsReadOnly(const std::string& pathName, const struct stat& st);

}  // namespace AtomicFile
