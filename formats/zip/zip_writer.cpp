#include "formats/zip/zip_archive.h"

#include "com/error.h"

namespace qz {

namespace {

class Output {
 public:
  void u16(uint16_t v) { bytes_ += static_cast<char>(v & 0xFF), bytes_ += static_cast<char>(v >> 8); }
  void u32(uint32_t v) {
    u16(static_cast<uint16_t>(v & 0xFFFF));
    u16(static_cast<uint16_t>(v >> 16));
  }
  // A text's length as its 16-bit length field.
  static uint16_t length16(const std::string& s) {
    if (s.size() > 0xFFFF) raise(kErrOverflow);
    return static_cast<uint16_t>(s.size());
  }
  void text(const std::string& s) { bytes_ += s; }
  uint32_t offset() const {
    if (bytes_.size() > 0xFFFFFFFFu) raise(kErrOverflow);
    return static_cast<uint32_t>(bytes_.size());
  }
  std::string take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

void write_local(Output& out, const ZipEntry& e) {
  out.u32(e.local_signature);
  out.u16(e.local_version);
  out.u16(e.local_flags);
  out.u16(e.local_method);
  out.u16(e.local_time);
  out.u16(e.local_date);
  out.u32(e.local_crc);
  out.u32(e.local_compressed);
  out.u32(e.local_uncompressed);
  out.u16(Output::length16(e.local_name));
  out.u16(Output::length16(e.local_extra));
  out.text(e.local_name);
  out.text(e.local_extra);
  out.text(e.data);
}

void write_central(Output& out, const ZipEntry& e) {
  out.u32(e.central_signature);
  out.u16(e.version_made_by);
  out.u16(e.central_version);
  out.u16(e.central_flags);
  out.u16(e.central_method);
  out.u16(e.central_time);
  out.u16(e.central_date);
  out.u32(e.central_crc);
  out.u32(e.central_compressed);
  out.u32(e.central_uncompressed);
  out.u16(Output::length16(e.central_name));
  out.u16(Output::length16(e.central_extra));
  out.u16(Output::length16(e.comment));
  out.u16(e.disk_start);
  out.u16(e.internal_attributes);
  out.u32(e.external_attributes);
  out.u32(e.local_offset);
  out.text(e.central_name);
  out.text(e.central_extra);
  out.text(e.comment);
}

}  // namespace

std::string write_zip(ZipArchive& archive) {
  Output out;
  uint32_t written = 0;
  for (ZipEntry& e : archive.entries) {
    if (e.removed) continue;
    if (written == 0xFFFF) raise(kErrOverflow);  // more than the end record can count
    e.local_offset = out.offset();
    write_local(out, e);
    ++written;
  }
  const uint32_t directory = out.offset();
  for (const ZipEntry& e : archive.entries) {
    if (!e.removed) write_central(out, e);
  }
  ZipEndRecord& end = archive.end;
  end.signature = kZipEndSignature;
  end.disk_entries = end.total_entries = static_cast<uint16_t>(written);
  end.directory_size = out.offset() - directory;
  end.directory_offset = directory;
  out.u32(end.signature);
  out.u16(end.this_disk);
  out.u16(end.directory_disk);
  out.u16(end.disk_entries);
  out.u16(end.total_entries);
  out.u32(end.directory_size);
  out.u32(end.directory_offset);
  out.u16(Output::length16(archive.comment));
  out.text(archive.comment);
  out.offset();  // the whole archive must stay addressable by 32-bit offsets
  return out.take();
}

}  // namespace qz
