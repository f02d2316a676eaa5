// Facts about the disk behind a path. A script names a disk by its drive root ("C:\"), which
// maps through the drive table of platform/path.h; any other existing folder names the disk
// it lies on. Linux keeps no drive letters, volume serials or labels of its own; the nearest
// facts are used: the file system that holds the folder, the label and UUID that udev lists
// for its device, and the block device's removable flag.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

// The original platform's drive type numbers.
enum DriveType : int32_t {
  kDriveUnknown = 0, kDriveMissing = 1, kDriveRemovable = 2, kDriveFixed = 3, kDriveRemote = 4,
  kDriveCdRom = 5, kDriveRamDisk = 6,
};

// The OS folder a script's disk name stands for ("C:", "C:\", "d:/" or a folder path).
std::string disk_folder(std::u16string_view drive);

struct DiskSpace {
  bool ok = false;
  double free = 0;    // free bytes on the disk, also those reserved for the superuser
  double total = 0;
};
DiskSpace disk_space(std::u16string_view drive);

int32_t drive_type(std::u16string_view drive);
std::u16string_view drive_type_word(int32_t type);   // "Unknown" for numbers outside 0..6

struct VolumeInfo {
  bool ok = false;
  std::u16string file_system;   // "ext4", "tmpfs", "vfat" ...
  std::u16string label;         // "" when the device has none
  uint32_t serial = 0;          // 0 when the device has no 32-bit serial (only FAT and NTFS do)
};
VolumeInfo volume_info(std::u16string_view drive);

// "XXXX-XXXX" (upper-case hex, high half first); "" for 0.
std::u16string serial_text(uint32_t serial);
// A 32-bit serial from a udev UUID: "ABCD-1234" (FAT) or 16 hex digits (NTFS, low half); else 0.
uint32_t serial_from_uuid(std::string_view uuid);

// The root paths ("C:\") of the drive letters whose folders exist, in letter order.
std::vector<std::u16string> logical_drives();

}  // namespace qz
