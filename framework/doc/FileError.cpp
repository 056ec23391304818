#include "doc/FileError.h"

#include <glibmm/convert.h>

#include <cerrno>

#include "core/AfxRes.h"
#include "core/ResourceModule.h"

FileError::Cause FileError::OsErrorToCause(int err) {
  switch (err) {
    case 0:
      return none;
    case ENOENT:
      return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
    case EILSEQ:
      return badPath;
    case EMFILE:
    case ENFILE:
      return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
      return accessDenied;
    case EBADF:
      return invalidFile;
    case EBUSY:
    case ETXTBSY:  // a running program's file, which may not be written
      return sharingViolation;
    case EAGAIN:
    case EDEADLK:
    case ENOLCK:
      return lockViolation;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return diskFull;
    case EIO:
      return hardIO;
    case ESPIPE:
      return badSeek;
    case EMLINK:
      return directoryFull;
    default:
      return genericException;
  }
}

std::string FileError::GetErrorMessage() const {
  const std::string name =
      m_strFileName.empty() ? AfxLoadString(AFX_IDS_UNNAMED_FILE) : Glib::filename_display_name(m_strFileName).raw();
  std::string message = AfxFormatString1(AfxLoadString(AFX_IDP_FILE_NONE + UINT(m_cause)), name);
  // "an unnamed file" may open the sentence; a file's own name is shown as it is.
  if (m_strFileName.empty() && message.rfind(name, 0) == 0 && g_ascii_islower(message[0]))
    message[0] = g_ascii_toupper(message[0]);
  return message;
}
