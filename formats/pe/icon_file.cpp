#include "formats/pe/icon_file.h"

#include "formats/pe/le_bytes.h"

namespace qz::pe {

std::optional<IconResources> icon_resources(std::string_view ico, uint32_t start_id, std::string& error) {
  auto fail = [&](const std::string& why) {
    error = why;
    return std::nullopt;
  };
  if (ico.size() < 6) return fail("the icon file is too short");
  const size_t count = get16(ico, 4);
  if (count == 0) return fail("the icon file holds no images");
  if ((ico.size() - 6) / 16 < count) return fail("the icon directory runs past the end of the file");
  if (uint64_t{start_id} + count - 1 > 32767) return fail("icon resource numbers above 32767");
  IconResources out;
  out.group.assign(ico.substr(0, 6));
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * i;
    const uint32_t size = get32(ico, entry + 8), offset = get32(ico, entry + 12);
    if (offset > ico.size() || ico.size() - offset < size)
      return fail("icon image " + std::to_string(i + 1) + " lies outside the file");
    out.images.emplace_back(ico.substr(offset, size));
    out.group.append(ico.substr(entry, 12));
    append16(out.group, static_cast<uint32_t>(start_id + i));
  }
  return out;
}

}  // namespace qz::pe
