#include "engine/make/resource_blocks.h"

#include "engine/make/make_paths.h"
#include "engine/pack/file_replace.h"
#include "formats/base64.h"
#include "platform/codepage.h"
#include "platform/path.h"

namespace qz::make {

namespace {

std::u16string replace_all(std::u16string text, std::u16string_view from, std::u16string_view to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::u16string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

}  // namespace

std::string resource_blocks(const std::vector<ResfileLine>& lines, int ini_codepage, const std::string& folder,
                            const MakeContext& ctx) {
  auto bytes = [&](std::u16string_view text) { return encode(ini_codepage, text); };
  std::string out;
  for (const ResfileLine& line : lines) {
    const bool inline_text = !line.value.empty() && line.value[0] == u'*';
    std::u16string_view name = inline_text ? std::u16string_view(u"info") : file_name_part(line.value);
    out += "\r\n<#res id=" + bytes(line.name) + " name=\"" + bytes(name) + "\" " + bytes(line.flag) + " #>\r\n";
    if (inline_text) {
      out += bytes(replace_all(line.value.substr(1), u"<#vbcrlf#>", u"\r\n"));
    } else {
      std::string path = ini_path(line.value, folder, ctx);
      std::string error;
      auto data = file_exists(path) ? pack::read_whole_file(path, error) : std::nullopt;
      if (!data) {
        ctx.report("resource file " + path + " cannot be read; its block \"" + bytes(line.name) + "\" stays empty");
      } else {
        // Only the flag as make itself writes it, in lower case, encodes the data.
        out += line.flag == u":base64" ? base64_encode_lines(*data) : *data;
      }
    }
    out += "\r\n<#res#>\r\n";
  }
  return out;
}

}  // namespace qz::make
