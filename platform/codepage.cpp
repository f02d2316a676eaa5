#include "platform/codepage.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/codepage_tables.h"

namespace qz {
namespace {

constexpr int kLangRussian = 1049;
constexpr int kLangEnglish = 1033;

const char* env_value(const char* name) {
  const char* v = std::getenv(name);
  return (v && *v) ? v : nullptr;
}

// The upper half of a single-byte page; null for UTF-8 and for Latin-1, whose upper half is
// the identity.
const char16_t* upper_half(int resolved) {
  using namespace codepage_tables;
  switch (resolved) {
    case 437: return kCp437;
    case 866: return kCp866;
    case 1251: return kWin1251;
    case 1252: return kWin1252;
    case 20866: return kKoi8R;
    case 28595: return kIso8859_5;
    default: return nullptr;
  }
}

// Character -> byte for one page's upper half, sorted by character for binary search.
struct ReverseTable {
  std::array<std::pair<char16_t, unsigned char>, 128> entries;
  explicit ReverseTable(const char16_t* half) {
    for (int i = 0; i < 128; ++i) entries[i] = {half[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(entries.begin(), entries.end());
  }
  int find(char16_t c) const {
    auto it = std::lower_bound(entries.begin(), entries.end(), std::pair<char16_t, unsigned char>(c, 0));
    return (it != entries.end() && it->first == c) ? it->second : -1;
  }
};

const ReverseTable* reverse_table(int resolved) {
  using namespace codepage_tables;
  switch (resolved) {
    case 437: { static const ReverseTable t(kCp437); return &t; }
    case 866: { static const ReverseTable t(kCp866); return &t; }
    case 1251: { static const ReverseTable t(kWin1251); return &t; }
    case 1252: { static const ReverseTable t(kWin1252); return &t; }
    case 20866: { static const ReverseTable t(kKoi8R); return &t; }
    case 28595: { static const ReverseTable t(kIso8859_5); return &t; }
    default: return nullptr;
  }
}

int encode_resolved(int resolved, char16_t c) {
  if (c < 0x80) return c;
  if (resolved == 28591) return c < 0x100 ? c : -1;
  const ReverseTable* t = reverse_table(resolved);
  return t ? t->find(c) : -1;
}

char16_t decode_resolved(int resolved, unsigned char b) {
  if (b < 0x80) return b;
  const char16_t* half = upper_half(resolved);
  return half ? half[b - 0x80] : b;
}

}  // namespace

bool code_page_supported(int codepage) {
  switch (codepage) {
    case 0: case 1: case 3: case 437: case 866: case 1251: case 1252: case 20866:
    case 28591: case 28595: case 65001:
      return true;
    default:
      return false;
  }
}

int resolve_code_page(int codepage) {
  switch (codepage) {
    case 1: return oem_code_page();
    case 437: case 866: case 1251: case 1252: case 20866: case 28591: case 28595: case 65001:
      return codepage;
    default: return ansi_code_page();
  }
}

bool is_single_byte_page(int codepage) { return resolve_code_page(codepage) != 65001; }

void decode_into(int codepage, std::string_view bytes, char16_t* out) {
  int cp = resolve_code_page(codepage);
  for (size_t i = 0; i < bytes.size(); ++i) out[i] = decode_resolved(cp, static_cast<unsigned char>(bytes[i]));
}

Str decode_to_str(int codepage, std::string_view bytes) {
  if (!is_single_byte_page(codepage)) return Str(utf8_to_u16(bytes));
  return Str::build(bytes.size(), [&](char16_t* out) { decode_into(codepage, bytes, out); });
}

std::u16string decode(int codepage, std::string_view bytes) {
  if (!is_single_byte_page(codepage)) return utf8_to_u16(bytes);
  std::u16string out(bytes.size(), u'\0');
  decode_into(codepage, bytes, out.data());
  return out;
}

std::string encode(int codepage, std::u16string_view text) {
  int cp = resolve_code_page(codepage);
  if (cp == 65001) return u16_to_utf8(text);
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    int b = encode_resolved(cp, text[i]);
    out[i] = b < 0 ? '?' : static_cast<char>(b);
  }
  return out;
}

char16_t decode_byte(int codepage, unsigned char byte) {
  return decode_resolved(resolve_code_page(codepage), byte);
}

int encode_char(int codepage, char16_t c) {
  int cp = resolve_code_page(codepage);
  if (cp == 65001) return c < 0x80 ? c : -1;
  return encode_resolved(cp, c);
}

Str encode_to_byte_string(int codepage, std::u16string_view text) {
  std::string bytes = encode(codepage, text);
  return Str::from_bytes(bytes.data(), bytes.size());
}

std::u16string decode_byte_string(int codepage, const Str& bytes) {
  return decode(codepage, std::string_view(reinterpret_cast<const char*>(bytes.bytes()), bytes.byte_size()));
}

bool is_valid_utf8(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size(), i = 0;
  while (i < n) {
    unsigned char c = p[i];
    if (c < 0x80) { ++i; continue; }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;        // overlong
      else if (c == 0xED) hi = 0x9F;   // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;        // overlong
      else if (c == 0xF4) hi = 0x8F;   // above U+10FFFF
    } else {
      return false;
    }
    if (n - i < len) return false;
    if (p[i + 1] < lo || p[i + 1] > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if ((p[i + k] & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

int language_id() {
  if (const char* id = env_value("QUAZEL_LANGID"))
    return std::strcmp(id, "1049") == 0 ? kLangRussian : kLangEnglish;
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* v = env_value(name))
      return std::strncmp(v, "ru", 2) == 0 ? kLangRussian : kLangEnglish;
  }
  return kLangEnglish;
}

int ansi_code_page() { return language_id() == kLangRussian ? 1251 : 1252; }
int oem_code_page() { return language_id() == kLangRussian ? 866 : 437; }

int locale_code_page(int lcid) {
  if (lcid == 0 || lcid == -1) return ansi_code_page();
  const int primary = lcid & 0x3FF;
  const int sub = (lcid >> 10) & 0x3F;
  switch (primary) {
    case 0x00:  // neutral: the user's and the system's default locale (1024, 2048)
      return ansi_code_page();
    case 0x02: case 0x19: case 0x22: case 0x23: case 0x2F: case 0x3F: case 0x40: case 0x44:
    case 0x50:  // Bulgarian, Russian, Ukrainian, Belarusian, Macedonian, Kazakh, Kyrgyz, Tatar, Mongolian
      return 1251;
    case 0x1A:  // Serbian and Bosnian in Cyrillic script
      return sub == 0x03 || sub == 0x07 || sub == 0x08 ? 1251 : 1252;
    default:
      return 1252;
  }
}

int output_code_page() {
  const char* v = env_value("QUAZEL_OUTPUT_CP");
  if (!v) return 65001;
  char* end = nullptr;
  long cp = std::strtol(v, &end, 10);
  if (*end != '\0' || cp < 0 || cp > 65535 || !code_page_supported(static_cast<int>(cp))) return 65001;
  return resolve_code_page(static_cast<int>(cp));
}

namespace {

// UTF-8 when the bytes are valid UTF-8 (a leading BOM dropped), else the single-byte `page`.
// The code page is asked only for bytes that are not UTF-8: finding it reads the environment.
std::u16string decode_utf8_or(std::string_view bytes, int (*page)()) {
  if (is_valid_utf8(bytes)) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return utf8_to_u16(bytes);
  }
  return decode(page(), bytes);
}

}  // namespace

std::u16string decode_script_bytes(std::string_view bytes) { return decode_utf8_or(bytes, ansi_code_page); }

int byte_input_code_page() {
  int out = output_code_page();
  return out == 65001 ? ansi_code_page() : out;
}

int script_code_page() {
  const char* v = env_value("QUAZEL_SCRIPT_CP");
  if (v) {
    char* end = nullptr;
    long cp = std::strtol(v, &end, 10);
    if (*v && *end == '\0' && cp >= 0 && cp <= 65535 && code_page_supported(static_cast<int>(cp))) {
      int resolved = resolve_code_page(static_cast<int>(cp));
      if (resolved != 65001) return resolved;
    }
  }
  return 1251;
}

std::u16string decode_script_file(std::string_view bytes) { return decode_utf8_or(bytes, script_code_page); }

}  // namespace qz
