#include "services/conv/pair_tables.h"

#include "com/str.h"
#include "platform/codepage.h"

namespace qz {

namespace {

// Windows-1251 partners of the KOI8-R letters C0..FF, in order.
constexpr uint8_t kKoiLetters[64] = {
    0xFE, 0xE0, 0xE1, 0xF6, 0xE4, 0xE5, 0xF4, 0xE3, 0xF5, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE,
    0xEF, 0xFF, 0xF0, 0xF1, 0xF2, 0xF3, 0xE6, 0xE2, 0xFC, 0xFB, 0xE7, 0xF8, 0xFD, 0xF9, 0xF7, 0xFA,
    0xDE, 0xC0, 0xC1, 0xD6, 0xC4, 0xC5, 0xD4, 0xC3, 0xD5, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE,
    0xCF, 0xDF, 0xD0, 0xD1, 0xD2, 0xD3, 0xC6, 0xC2, 0xDC, 0xDB, 0xC7, 0xD8, 0xDD, 0xD9, 0xD7, 0xDA,
};

void add_pair(std::string& t, unsigned a, unsigned b) {
  t.push_back(static_cast<char>(a));
  t.push_back(static_cast<char>(b));
}

// 68 pairs: ё, Ё and the inverse of Ё's code, the 64 letters, then 0 to 0.
std::string make_koi8r() {
  std::string t;
  add_pair(t, 0xA3, 0xB8);
  add_pair(t, 0xB3, 0xA8);
  add_pair(t, 0xB8, 0xA3);
  for (unsigned k = 0; k < 64; ++k) add_pair(t, 0xC0 + k, kKoiLetters[k]);
  add_pair(t, 0x00, 0x00);
  return t;
}

// 66 pairs: А..п, р..я, Ё, ё.
std::string make_cp866() {
  std::string t;
  for (unsigned k = 0; k < 48; ++k) add_pair(t, 0x80 + k, 0xC0 + k);
  for (unsigned k = 0; k < 16; ++k) add_pair(t, 0xE0 + k, 0xF0 + k);
  add_pair(t, 0xF0, 0xA8);
  add_pair(t, 0xF1, 0xB8);
  return t;
}

// 96 pairs: every character of ISO 8859-5 A0..FF with its Windows-1251 code (no-break space,
// Ё..Џ, the letters, №, ё..џ, §), as the two standard pages define them.
std::string make_iso() {
  std::string t;
  for (unsigned iso = 0xA0; iso <= 0xFF; ++iso) {
    const char16_t c = decode_byte(28595, static_cast<unsigned char>(iso));
    for (unsigned win = 0x80; win <= 0xFF; ++win) {
      if (decode_byte(1251, static_cast<unsigned char>(win)) != c) continue;
      add_pair(t, iso, win);
      break;
    }
  }
  return t;
}

}  // namespace

std::optional<std::string_view> builtin_pair_table(std::u16string_view name) {
  static const std::string koi8r = make_koi8r(), cp866 = make_cp866(), iso = make_iso();
  std::u16string n = upper(name);
  if (n == u"KOI8-R") return koi8r;
  if (n == u"CP866") return cp866;
  if (n == u"ISO") return iso;
  return std::nullopt;
}

std::array<uint8_t, 256> pair_map(std::string_view table, PairDirection direction) {
  std::array<uint8_t, 256> map{};
  for (unsigned i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
  for (size_t i = 0; i + 1 < table.size(); i += 2) {
    uint8_t a = static_cast<uint8_t>(table[i]), b = static_cast<uint8_t>(table[i + 1]);
    if (direction == PairDirection::FromWindows) map[b] = a;
    else map[a] = b;
  }
  return map;
}

std::string map_bytes(std::string_view bytes, const std::array<uint8_t, 256>& map) {
  std::string out(bytes);
  for (char& c : out) c = static_cast<char>(map[static_cast<uint8_t>(c)]);
  return out;
}

}  // namespace qz
