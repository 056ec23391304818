// Operating-system errors become the causes whose messages the user sees.
#include <gtest/gtest.h>

#include <cerrno>

#include "core/AfxRes.h"
#include "doc/CFileException.h"
#include "resources/Resources.h"

namespace {

TEST(FileError, ErrnoToCause) {
  using C = CFileException;
  const std::pair<int, C::Cause> cases[] = {
      {0, C::none},
      {ENOENT, C::fileNotFound},
      {ENOTDIR, C::badPath},
      {ENAMETOOLONG, C::badPath},
      {ELOOP, C::badPath},
      {EMFILE, C::tooManyOpenFiles},
      {ENFILE, C::tooManyOpenFiles},
      {EACCES, C::accessDenied},
      {EPERM, C::accessDenied},
      {EROFS, C::accessDenied},
      {EISDIR, C::accessDenied},
      {EEXIST, C::accessDenied},
      {EINVAL, C::badPath},
      {EILSEQ, C::badPath},
      {EBADF, C::invalidFile},
      {EBUSY, C::sharingViolation},
      {ETXTBSY, C::sharingViolation},
      {EAGAIN, C::lockViolation},
      {ENOLCK, C::lockViolation},
      {ENOSPC, C::diskFull},
      {EDQUOT, C::diskFull},
      {EFBIG, C::diskFull},
      {EMLINK, C::directoryFull},
      {EIO, C::hardIO},
      {ESPIPE, C::badSeek},
      {ENXIO, C::genericException},
      {EPROTO, C::genericException},
  };
  for (const auto& [err, cause] : cases) EXPECT_EQ(CFileException::OsErrorToCause(err), cause) << err;
}

TEST(FileError, MessageNamesTheFileOrAnUnnamedFile) {
  AfxSetResourceModule(&ProgramResources());
  const std::pair<CFileException, std::string> cases[] = {
      {CFileException::FromErrno(ENOENT, "/tmp/a b#%.txt"), "/tmp/a b#%.txt was not found."},
      {CFileException::FromErrno(EACCES, "/x"), "Access to /x was denied."},
      {CFileException::FromErrno(EBUSY, "/x"), "A sharing violation occurred while accessing /x."},
      {CFileException::FromErrno(ENOSPC, ""), "Disk full while accessing an unnamed file."},
      {CFileException::FromErrno(EPROTO, "/x"), "An unknown error occurred while accessing /x."},
      {CFileException::FromErrno(ENOENT, "/tmp/\xff.txt"), "/tmp/\xef\xbf\xbd.txt was not found."},
  };
  for (const auto& [e, text] : cases) EXPECT_EQ(e.GetErrorMessage(), text);
}

}  // namespace
