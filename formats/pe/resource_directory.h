// The resource directory of a PE image as a flat list: every resource with its type, name,
// language and bytes. Reading checks every offset and bounds the work a crafted directory can
// cause (shared subdirectories, huge counts); writing lays the list out as a fresh directory.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/pe/pe_image.h"

namespace qz::pe {

// A type or name: an integer identifier or a text name.
struct ResourceId {
  bool named = false;
  uint16_t id = 0;
  std::u16string name;

  static ResourceId number(uint16_t n) { return ResourceId{false, n, {}}; }
  static ResourceId text(std::u16string s) { return ResourceId{true, 0, std::move(s)}; }
  // "#123" is the integer 123 (the loader's convention); any other text is a name.
  static ResourceId parse(std::u16string_view s);
  // Names match without regard to case, as the loader looks them up.
  bool same(const ResourceId& o) const;
};

inline constexpr uint16_t kTypeIcon = 3;
inline constexpr uint16_t kTypeString = 6;
inline constexpr uint16_t kTypeGroupIcon = 14;
inline constexpr uint16_t kTypeVersion = 16;

struct Resource {
  ResourceId type, name;
  uint16_t language = 0;
  uint32_t code_page = 0;
  std::string data;
};

class ResourceSet {
 public:
  std::vector<Resource>& items() { return items_; }
  const std::vector<Resource>& items() const { return items_; }

  // The resource with exactly this type, name and language.
  const Resource* find(const ResourceId& type, const ResourceId& name, uint16_t language) const;
  // With `language` 0 the loader's choice: neutral first, then the user's language, then
  // U.S. English, then the first one listed.
  const Resource* find_any(const ResourceId& type, const ResourceId& name, uint16_t language) const;
  // Adds the resource, or replaces the bytes of the one with the same type, name and language.
  void put(const ResourceId& type, const ResourceId& name, uint16_t language, std::string data);
  // Removes the resource with this type, name and language; false when there is none.
  bool remove(const ResourceId& type, const ResourceId& name, uint16_t language);
  void clear() { items_.clear(); }

 private:
  std::vector<Resource> items_;
};

// The resources of `image`; an image without a resource directory has none. nullopt with
// `error` when the image or its directory is damaged.
std::optional<ResourceSet> read_resources(std::string_view image, std::string& error);

// The bytes of a resource section at `rva` that holds `set`.
std::string build_resource_section(const ResourceSet& set, uint32_t rva);

// Rewrites the resource section of `image` to hold exactly `set`.
bool write_resources(std::string& image, const ResourceSet& set, std::string& error);

}  // namespace qz::pe
