// The parts of a PE image (Windows executable or library) that resource editing touches: the
// headers, the section table and the resource directory slot. Every offset, size and count is
// checked against the bytes at hand; a damaged image is refused, never guessed at.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz::pe {

struct Section {
  char name[8];
  uint32_t virtual_size, virtual_address, raw_size, raw_offset, characteristics;
  size_t header_offset;  // where its 40-byte header lies in the image
};

struct Layout {
  bool pe32_plus = false;
  size_t nt_offset = 0;         // the "PE\0\0" signature
  size_t optional_offset = 0;   // the optional header
  size_t section_table = 0;     // the first section header
  uint32_t section_alignment = 0, file_alignment = 0, size_of_headers = 0;
  uint32_t directory_count = 0;  // NumberOfRvaAndSizes, as far as the header holds them
  size_t directory_offset = 0;   // the data directory array
  std::vector<Section> sections;

  // The resource directory slot (0, 0 when absent).
  uint32_t resource_rva = 0, resource_size = 0;

  // The file offset of `rva` and how many raw bytes of its section follow it; nullopt when no
  // section holds raw bytes there.
  std::optional<size_t> file_offset(uint32_t rva, size_t* available = nullptr) const;
};

// Parses the headers; nullopt with `error` when the bytes are not a PE image we can edit.
std::optional<Layout> parse_layout(std::string_view image, std::string& error);

// Replaces the image's resource section by the bytes `build(rva)` makes for the address it is
// given: in place when the resource section is the image's last one, else as a new section at
// the end. Fixes section sizes, SizeOfImage, SizeOfInitializedData, the resource slot and, when
// the image carries one, the checksum; bytes behind the sections (an overlay) are kept after
// the new section. False with `error` when the image cannot take it (no room for a section
// header, no resource slot).
bool replace_resource_section(std::string& image, const std::function<std::string(uint32_t rva)>& build,
                              std::string& error);

// The image checksum as the loader computes it, with the checksum field itself counted as 0.
uint32_t image_checksum(std::string_view image, size_t checksum_offset);

}  // namespace qz::pe
