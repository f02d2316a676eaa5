#include "formats/zip/zip_archive.h"

#include <cstring>

namespace qz {

namespace {

// A bounds-checked little-endian cursor over untrusted bytes: any read past the end marks it
// failed and yields zeros.
class Cursor {
 public:
  Cursor(std::string_view bytes, uint64_t pos) : bytes_(bytes), pos_(pos) {
    if (pos > bytes.size()) failed_ = true;
  }
  bool failed() const { return failed_; }
  uint64_t pos() const { return pos_; }

  uint16_t u16() { return static_cast<uint16_t>(take(2)); }
  uint32_t u32() { return static_cast<uint32_t>(take(4)); }
  std::string text(uint64_t n) {
    if (failed_ || n > bytes_.size() - pos_) {
      failed_ = true;
      return {};
    }
    std::string s(bytes_.substr(pos_, n));
    pos_ += n;
    return s;
  }

 private:
  uint64_t take(int n) {
    if (failed_ || static_cast<uint64_t>(n) > bytes_.size() - pos_) {
      failed_ = true;
      return 0;
    }
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v |= uint64_t{static_cast<uint8_t>(bytes_[pos_ + i])} << (8 * i);
    pos_ += n;
    return v;
  }
  std::string_view bytes_;
  uint64_t pos_;
  bool failed_ = false;
};

// The last position of the end-record signature, scanning back from the end.
bool find_end_record(std::string_view bytes, size_t& at) {
  static constexpr char kSig[4] = {'P', 'K', 5, 6};
  if (bytes.size() < 4) return false;
  for (size_t i = bytes.size() - 4 + 1; i-- > 0;) {
    if (std::memcmp(bytes.data() + i, kSig, 4) == 0) {
      at = i;
      return true;
    }
  }
  return false;
}

bool read_central(Cursor& c, ZipEntry& e) {
  e.central_signature = c.u32();
  e.version_made_by = c.u16();
  e.central_version = c.u16();
  e.central_flags = c.u16();
  e.central_method = c.u16();
  e.central_time = c.u16();
  e.central_date = c.u16();
  e.central_crc = c.u32();
  e.central_compressed = c.u32();
  e.central_uncompressed = c.u32();
  uint16_t name_len = c.u16(), extra_len = c.u16(), comment_len = c.u16();
  e.disk_start = c.u16();
  e.internal_attributes = c.u16();
  e.external_attributes = c.u32();
  e.local_offset = c.u32();
  e.central_name = c.text(name_len);
  e.central_extra = c.text(extra_len);
  e.comment = c.text(comment_len);
  return !c.failed();
}

bool read_local(std::string_view bytes, ZipEntry& e) {
  Cursor c(bytes, e.local_offset);
  e.local_signature = c.u32();
  e.local_version = c.u16();
  e.local_flags = c.u16();
  e.local_method = c.u16();
  e.local_time = c.u16();
  e.local_date = c.u16();
  e.local_crc = c.u32();
  e.local_compressed = c.u32();
  e.local_uncompressed = c.u32();
  uint16_t name_len = c.u16(), extra_len = c.u16();
  e.local_name = c.text(name_len);
  e.local_extra = c.text(extra_len);
  if (c.failed()) return false;
  // A writer that streams leaves the local sizes 0 and puts them after the data; the central
  // directory has them too, so take them from there rather than lose the data.
  if ((e.local_flags & kZipFlagDataDescriptor) && e.local_compressed == 0 && e.central_compressed != 0) {
    e.local_crc = e.central_crc;
    e.local_compressed = e.central_compressed;
    e.local_uncompressed = e.central_uncompressed;
    e.local_flags &= static_cast<uint16_t>(~kZipFlagDataDescriptor);
    e.central_flags &= static_cast<uint16_t>(~kZipFlagDataDescriptor);
  }
  if (e.local_compressed > 0) e.data = c.text(e.local_compressed);
  return !c.failed();
}

}  // namespace

ZipReadResult read_zip(std::string_view bytes, ZipArchive& into) {
  size_t at = 0;
  if (!find_end_record(bytes, at)) return ZipReadResult::NoEndRecord;
  ZipArchive archive;
  Cursor end(bytes, at);
  archive.end.signature = end.u32();
  archive.end.this_disk = end.u16();
  archive.end.directory_disk = end.u16();
  archive.end.disk_entries = end.u16();
  archive.end.total_entries = end.u16();
  archive.end.directory_size = end.u32();
  archive.end.directory_offset = end.u32();
  uint16_t comment_len = end.u16();
  archive.comment = end.text(comment_len);
  if (end.failed()) return ZipReadResult::Damaged;
  if (archive.end.total_entries == 0) {
    into = std::move(archive);
    return ZipReadResult::NoEntries;
  }
  // Each entry needs at least a central header: a count the bytes cannot hold is damage, found
  // before anything is allocated for it.
  const uint64_t count = archive.end.total_entries;
  if (count * kZipCentralHeaderSize > bytes.size()) return ZipReadResult::Damaged;
  archive.entries.resize(count);
  Cursor central(bytes, archive.end.directory_offset);
  for (ZipEntry& e : archive.entries) {
    if (!read_central(central, e)) return ZipReadResult::Damaged;
  }
  for (ZipEntry& e : archive.entries) {
    if (!read_local(bytes, e)) return ZipReadResult::Damaged;
  }
  into = std::move(archive);
  return ZipReadResult::Loaded;
}

}  // namespace qz
