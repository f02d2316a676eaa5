#include "formats/pe/pe_image.h"

#include <algorithm>
#include <cstring>

#include "formats/pe/le_bytes.h"

namespace qz::pe {

namespace {

constexpr size_t kSectionHeaderSize = 40;
constexpr uint32_t kResourceSlot = 2;
constexpr uint32_t kSecuritySlot = 4;
constexpr uint32_t kResourceCharacteristics = 0x40000040;  // initialised data, readable
constexpr size_t kChecksumField = 64;                      // in the optional header
constexpr uint64_t kMaxImageSize = 0x80000000u;            // the format's 32-bit offsets, with room

bool power_of_two(uint32_t v) { return v != 0 && (v & (v - 1)) == 0; }

// The end of a section's extent in memory.
uint64_t virtual_end(const Section& s) {
  return uint64_t{s.virtual_address} + std::max(s.virtual_size, s.raw_size);
}

}  // namespace

std::optional<size_t> Layout::file_offset(uint32_t rva, size_t* available) const {
  for (const Section& s : sections) {
    if (rva < s.virtual_address) continue;
    uint64_t delta = uint64_t{rva} - s.virtual_address;
    // Raw bytes beyond the section's virtual size are not mapped.
    uint64_t mapped = s.virtual_size ? std::min(s.virtual_size, s.raw_size) : s.raw_size;
    if (delta >= mapped) continue;
    if (available) *available = static_cast<size_t>(mapped - delta);
    return static_cast<size_t>(s.raw_offset + delta);
  }
  return std::nullopt;
}

std::optional<Layout> parse_layout(std::string_view image, std::string& error) {
  auto fail = [&](const char* why) {
    error = why;
    return std::nullopt;
  };
  if (image.size() < 64 || image.substr(0, 2) != "MZ") return fail("not a PE image (no MZ header)");
  if (image.size() >= kMaxImageSize) return fail("the PE image is too large");
  Layout l;
  l.nt_offset = get32(image, 0x3C);
  if (l.nt_offset > image.size() || image.size() - l.nt_offset < 24 + 2)
    return fail("not a PE image (header offset outside the file)");
  if (image.substr(l.nt_offset, 4) != std::string_view("PE\0\0", 4)) return fail("not a PE image (no PE signature)");
  const size_t coff = l.nt_offset + 4;
  const uint32_t section_count = get16(image, coff + 2);
  const uint32_t optional_size = get16(image, coff + 16);
  l.optional_offset = coff + 20;
  const uint16_t magic = get16(image, l.optional_offset);
  if (magic != 0x10B && magic != 0x20B) return fail("not a PE image (unknown optional header)");
  l.pe32_plus = magic == 0x20B;
  const size_t count_field = l.pe32_plus ? 108 : 92;
  if (optional_size < count_field + 4) return fail("damaged PE image (optional header too short)");
  l.section_table = l.optional_offset + optional_size;
  if (l.section_table + uint64_t{section_count} * kSectionHeaderSize > image.size())
    return fail("damaged PE image (section table outside the file)");
  l.section_alignment = get32(image, l.optional_offset + 32);
  l.file_alignment = get32(image, l.optional_offset + 36);
  l.size_of_headers = get32(image, l.optional_offset + 60);
  if (!power_of_two(l.section_alignment) || !power_of_two(l.file_alignment) ||
      l.file_alignment > l.section_alignment || l.section_alignment > 0x10000000u)
    return fail("damaged PE image (bad alignment)");
  if (l.size_of_headers > image.size()) return fail("damaged PE image (headers larger than the file)");
  l.directory_offset = l.optional_offset + count_field + 4;
  const uint32_t declared = get32(image, l.optional_offset + count_field);
  const uint32_t room = static_cast<uint32_t>((optional_size - count_field - 4) / 8);
  l.directory_count = std::min(declared, room);
  if (l.directory_count > kResourceSlot) {
    l.resource_rva = get32(image, l.directory_offset + 8 * kResourceSlot);
    l.resource_size = get32(image, l.directory_offset + 8 * kResourceSlot + 4);
  }
  for (uint32_t i = 0; i < section_count; ++i) {
    Section s{};
    s.header_offset = l.section_table + i * kSectionHeaderSize;
    std::memcpy(s.name, image.data() + s.header_offset, 8);
    s.virtual_size = get32(image, s.header_offset + 8);
    s.virtual_address = get32(image, s.header_offset + 12);
    s.raw_size = get32(image, s.header_offset + 16);
    s.raw_offset = get32(image, s.header_offset + 20);
    s.characteristics = get32(image, s.header_offset + 36);
    if (s.raw_size && uint64_t{s.raw_offset} + s.raw_size > image.size())
      return fail("damaged PE image (section data outside the file)");
    // Section data inside the declared headers would let a rewrite of that section leave a
    // file shorter than its own headers, which no reader takes back.
    if (s.raw_size && s.raw_offset < l.size_of_headers) return fail("damaged PE image (headers overlap a section)");
    if (virtual_end(s) > 0xFFFFFFFFu) return fail("damaged PE image (section outside the address space)");
    l.sections.push_back(s);
  }
  return l;
}

uint32_t image_checksum(std::string_view image, size_t checksum_offset) {
  uint64_t sum = 0;
  for (size_t i = 0; i < image.size(); i += 2) {
    if (i == checksum_offset || i == checksum_offset + 2) continue;
    sum += get16(image, i);
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>((sum & 0xFFFF) + image.size());
}

bool replace_resource_section(std::string& image, const std::function<std::string(uint32_t rva)>& build,
                              std::string& error) {
  auto layout = parse_layout(image, error);
  if (!layout) return false;
  Layout& l = *layout;
  if (l.directory_count <= kResourceSlot) {
    error = "the PE image has no resource directory slot";
    return false;
  }

  uint64_t raw_end = l.size_of_headers, mem_end = 0;
  for (const Section& s : l.sections) {
    if (s.raw_size) raw_end = std::max<uint64_t>(raw_end, uint64_t{s.raw_offset} + s.raw_size);
    mem_end = std::max(mem_end, virtual_end(s));
  }
  raw_end = std::min<uint64_t>(raw_end, image.size());

  // In place when the resources fill a section that is last both in memory and in the file.
  const Section* target = nullptr;
  if (l.resource_rva && !l.sections.empty()) {
    const Section& last = l.sections.back();
    bool last_in_memory = virtual_end(last) == mem_end;
    bool last_in_file = last.raw_size == 0 || uint64_t{last.raw_offset} + last.raw_size == raw_end;
    // Nothing else may share its bytes or addresses: the headers and every other section end
    // before it starts.
    bool alone = last.raw_size == 0 || last.raw_offset >= l.section_table + l.sections.size() * kSectionHeaderSize;
    for (size_t i = 0; i + 1 < l.sections.size(); ++i) {
      const Section& s = l.sections[i];
      if (virtual_end(s) > last.virtual_address) alone = false;
      if (s.raw_size && last.raw_size && uint64_t{s.raw_offset} + s.raw_size > last.raw_offset) alone = false;
    }
    if (last.virtual_address == l.resource_rva && last_in_memory && last_in_file && alone) target = &last;
  }

  uint32_t rva;
  uint64_t file_at;
  size_t header_at;
  uint32_t old_raw = 0;
  if (target) {
    rva = target->virtual_address;
    file_at = target->raw_size ? target->raw_offset : align_up(raw_end, l.file_alignment);
    header_at = target->header_offset;
    old_raw = target->raw_size;
  } else {
    header_at = l.section_table + l.sections.size() * kSectionHeaderSize;
    uint64_t first_raw = l.size_of_headers;
    for (const Section& s : l.sections)
      if (s.raw_size) first_raw = std::min<uint64_t>(first_raw, s.raw_offset);
    if (header_at + kSectionHeaderSize > first_raw || header_at + kSectionHeaderSize > image.size() ||
        l.sections.size() >= 0xFFFF) {
      error = "the PE image has no room for another section header";
      return false;
    }
    // The slot for the new header must be free (zero), or we would overwrite something.
    for (size_t i = 0; i < kSectionHeaderSize; ++i)
      if (image[header_at + i] != '\0') {
        error = "the PE image has no free room for another section header";
        return false;
      }
    // Address 0 would mean "no resources": the headers always occupy the first page.
    const uint64_t at = align_up(std::max<uint64_t>({mem_end, l.size_of_headers, 1}), l.section_alignment);
    if (at > 0xFFFFFFFFu - l.section_alignment) {
      error = "the PE image has no address room for another section";
      return false;
    }
    rva = static_cast<uint32_t>(at);
    file_at = align_up(raw_end, l.file_alignment);
  }

  std::string data = build(rva);
  const uint64_t raw_size = align_up(data.size(), l.file_alignment);
  const uint64_t new_end = uint64_t{rva} + std::max<uint64_t>(data.size(), 1);
  if (file_at + raw_size + (image.size() - raw_end) >= kMaxImageSize || align_up(new_end, l.section_alignment) > 0xFFFFFFFFu) {
    error = "the resources are too large for a PE image";
    return false;
  }

  std::string overlay = image.substr(static_cast<size_t>(raw_end));
  std::string out = image.substr(0, static_cast<size_t>(std::min<uint64_t>(file_at, image.size())));
  out.resize(static_cast<size_t>(file_at), '\0');
  out += data;
  out.resize(static_cast<size_t>(file_at + raw_size), '\0');
  const uint64_t overlay_at = out.size();
  out += overlay;

  // Section header.
  if (!target) {
    std::memcpy(&out[header_at], ".rsrc\0\0\0", 8);
    put32(out, header_at + 36, kResourceCharacteristics);
    put16(out, l.nt_offset + 4 + 2, static_cast<uint32_t>(l.sections.size() + 1));
  }
  put32(out, header_at + 8, static_cast<uint32_t>(data.size()));
  put32(out, header_at + 12, rva);
  put32(out, header_at + 16, static_cast<uint32_t>(raw_size));
  put32(out, header_at + 20, static_cast<uint32_t>(file_at));

  // Optional header sizes and the resource slot.
  const size_t init_field = l.optional_offset + 8;
  int64_t init = int64_t{get32(out, init_field)} + int64_t(raw_size) - int64_t{old_raw};
  put32(out, init_field, static_cast<uint32_t>(std::clamp<int64_t>(init, 0, 0xFFFFFFFF)));
  uint64_t image_end = std::max<uint64_t>(l.size_of_headers, new_end);
  for (const Section& s : l.sections)
    if (&s != target) image_end = std::max(image_end, virtual_end(s));
  put32(out, l.optional_offset + 56, static_cast<uint32_t>(align_up(image_end, l.section_alignment)));
  put32(out, l.directory_offset + 8 * kResourceSlot, rva);
  put32(out, l.directory_offset + 8 * kResourceSlot + 4, static_cast<uint32_t>(data.size()));

  // A signature in the overlay moves with it (it no longer verifies, but it is not lost).
  if (l.directory_count > kSecuritySlot) {
    const size_t slot = l.directory_offset + 8 * kSecuritySlot;
    uint32_t at = get32(out, slot);
    if (at && at >= raw_end) put32(out, slot, static_cast<uint32_t>(at - raw_end + overlay_at));
  }
  const size_t checksum_at = l.optional_offset + kChecksumField;
  if (get32(out, checksum_at) != 0) put32(out, checksum_at, image_checksum(out, checksum_at));
  image = std::move(out);
  return true;
}

}  // namespace qz::pe
