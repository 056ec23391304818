// A failed file operation: its cause (one of the framework's fifteen), the operating system's error
// number and the file's name. The cause picks the message the user sees.
#pragma once

#include <string>

#include "core/Afx.h"

class CFileException {
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

  CFileException(Cause cause, int osError, std::string fileName)
      : m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}
  static CFileException FromErrno(int err, std::string fileName) {
    return CFileException(OsErrorToCause(err), err, std::move(fileName));
  }

  // The cause for an errno value.
  static Cause OsErrorToCause(int err);
  // The message for this failure: the cause's text with "%1" replaced by the file name (shown in
  // the user's encoding), or by "an unnamed file" when there is no name.
  std::string GetErrorMessage() const;

  Cause m_cause;
  int m_lOsError;
  std::string m_strFileName;
};
