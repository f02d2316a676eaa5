#include "engine/translator/resource_blocks.h"

#include <cstdint>
#include <optional>

#include "engine/translator/text_util.h"
#include "formats/base64.h"
#include "platform/codepage.h"

namespace qz::tr {

namespace {

constexpr std::u16string_view kTagPattern =
    u"<#res *(id=)*([a-z0-9]*) *(name=\\\")*([^\\\"]*)\\\"* *(:base64)* *#>";

// The id of a tag: the integer part of a numeric text (digits, optionally an exponent written
// with e or d, as the language's IsNumeric takes it). Nullopt when the text is not numeric;
// a value above 32767 comes back as it is (the table refuses it).
std::optional<long long> parse_id(std::u16string_view text) {
  size_t i = 0;
  long long mantissa = 0;
  bool digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    digits = true;
    if (mantissa <= 1'000'000'000) mantissa = mantissa * 10 + (text[i] - '0');
  }
  if (!digits) return std::nullopt;
  if (i == text.size()) return mantissa;
  char16_t e = text[i] | 0x20;
  if (e != 'e' && e != 'd') return std::nullopt;
  ++i;
  int exponent = 0;
  bool exp_digits = false;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    exp_digits = true;
    if (exponent < 100) exponent = exponent * 10 + (text[i] - '0');
  }
  if (!exp_digits || i != text.size()) return std::nullopt;
  for (int k = 0; k < exponent && mantissa != 0 && mantissa <= 1'000'000'000; ++k) mantissa *= 10;
  return mantissa;
}

}  // namespace

size_t extract_resource_blocks(std::string_view bytes, int module, ResourceTable& table,
                               std::vector<ResourceRecord>& records) {
  // Positions in the text are byte offsets: each byte becomes the character of the same number.
  std::u16string text(bytes.begin(), bytes.end());
  for (auto& c : text) c = static_cast<unsigned char>(c);
  if (!may_hold(text, u"<#res")) return bytes.size();
  Regex rx;
  configure(rx, kTagPattern, true);
  std::vector<RegexMatch> tags = rx.execute(text);
  if (tags.empty()) return bytes.size();

  for (size_t i = 0; i + 1 < tags.size(); i += 2) {
    const RegexMatch& open = tags[i];
    const RegexMatch& close = tags[i + 1];
    std::optional<long long> id = parse_id(open.groups[1].value);
    if (!id) continue;
    // The line break after the opening tag and the one before the closing tag are not data.
    // The builder writes CR LF; a file saved with bare line feeds has LF alone there.
    size_t start = open.index + open.length;
    start += bytes.substr(start, 1) == "\n" ? 1 : 2;
    const bool lone_lf_before_close = bytes[close.index - 1] == '\n' && bytes[close.index - 2] != '\r';
    size_t last_plus_one = close.index - (lone_lf_before_close ? 1 : 2);
    ResourceRecord record;
    record.module = module;
    record.id = static_cast<int>(std::min<long long>(*id, INT32_MAX));
    std::string_view name_bytes = bytes.substr(open.groups[3].index, open.groups[3].value.size());
    record.name = open.groups[3].matched ? decode_script_file(name_bytes) : std::u16string();
    std::string data;
    if (last_plus_one > start) data.assign(bytes.substr(start, last_plus_one - start));
    record.base64 = open.groups[4].matched && open.groups[4].value == u":base64";
    if (record.base64) data = base64_decode(data);
    record.data = data;
    record.stored = *id <= ResourceTable::kMaxId && table.store(module, static_cast<int>(*id), {std::move(data), record.name});
    records.push_back(std::move(record));
  }
  return tags.front().index == 0 ? 0 : tags.front().index - 1;
}

std::u16string resource_class_text(int module) {
  const std::u16string n = num(module);
  std::u16string t;
  auto line = [&t](std::u16string_view s) { t.append(s).append(kCrLf); };
  line(u"Class def_Resource");
  line(u"Function NameRes(numRes)");
  line(u"  NameRes = Sys.Resource.NameRes(numRes," + n + u")");
  line(u"End Function");
  line(u"Function Picture(numRes)");
  line(u"  Set Picture = Sys.Resource.Picture(numRes," + n + u")");
  line(u"End Function");
  line(u"Sub File(numRes,nameFile)");
  line(u"  Call Sys.Resource.File(numRes," + n + u",nameFile)");
  line(u"End Sub");
  line(u"Sub Buffer(numRes, buf)");
  line(u"  Sys.Resource.Buffer numRes," + n + u", buf");
  line(u"End Sub");
  line(u"Function Str(numRes)");
  line(u"  Str = Sys.Resource.Str(numRes," + n + u")");
  line(u"End Function");
  line(u"End Class");
  line(u"Dim Resource");
  line(u"Set Resource = New def_Resource");
  line(u"");
  return t;
}

}  // namespace qz::tr
