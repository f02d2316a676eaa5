#include "formats/zip/zip_entry_ops.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "com/error.h"
#include "com/str.h"
#include "formats/crc32.h"
#include "formats/zip/dos_time.h"
#include "formats/zip/file_io.h"
#include "formats/zip/zip_deflate.h"
#include "platform/codepage.h"
#include "platform/path.h"
#include "script/regexp/regex.h"

namespace qz {

namespace {

constexpr uint16_t kVersion20 = 20;
constexpr uint16_t kFlagMaxCompression = 0x0002;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kInternalText = 0x0020;
constexpr int32_t kErrPathAccess = 75;

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

std::u16string bare_name(std::u16string_view path) {
  size_t cut = path.find_last_of(u"\\/");
  return std::u16string(cut == std::u16string_view::npos ? path : path.substr(cut + 1));
}

std::vector<std::u16string_view> split_path(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || is_separator(path[i])) {
      parts.push_back(path.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

bool has_drive(std::u16string_view part) { return part.size() >= 2 && part[1] == u':'; }

// The name an added file is stored under ("/" separators): no drive, no root, and no "." or
// ".." parts, so the archive never holds a name that leaves the folder it is unpacked into.
std::u16string stored_name(std::u16string_view path) {
  std::vector<std::u16string_view> parts = split_path(path);
  std::u16string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::u16string_view p = parts[i];
    if (i == 0 && has_drive(p)) p = p.substr(2);
    if (p.empty() || p == u"." || p == u"..") continue;
    if (!out.empty()) out += u'/';
    out += p;
  }
  if (!path.empty() && is_separator(path.back()) && !out.empty()) out += u'/';
  return out;
}

bool plain_ascii(std::u16string_view text) {
  for (char16_t c : text)
    if (c >= 0x80) return false;
  return true;
}

std::u16string match_name(const ZipEntry& e) {
  std::u16string name = zip_entry_text(e.central_name, e.central_flags);
  for (char16_t& c : name) {
    if (c == u'/') c = u'\\';
  }
  return name;
}

// Selects entries by exact name (lower-cased on both sides when `fold` is set) or, after a
// leading "*", by a case-blind regular expression.
class EntrySelector {
 public:
  EntrySelector(std::u16string_view name, bool fold) : fold_(fold) {
    if (!name.empty() && name[0] == u'*') {
      regex_ = std::make_unique<Regex>();
      regex_->set_ignore_case(true);
      regex_->set_global(true);
      regex_->set_pattern(name.substr(1));
      regex_->test(u"");  // a bad pattern raises here, before any entry is touched
    }
    name_ = fold ? lower(name) : std::u16string(name);
  }
  bool all_matches() const { return regex_ != nullptr; }
  bool matches(const ZipEntry& e) {
    std::u16string n = match_name(e);
    if (regex_ && regex_->test(n)) return true;
    return (fold_ ? lower(n) : n) == name_;
  }

 private:
  bool fold_;
  std::u16string name_;
  std::unique_ptr<Regex> regex_;
};

std::string entry_data(const std::string& bytes, uint32_t& crc) {
  crc = bytes.empty() ? 0 : crc32_of(bytes);
  return deflate_raw(bytes);
}

// Creates the missing folders above an OS path.
bool create_parent_folders(const std::string& path) {
  size_t at = 0;
  while ((at = path.find('/', at + 1)) != std::string::npos) {
    std::string folder = path.substr(0, at);
    if (path_exists(folder)) continue;
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
  }
  return true;
}

bool write_entry(const ZipEntry& e, const std::string& target, bool keep_existing, bool save_date) {
  struct stat st;
  if (::lstat(target.c_str(), &st) == 0 && keep_existing) return false;
  // Unpacked and checked before anything on disk changes: a bad entry leaves the old file.
  std::optional<std::string> bytes = zip_entry_bytes(e);
  if (!bytes) return false;
  if (!create_parent_folders(target)) return false;
  if (!replace_file_bytes(target, *bytes)) return false;
  if (save_date) {
    time_t t;
    if (unix_from_dos(DosDateTime{e.local_date, e.local_time}, t)) {
      struct timespec times[2] = {{t, 0}, {t, 0}};
      ::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
  }
  return true;
}

}  // namespace

std::u16string zip_entry_text(const std::string& bytes, uint16_t flags) {
  return decode((flags & kZipFlagUtf8Names) ? 65001 : ansi_code_page(), bytes);
}

std::string zip_entry_text_bytes(std::u16string_view text, uint16_t flags) {
  return encode((flags & kZipFlagUtf8Names) ? 65001 : ansi_code_page(), text);
}

void zip_add(ZipArchive& archive, std::u16string_view file_name, std::u16string base_dir, std::u16string_view comment) {
  if (!base_dir.empty() && !is_separator(base_dir.back())) base_dir += u'\\';
  std::u16string name = stored_name(base_dir.empty() ? std::u16string(file_name) : base_dir + bare_name(file_name));
  // A name the OEM page would carry is still not one that Linux names or other tools read
  // back the same way, and a name it cannot carry would lose its letters to "?".
  const uint16_t flags = plain_ascii(name) ? kFlagMaxCompression : kFlagMaxCompression | kZipFlagUtf8Names;
  std::string name_bytes = zip_entry_text_bytes(name, flags);
  for (const ZipEntry& e : archive.entries) {
    if (e.central_name == name_bytes) return;
  }
  const std::string os_file = find_path(file_name);
  struct stat st;
  if (::stat(os_file.c_str(), &st) != 0) return;

  ZipEntry e;
  std::string bytes;
  if (!S_ISDIR(st.st_mode) && !bare_name(file_name).empty()) {
    std::optional<std::string> read = read_file_bytes(os_file, 0xFFFFFFFEu);
    if (!read) raise(kErrPathAccess, u"Path/File access error: '" + std::u16string(file_name) + u"' cannot be read");
    bytes = std::move(*read);
  }
  e.data = entry_data(bytes, e.local_crc);
  e.archive_folder = base_dir;
  e.comment = zip_entry_text_bytes(comment, flags);
  e.local_name = e.central_name = name_bytes;
  DosDateTime when = dos_from_unix(st.st_mtime);

  e.local_signature = kZipLocalSignature;
  e.local_version = kVersion20;
  e.local_flags = flags;
  e.local_method = kMethodDeflate;
  e.local_date = when.date;
  e.local_time = when.time;
  e.local_compressed = static_cast<uint32_t>(e.data.size());
  e.local_uncompressed = static_cast<uint32_t>(bytes.size());

  e.central_signature = kZipCentralSignature;
  e.version_made_by = kVersion20;
  e.central_version = kVersion20;
  e.central_flags = flags;
  e.central_method = kMethodDeflate;
  e.internal_attributes = kInternalText;
  e.central_date = e.local_date;
  e.central_time = e.local_time;
  e.central_crc = e.local_crc;
  e.central_compressed = e.local_compressed;
  e.central_uncompressed = e.local_uncompressed;
  archive.entries.push_back(std::move(e));
}

void zip_remove(ZipArchive& archive, std::u16string_view name, bool removed) {
  EntrySelector select(name, false);
  for (ZipEntry& e : archive.entries) {
    if (!select.matches(e)) continue;
    e.removed = removed;
    if (!select.all_matches()) break;
  }
}

std::optional<std::string> zip_extract(const ZipArchive& archive, std::u16string_view name, std::u16string base_dir,
                                       int32_t flags, bool save_date) {
  try {
    if (base_dir.empty() || !is_separator(base_dir.back())) base_dir += u'\\';
    EntrySelector select(name, true);
    for (const ZipEntry& e : archive.entries) {
      if (!select.matches(e)) continue;
      if (flags == 4) return zip_entry_bytes(e);  // nullopt for an entry that does not unpack
      std::u16string entry = match_name(e);
      if (flags >= 0 && flags <= 3 && !entry.empty() && !is_separator(entry.back())) {
        std::optional<std::u16string> rel = contained_entry_path((flags & 1) ? bare_name(entry) : entry);
        if (rel) {
          try {
            write_entry(e, find_path(base_dir + *rel), flags >= 2, save_date);
          } catch (...) {  // this entry cannot be written; go on with the others
          }
        }
      }
      if (!select.all_matches()) break;
    }
  } catch (...) {
  }
  return std::nullopt;
}

std::optional<std::string> zip_entry_bytes(const ZipEntry& entry) {
  if ((entry.local_flags | entry.central_flags) & kFlagEncrypted) return std::nullopt;
  std::string bytes;
  if (entry.central_method == kMethodStored) bytes = entry.data;
  else if (entry.central_method == kMethodDeflate) bytes = inflate_raw(entry.data, entry.local_uncompressed);
  else return std::nullopt;
  if (bytes.size() != entry.local_uncompressed) return std::nullopt;
  if ((bytes.empty() ? 0 : crc32_of(bytes)) != entry.local_crc) return std::nullopt;
  return bytes;
}

void zip_create_dir(std::u16string_view file_path) {
  if (!create_parent_folders(find_path(file_path))) raise(kErrPathAccess);
}

std::optional<std::u16string> contained_entry_path(std::u16string_view name) {
  if (name.empty() || is_separator(name[0])) return std::nullopt;
  if (name.find(u'\0') != std::u16string_view::npos) return std::nullopt;
  std::vector<std::u16string_view> parts = split_path(name);
  if (has_drive(parts[0])) return std::nullopt;
  std::u16string out;
  for (std::u16string_view p : parts) {
    if (p == u"..") return std::nullopt;
    if (p.empty() || p == u".") continue;
    if (!out.empty()) out += u'\\';
    out += p;
  }
  if (out.empty()) return std::nullopt;
  return out;
}

}  // namespace qz
