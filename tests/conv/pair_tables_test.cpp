// The three built-in pair tables: their exact sizes and overrides, and agreement with the
// platform's full code-page tables on the letters they carry.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "services/conv/pair_tables.h"

namespace qz {
namespace {

std::string_view table(std::u16string_view name) {
  auto t = builtin_pair_table(name);
  EXPECT_TRUE(t.has_value()) << u16_to_utf8(name);
  return t ? *t : std::string_view();
}

TEST(PairTables, NamesAndSizes) {
  EXPECT_EQ(table(u"koi8-r").size(), 136u);
  EXPECT_EQ(table(u"KOI8-R"), table(u"Koi8-r"));
  EXPECT_EQ(table(u"cp866").size(), 132u);
  EXPECT_EQ(table(u"iso").size(), 192u);  // all of A0..FF
  EXPECT_FALSE(builtin_pair_table(u"koi8-u").has_value());
  EXPECT_FALSE(builtin_pair_table(u"").has_value());
}

// Each (foreign, 1251) pair names the same character in both pages, apart from the pairs that
// the tables carry for their own reasons (listed).
TEST(PairTables, LettersAgreeWithThePlatformPages) {
  struct Page { std::u16string_view name; int codepage; std::vector<std::pair<int, int>> exceptions; };
  const Page pages[] = {
      {u"koi8-r", 20866, {{0xB8, 0xA3}}},
      {u"cp866", 866, {}},
      {u"iso", 28595, {}},
  };
  for (const Page& p : pages) {
    std::string_view t = table(p.name);
    int letters = 0;
    for (size_t i = 0; i + 1 < t.size(); i += 2) {
      int a = static_cast<uint8_t>(t[i]), b = static_cast<uint8_t>(t[i + 1]);
      if (std::find(p.exceptions.begin(), p.exceptions.end(), std::make_pair(a, b)) != p.exceptions.end()) continue;
      char16_t foreign = decode_byte(p.codepage, static_cast<unsigned char>(a));
      char16_t windows = decode_byte(1251, static_cast<unsigned char>(b));
      bool letter = (foreign >= u'А' && foreign <= u'я') || foreign == u'ё' || foreign == u'Ё';
      EXPECT_EQ(foreign, windows) << u16_to_utf8(p.name) << " pair " << a << "," << b;
      letters += letter;
    }
    EXPECT_GE(letters, p.codepage == 28595 ? 65 : 66) << u16_to_utf8(p.name);
  }
}

TEST(PairTables, LaterPairsOverrideAndDirectionsDiffer) {
  auto win_iso = pair_map(table(u"iso"), PairDirection::FromWindows);
  auto iso_win = pair_map(table(u"iso"), PairDirection::ToWindows);
  // ISO 8859-5 both ways, as iconv converts it: (Windows-1251, ISO) codes of one character.
  const std::pair<int, int> same_character[] = {
      {0xA8, 0xA1},  // Ё
      {0xB8, 0xF1},  // ё
      {0xA0, 0xA0},  // no-break space
      {0xC0, 0xB0},  // А
      {0xFF, 0xEF},  // я
      {0xB9, 0xF0},  // №
      {0xA7, 0xFD},  // §
      {0x80, 0xA2},  // Ђ
      {0x41, 0x41},  // outside the table: identity
  };
  for (auto [win, iso] : same_character) {
    EXPECT_EQ(win_iso[win], iso) << win;
    EXPECT_EQ(iso_win[iso], win) << iso;
  }
  auto win_866 = pair_map(table(u"cp866"), PairDirection::FromWindows);
  EXPECT_EQ(win_866[0xA8], 0xF0);  // Ё
  auto koi_win = pair_map(table(u"koi8-r"), PairDirection::ToWindows);
  EXPECT_EQ(koi_win[0xC1], 0xE0);  // а
  // A trailing unpaired byte is ignored; an empty table is the identity.
  auto odd = pair_map("xaz", PairDirection::ToWindows);
  EXPECT_EQ(odd['x'], 'a');
  EXPECT_EQ(odd['z'], 'z');
  EXPECT_EQ(map_bytes("abc", pair_map("", PairDirection::FromWindows)), "abc");
  EXPECT_EQ(map_bytes(std::string_view("a\0b", 3), pair_map("xa", PairDirection::FromWindows)), std::string("x\0b", 3));
}

}  // namespace
}  // namespace qz
