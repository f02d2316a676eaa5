#include "formats/pe/string_table.h"

#include "formats/pe/le_bytes.h"

namespace qz::pe {

StringBlock parse_string_block(std::string_view bytes) {
  StringBlock block;
  size_t at = 0;
  for (std::u16string& entry : block) {
    if (bytes.size() - at < 2) break;
    size_t count = get16(bytes, at);
    at += 2;
    size_t have = (bytes.size() - at) / 2;
    if (count > have) count = have;
    entry.resize(count);
    for (size_t i = 0; i < count; ++i) entry[i] = static_cast<char16_t>(get16(bytes, at + 2 * i));
    at += 2 * count;
  }
  return block;
}

std::string build_string_block(const StringBlock& block) {
  std::string out;
  for (const std::u16string& entry : block) {
    // A count is 16 bits; longer text is cut rather than written with a wrong count.
    size_t count = entry.size() > 0xFFFF ? 0xFFFF : entry.size();
    append16(out, static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) append16(out, entry[i]);
  }
  return out;
}

}  // namespace qz::pe
