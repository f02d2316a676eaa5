// Reading make.ini: the sections [options], [resfile] and [resource], their key lines and the
// resource edit lines. Names, keys and fixed words match without regard to case. A section
// runs from its header to the next "[" (so no value may hold one); a key must start a line;
// a value runs to the end of its line, whether lines end with CR LF or with LF alone.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qz::make {

// The text of the first section `name` (without brackets) that has any text, "" when none.
std::u16string section_text(std::u16string_view ini, std::u16string_view name);

// The value of the first line "key = value" of a section. With allow_empty false a line with
// nothing after "=" does not count.
std::optional<std::u16string> key_value(std::u16string_view section, std::u16string_view key, bool allow_empty);

// True when a line "key = word..." exists, the value starting with `word` (any case).
bool key_starts_with(std::u16string_view section, std::u16string_view key, std::u16string_view word);

// One line "name[:base64] = value" of [resfile].
struct ResfileLine {
  std::u16string name;   // letters and digits
  std::u16string flag;   // ":base64" as written, or ""
  std::u16string value;  // a file path, or "*" and an inline text
};
std::vector<ResfileLine> resfile_lines(std::u16string_view section);

// One line "kind.action.lang.section.table.key = value" of [resource].
struct ResourceEdit {
  std::u16string kind, action, lang, section, table, key, value;
};
std::vector<ResourceEdit> resource_edits(std::u16string_view section);

}  // namespace qz::make
