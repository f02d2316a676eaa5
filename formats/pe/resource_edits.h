// The edits the resource editor offers, on a whole PE image held in memory: each reads the
// resource directory, changes it and lays the resource section out again, or leaves the image
// untouched and says why.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "com/variant.h"
#include "formats/pe/icon_file.h"
#include "formats/pe/resource_directory.h"

namespace qz::pe {

// The bytes of a resource (language 0: the loader's choice). nullopt with an empty `error`
// when the image has no such resource, with `error` set when the image is damaged.
std::optional<std::string> get_resource(std::string_view image, const ResourceId& type, const ResourceId& name,
                                        uint16_t language, std::string& error);

// Adds or replaces one resource; with `delete_existing` every other resource goes first.
bool put_resource(std::string& image, const ResourceId& type, const ResourceId& name, uint16_t language,
                  std::string data, bool delete_existing, std::string& error);

// Writes `text` as string `number` (0 to kMaxStringNumber) in `language`, keeping the other
// fifteen entries of its block as they were found (looked up with the loader's choice when
// `language` is 0).
bool update_string(std::string& image, uint32_t number, std::u16string_view text, uint16_t language,
                   std::string& error);

// Writes the icon group `group_id` and its images as icon resources, all in one rewrite.
bool update_main_icon(std::string& image, const IconResources& icon, uint32_t start_id, uint16_t group_id,
                      uint16_t language, std::string& error);

enum class VersionOutcome { NotFound, Read, Written, WriteFailed };

// Moves version block `res_id` between the image and `tree`: a tree without string tables is
// filled from the block; one with string tables is written back over the block (in the
// language "SaveLng"), keeping every header record of the block as it was read.
VersionOutcome update_version(std::string& image, Variant& tree, uint16_t res_id, std::string& error);

}  // namespace qz::pe
