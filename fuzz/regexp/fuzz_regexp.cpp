// Compiles arbitrary patterns and runs Test, Execute and Replace on a short subject.
// Input: one flag byte (bit 0 Global, 1 IgnoreCase, 2 MultiLine), then UTF-16 code units
// (little-endian pairs, lone surrogates allowed): the pattern up to the first NUL unit, then
// the subject. A bad pattern may raise its regular-expression error or a limit error; anything
// else, or a match that breaks the invariants below, aborts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "com/error.h"
#include "script/regexp/regex.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

void check_match(const qz::RegexMatch& m, std::u16string_view text) {
  check(m.index <= text.size() && m.length <= text.size() - m.index);
  check(text.substr(m.index, m.length) == m.value);
  for (const auto& g : m.groups) {
    if (!g.matched) continue;
    check(g.index <= text.size() && g.value.size() <= text.size() - g.index);
    check(text.substr(g.index, g.value.size()) == g.value);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  uint8_t flags = data[0];
  std::u16string units;
  for (size_t i = 1; i + 1 < size; i += 2) units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  size_t nul = units.find(u'\0');
  std::u16string pattern = units.substr(0, nul);
  std::u16string text = nul == std::u16string::npos ? u"" : units.substr(nul + 1);
  if (text.size() > 512) text.resize(512);

  qz::Regex rx;
  rx.set_pattern(pattern);
  rx.set_global(flags & 1);
  rx.set_ignore_case(flags & 2);
  rx.set_multiline(flags & 4);
  try {
    bool found = rx.test(text);
    auto matches = rx.execute(text);
    check(found == !matches.empty());
    check(rx.global() || matches.size() <= 1);
    size_t end = 0;
    for (const auto& m : matches) {
      check_match(m, text);
      check(m.index >= end);  // in order, never overlapping
      end = m.index + m.length;
      check(m.groups.size() == rx.group_count());
    }
    std::u16string out = rx.replace(text, u"<$1$&$`$'$$$9$10$>");
    if (matches.empty()) check(out == text);
  } catch (const qz::ScriptError& e) {
    check((e.number >= 5017 && e.number <= 5021) || e.number == qz::kErrOutOfStack ||
          e.number == qz::kErrOutOfMemory);
  }
  return 0;
}
