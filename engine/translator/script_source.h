// One script file's bytes to the code text the passes work on: unpack a packed script, cut the
// resource blocks off into the resource table, decode (UTF-8 or the script page), drop a "#!"
// first line and make every line end with CR LF.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/translator/translator.h"

namespace qz::tr {

struct ScriptSource {
  std::u16string text;
  bool damaged = false;     // a packed script that cannot be read (text is empty)
  std::string reason;
  int first_line = 1;       // the number of the text's first line in the file (2 after a "#!" line)
};

// `module` is the script module number the resources belong to.
ScriptSource load_script_source(std::string_view bytes, int module, ResourceTable& table,
                                std::vector<ResourceRecord>& records);

}  // namespace qz::tr
