// The script errors of the file statements, and the one mapping from an OS error to them.
#pragma once
#include <cstdint>

namespace qz {

enum : int32_t {
  kErrBadFileNumber = 52, kErrBadFileMode = 54, kErrFileOpen = 55, kErrDeviceIo = 57,
  kErrFileExists = 58, kErrPastEnd = 62, kErrBadRecordNumber = 63, kErrTooManyFiles = 67,
  kErrPermission = 70, kErrPathAccess = 75, kErrPathNotFound = 76,
};

// Raises the script error that stands for `err` (an errno value).
[[noreturn]] void raise_os_error(int err);

}  // namespace qz
