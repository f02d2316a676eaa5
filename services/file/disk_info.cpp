#include "services/file/disk_info.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "com/str.h"
#include "platform/path.h"

namespace qz {

namespace {

bool is_letter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

std::string real_path(const std::string& path) {
  char buf[PATH_MAX];
  return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

// mountinfo escapes blanks and the like as \ooo (three octal digits).
std::string unescape_octal(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && s.size() - i > 3) {
      bool ok = true;
      int v = 0;
      for (size_t k = 1; k <= 3 && ok; ++k) {
        ok = s[i + k] >= '0' && s[i + k] <= '7';
        v = v * 8 + (s[i + k] - '0');
      }
      if (ok) {
        out.push_back(static_cast<char>(v));
        i += 3;
        continue;
      }
    }
    out.push_back(s[i]);
  }
  return out;
}

// udev names its links with \xHH escapes.
std::string unescape_hex(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && s.size() - i > 3 && s[i + 1] == 'x' && hex_digit_value(s[i + 2]) >= 0 &&
        hex_digit_value(s[i + 3]) >= 0) {
      out.push_back(static_cast<char>(hex_digit_value(s[i + 2]) * 16 + hex_digit_value(s[i + 3])));
      i += 3;
      continue;
    }
    out.push_back(s[i]);
  }
  return out;
}

struct Mount {
  std::string fs_type;
  std::string source;
};

// The mount that holds the device `dev`, from /proc/self/mountinfo.
bool find_mount(dev_t dev, Mount& out) {
  std::ifstream in("/proc/self/mountinfo");
  std::string line;
  std::string want = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string id, parent, devno;
    fields >> id >> parent >> devno;
    if (devno != want) continue;
    size_t dash = line.find(" - ");
    if (dash == std::string::npos) continue;
    std::istringstream tail(line.substr(dash + 3));
    tail >> out.fs_type >> out.source;
    out.fs_type = unescape_octal(out.fs_type);
    out.source = unescape_octal(out.source);
    return true;
  }
  return false;
}

// The name of the link in `folder` that points at `device`; "" when none does.
std::string link_naming(const char* folder, const std::string& device) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder), ::closedir);
  if (!dir || device.empty()) return {};
  while (dirent* e = ::readdir(dir.get())) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (real_path(std::string(folder) + "/" + name) == device) return unescape_hex(name);
  }
  return {};
}

bool removable(dev_t dev) {
  std::string base = "/sys/dev/block/" + std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
  for (const char* rel : {"/removable", "/../removable"}) {
    std::ifstream in(base + rel);
    char c = 0;
    if (in >> c) return c == '1';
  }
  return false;
}

}  // namespace

std::string disk_folder(std::u16string_view drive) {
  if (drive.size() >= 2 && is_letter(drive[0]) && drive[1] == u':') {
    // "C:" alone is the drive's root, as "C:\" is.
    return drive.size() == 2 ? drive_root(drive[0]) : find_path(drive);
  }
  return find_path(drive);
}

DiskSpace disk_space(std::u16string_view drive) {
  DiskSpace out;
  std::string folder = disk_folder(drive);
  struct statvfs vfs{};
  if (folder.empty() || ::statvfs(folder.c_str(), &vfs) != 0) return out;
  out.ok = true;
  out.free = static_cast<double>(vfs.f_bfree) * static_cast<double>(vfs.f_frsize);
  out.total = static_cast<double>(vfs.f_blocks) * static_cast<double>(vfs.f_frsize);
  return out;
}

int32_t drive_type(std::u16string_view drive) {
  std::string folder = disk_folder(drive);
  struct stat st{};
  if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return kDriveMissing;
  struct statfs fs{};
  if (::statfs(folder.c_str(), &fs) != 0) return kDriveUnknown;
  switch (static_cast<uint32_t>(fs.f_type)) {
    case 0x6969u: case 0x517Bu: case 0xFF534D42u: case 0xFE534D42u: case 0x01021997u:
    case 0x5346414Fu: case 0x73757245u: case 0x564C: case 0x47504653u: case 0x00C36400u:
      return kDriveRemote;   // NFS, SMB, CIFS, SMB2, 9p, AFS, Coda, NCP, GPFS, Ceph
    case 0x9660u: case 0x15013346u:
      return kDriveCdRom;    // ISO 9660, UDF
    case 0x01021994u: case 0x858458F6u:
      return kDriveRamDisk;  // tmpfs, ramfs
    default:
      return removable(st.st_dev) ? kDriveRemovable : kDriveFixed;
  }
}

std::u16string_view drive_type_word(int32_t type) {
  static constexpr std::u16string_view kWords[] = {u"Unknown", u"Missing", u"Removable", u"Fixed",
                                                   u"Remote",  u"CDRom",   u"RAMDisk"};
  return type >= 0 && type <= 6 ? kWords[type] : kWords[0];
}

VolumeInfo volume_info(std::u16string_view drive) {
  VolumeInfo out;
  std::string folder = disk_folder(drive);
  struct stat st{};
  if (folder.empty() || ::stat(folder.c_str(), &st) != 0) return out;
  Mount m;
  if (!find_mount(st.st_dev, m)) return out;
  out.ok = true;
  out.file_system = utf8_to_u16(m.fs_type);
  std::string device = m.source.rfind("/dev/", 0) == 0 ? real_path(m.source) : std::string();
  out.label = utf8_to_u16(link_naming("/dev/disk/by-label", device));
  out.serial = serial_from_uuid(link_naming("/dev/disk/by-uuid", device));
  return out;
}

std::u16string serial_text(uint32_t serial) {
  if (serial == 0) return {};
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string s;
  for (int shift = 28; shift >= 0; shift -= 4) {
    if (shift == 12) s.push_back(u'-');
    s.push_back(kHex[(serial >> shift) & 0xF]);
  }
  return s;
}

uint32_t serial_from_uuid(std::string_view uuid) {
  std::string digits;
  if (uuid.size() == 9 && uuid[4] == '-') digits = std::string(uuid.substr(0, 4)) + std::string(uuid.substr(5));
  else if (uuid.size() == 16) digits = std::string(uuid.substr(8));
  else return 0;
  uint32_t v = 0;
  for (char c : digits) {
    int d = hex_digit_value(c);
    if (d < 0) return 0;
    v = v << 4 | static_cast<uint32_t>(d);
  }
  return v;
}

std::vector<std::u16string> logical_drives() {
  std::vector<std::u16string> out;
  for (char16_t c = u'A'; c <= u'Z'; ++c) {
    struct stat st{};
    if (::stat(drive_root(c).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) out.push_back(std::u16string{c, u':', u'\\'});
  }
  return out;
}

}  // namespace qz
