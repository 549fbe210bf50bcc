#include "data/file_error.h"

#include <cerrno>

namespace keldar {

FileError FileErrorFromErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return {FileProblem::Missing, error};
    case EACCES:
    case EPERM:
      return {FileProblem::Permission, error};
    case EROFS:
      return {FileProblem::ReadOnly, error};
    case EISDIR:
      return {FileProblem::Folder, error};
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
      return {FileProblem::DiskFull, error};
    default:
      return {FileProblem::Other, error};
  }
}

}  // namespace keldar
