// A ZIP archive held whole in memory: every entry with both of its headers, names, extra
// fields, comment and compressed bytes, as the archive object edits them (one disk, no ZIP64,
// no encryption). Texts are the stored bytes; their lengths are the sizes of these strings.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qz {

constexpr uint32_t kZipLocalSignature = 0x04034B50;
constexpr uint32_t kZipCentralSignature = 0x02014B50;
constexpr uint32_t kZipEndSignature = 0x06054B50;
constexpr size_t kZipLocalHeaderSize = 30;
constexpr size_t kZipCentralHeaderSize = 46;
constexpr size_t kZipEndRecordSize = 22;
constexpr uint16_t kZipFlagDataDescriptor = 0x0008;
// Names and comment are UTF-8 (otherwise they are bytes of a single-byte page).
constexpr uint16_t kZipFlagUtf8Names = 0x0800;

struct ZipEntry {
  // Local file header.
  uint32_t local_signature = 0;
  uint16_t local_version = 0, local_flags = 0, local_method = 0, local_time = 0, local_date = 0;
  uint32_t local_crc = 0, local_compressed = 0, local_uncompressed = 0;
  // Central directory header.
  uint32_t central_signature = 0;
  uint16_t version_made_by = 0, central_version = 0, central_flags = 0, central_method = 0;
  uint16_t central_time = 0, central_date = 0;
  uint32_t central_crc = 0, central_compressed = 0, central_uncompressed = 0;
  uint16_t disk_start = 0, internal_attributes = 0;
  uint32_t external_attributes = 0, local_offset = 0;

  std::string local_extra, central_extra, local_name, central_name, comment;
  std::string data;             // the entry's bytes as stored (compressed)
  std::u16string archive_folder;  // the folder given when the entry was added; never written
  bool removed = false;           // removed entries are left out when the archive is written
};

struct ZipEndRecord {
  uint32_t signature = 0;
  uint16_t this_disk = 0, directory_disk = 0, disk_entries = 0, total_entries = 0;
  uint32_t directory_size = 0, directory_offset = 0;
};

struct ZipArchive {
  std::string comment;
  ZipEndRecord end;
  std::vector<ZipEntry> entries;

  void clear() { *this = ZipArchive(); }
};

enum class ZipReadResult {
  Loaded,
  NoEndRecord,  // no end-of-central-directory signature anywhere: not an archive
  NoEntries,    // an end record that lists no entries (its comment was read)
  Damaged,      // a header, name or data reaches past the end of the bytes
};

// Reads archive bytes (untrusted: every offset and length is checked). On Loaded and NoEntries
// `into` is replaced; on NoEndRecord and Damaged it is left as it was. Signatures, CRCs and
// sizes are taken as stored; only an entry whose local header defers its sizes to a data
// descriptor takes its sizes and CRC from the central directory, so its data is not lost.
ZipReadResult read_zip(std::string_view bytes, ZipArchive& into);

// The bytes of the archive without its removed entries; sets each written entry's local header
// offset and the end record's counts, directory size and offset. Raises 6 (Overflow) when the
// archive needs more than the format's 16-bit counts or 32-bit offsets can hold.
std::string write_zip(ZipArchive& archive);

}  // namespace qz
