#include "formats/pe/resource_edits.h"

#include "formats/pe/string_table.h"
#include "formats/pe/version_block.h"
#include "formats/pe/version_tree.h"

namespace qz::pe {

std::optional<std::string> get_resource(std::string_view image, const ResourceId& type, const ResourceId& name,
                                        uint16_t language, std::string& error) {
  error.clear();
  auto set = read_resources(image, error);
  if (!set) return std::nullopt;
  const Resource* r = set->find_any(type, name, language);
  if (!r) return std::nullopt;
  return r->data;
}

bool put_resource(std::string& image, const ResourceId& type, const ResourceId& name, uint16_t language,
                  std::string data, bool delete_existing, std::string& error) {
  auto set = read_resources(image, error);
  if (!set) return false;
  if (delete_existing) set->clear();
  set->put(type, name, language, std::move(data));
  return write_resources(image, *set, error);
}

bool update_string(std::string& image, uint32_t number, std::u16string_view text, uint16_t language,
                   std::string& error) {
  if (number > kMaxStringNumber) {
    error = "string number " + std::to_string(number) + " is outside 0 to " + std::to_string(kMaxStringNumber);
    return false;
  }
  auto set = read_resources(image, error);
  if (!set) return false;
  const ResourceId type = ResourceId::number(kTypeString);
  const ResourceId block_name = ResourceId::number(static_cast<uint16_t>(number / 16 + 1));
  StringBlock block;
  if (const Resource* found = set->find_any(type, block_name, language)) block = parse_string_block(found->data);
  block[number % 16] = std::u16string(text);
  set->put(type, block_name, language, build_string_block(block));
  return write_resources(image, *set, error);
}

bool update_main_icon(std::string& image, const IconResources& icon, uint32_t start_id, uint16_t group_id,
                      uint16_t language, std::string& error) {
  auto set = read_resources(image, error);
  if (!set) return false;
  set->put(ResourceId::number(kTypeGroupIcon), ResourceId::number(group_id), language, icon.group);
  for (size_t i = 0; i < icon.images.size(); ++i)
    set->put(ResourceId::number(kTypeIcon), ResourceId::number(static_cast<uint16_t>(start_id + i)), language,
             icon.images[i]);
  return write_resources(image, *set, error);
}

VersionOutcome update_version(std::string& image, Variant& tree, uint16_t res_id, std::string& error) {
  const bool writing = new_version_tree(tree);
  auto set = read_resources(image, error);
  if (!set) return VersionOutcome::NotFound;
  auto find_language = tree_language(tree, u"FindLng");
  if (!find_language) {
    error = "FindLng is not a language number";
    return VersionOutcome::NotFound;
  }
  const ResourceId type = ResourceId::number(kTypeVersion), name = ResourceId::number(res_id);
  const Resource* found = set->find_any(type, name, *find_language);
  if (!found) {
    error = "no version resource " + std::to_string(res_id);
    return VersionOutcome::NotFound;
  }
  auto block = parse_version_block(found->data);
  if (!block) {
    error = "the version resource is too short";
    return VersionOutcome::NotFound;
  }
  if (!writing) {
    read_version_tree(tree, *block);
    return VersionOutcome::Read;
  }
  auto save_language = tree_language(tree, u"SaveLng");
  if (!save_language) {
    error = "SaveLng is not a language number";
    return VersionOutcome::WriteFailed;
  }
  apply_version_tree(tree, *block);
  auto bytes = build_version_block(*block);
  if (!bytes) {
    error = "the version block would exceed 32767 bytes or names a table of other than 8 characters";
    return VersionOutcome::WriteFailed;
  }
  set->put(type, name, *save_language, std::move(*bytes));
  return write_resources(image, *set, error) ? VersionOutcome::Written : VersionOutcome::WriteFailed;
}

}  // namespace qz::pe
