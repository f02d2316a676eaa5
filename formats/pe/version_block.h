// The version block (resource type 16): a root with the fixed information, a VarFileInfo with
// the translations and a StringFileInfo with string tables. Parsing keeps the header records
// as read so that a block written back differs only where its contents were changed.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz::pe {

inline constexpr size_t kVersionRootSize = 92;
inline constexpr size_t kFixedInfoAt = 40;     // thirteen 32-bit fields
inline constexpr size_t kFixedInfoFields = 13;
inline constexpr size_t kMaxVersionBlock = 32767;

struct VersionString {
  std::array<char, 6> header{};
  std::u16string key;
  std::u16string value;  // without its terminating 0
};

struct VersionTable {
  std::array<char, 22> header{};
  std::u16string name;  // the 8 characters of its key
  std::vector<VersionString> strings;
};

struct VersionBlock {
  std::array<char, kVersionRootSize> root{};
  bool has_var_info = false, has_string_info = false;
  std::array<char, 32> var_info{}, var{};
  std::array<char, 34> string_info{};
  std::vector<uint32_t> translations;  // language in the low half, code page in the high half
  std::vector<VersionTable> tables;

  uint32_t fixed(size_t i) const;
  void set_fixed(size_t i, uint32_t value);
};

// The names of the fixed-information fields, in block order.
extern const char16_t* const kFixedInfoNames[kFixedInfoFields];

// nullopt when the bytes are shorter than the root. A damaged or unusual child ends the parse;
// what was read by then is kept.
std::optional<VersionBlock> parse_version_block(std::string_view bytes);

// The block laid out again: VarFileInfo first, then StringFileInfo with the tables in order.
// Header records missing from the parsed block are made in the usual form. nullopt when the
// block would exceed kMaxVersionBlock bytes or a table name is not 8 characters.
std::optional<std::string> build_version_block(const VersionBlock& block);

}  // namespace qz::pe
