// A failed file operation, as a value: its cause (one of the framework's fifteen) and the file's
// name. The cause picks the message the user sees.
#pragma once

#include <string>

#include "core/Afx.h"

class FileError {
 public:
  enum Cause {
    none = 0,
    genericException = 1,
    fileNotFound = 2,
    badPath = 3,
    tooManyOpenFiles = 4,
    accessDenied = 5,
    invalidFile = 6,
    removeCurrentDir = 7,
    directoryFull = 8,
    badSeek = 9,
    hardIO = 10,
    sharingViolation = 11,
    lockViolation = 12,
    diskFull = 13,
    endOfFile = 14,
  };

  FileError(Cause cause, std::string fileName) : m_cause(cause), m_strFileName(std::move(fileName)) {}
  static FileError FromErrno(int err, std::string fileName) {
    return FileError(OsErrorToCause(err), std::move(fileName));
  }

  // The cause for an errno value.
  static Cause OsErrorToCause(int err);
  // The message for this failure: the cause's text with "%1" replaced by the file name (shown in
  // the user's encoding), or by "an unnamed file" when there is no name.
  std::string GetErrorMessage() const;

  Cause m_cause;
  std::string m_strFileName;
};
