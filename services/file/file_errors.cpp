#include "services/file/file_errors.h"

#include <cerrno>

#include "com/error.h"

namespace qz {

void raise_os_error(int err) {
  switch (err) {
    case ENOENT: raise(kErrFileNotFound);
    case ENOTDIR: raise(kErrPathNotFound);
    case EACCES: case EPERM: case EROFS: case ETXTBSY: raise(kErrPermission);
    case EMFILE: case ENFILE: raise(kErrTooManyFiles);
    case EEXIST: raise(kErrFileExists);
    case EISDIR: case ENOTEMPTY: case EBUSY: case EINVAL: raise(kErrPathAccess);
    default: raise(kErrDeviceIo);
  }
}

}  // namespace qz
