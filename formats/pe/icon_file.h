// Icon files (.ico) turned into the resources an executable keeps them as: one icon resource
// per image and a group that lists them by resource number.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz::pe {

struct IconResources {
  std::string group;                // header as in the file, then 14 bytes per image
  std::vector<std::string> images;  // image i becomes icon resource start_id + i
};

// nullopt with `error` when the file holds no images, a directory entry or image lies outside
// it, or start_id + the last index exceeds the 16-bit signed range of resource numbers.
std::optional<IconResources> icon_resources(std::string_view ico, uint32_t start_id, std::string& error);

}  // namespace qz::pe
