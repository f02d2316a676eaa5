#include "engine/translator/script_source.h"

#include "engine/pack/packed_script.h"
#include "engine/translator/resource_blocks.h"
#include "engine/translator/text_util.h"
#include "platform/codepage.h"

namespace qz::tr {

ScriptSource load_script_source(std::string_view bytes, int module, ResourceTable& table,
                                std::vector<ResourceRecord>& records) {
  ScriptSource out;
  std::string plain;
  if (pack::is_packed(bytes)) {
    std::optional<std::string> unpacked = pack::unpack(bytes, out.reason);
    if (!unpacked) {
      out.damaged = true;
      return out;
    }
    plain = std::move(*unpacked);
    bytes = plain;
  }
  size_t code_bytes = extract_resource_blocks(bytes, module, table, records);
  std::u16string text = normalize_line_feeds(decode_script_file(bytes.substr(0, code_bytes)));
  // An interpreter line ("#!/usr/bin/env quazel") lets a script run as a program; it is not code.
  if (text.size() >= 2 && text[0] == u'#' && text[1] == u'!') {
    size_t end = text.find(u'\n');
    text.erase(0, end == std::u16string::npos ? text.size() : end + 1);
    out.first_line = 2;
  }
  out.text = std::move(text);
  return out;
}

}  // namespace qz::tr
