// Where an ELF program's own bytes end: the end of its section header table, which linkers
// write last. make appends the end marker there, so a host can look at that one place
// instead of searching its whole file.
#pragma once
#include <cstddef>
#include <optional>
#include <string_view>

namespace qz::standalone {

// The offset just past the section header table of the ELF image at the start of `file`;
// nullopt when `file` does not start with a well-formed ELF header or the table lies outside
// the file.
std::optional<size_t> elf_image_end(std::string_view file);

}  // namespace qz::standalone
