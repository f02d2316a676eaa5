// Resource blocks: data a script carries after its code, between "<#res id=N name="..." [:base64]#>"
// and "<#res#>" tags. Extraction cuts them off the script bytes into the resource table;
// every module then gets the small def_Resource class that reads its own module's blocks.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "engine/translator/translator.h"

namespace qz::tr {

// Stores every complete block of `bytes` for script module `module` in `table` (and lists
// them in `records`); returns how many leading bytes are code: everything before the first
// tag, less the one character before it (the line feed that ended the code).
size_t extract_resource_blocks(std::string_view bytes, int module, ResourceTable& table,
                               std::vector<ResourceRecord>& records);

// The def_Resource class and the Resource variable for module `module`, ending with an empty line.
std::u16string resource_class_text(int module);

}  // namespace qz::tr
