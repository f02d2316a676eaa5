// Transliteration and keyboard-layout retyping: the documented examples, whole alphabets both
// ways, and the cases where the way back is not the way there.
#include <gtest/gtest.h>

#include "com/str.h"
#include "services/conv/transliteration.h"

namespace qz {
namespace {

TEST(Transliteration, Examples) {
  struct Case { const char16_t* russian; const char16_t* latin; };
  const Case both_ways[] = {
      {u"Щука", u"HHuka"},
      {u"Жёлтый Чай", u"ZHjoltyjj CHajj"},
      {u"Юла, Эхо, ящик", u"JUla, EHkho, jahhik"},
      {u"съел", u"s``el"},
      {u"123 (?!)", u"123 (?!)"},
      {u"", u""},
  };
  for (const Case& c : both_ways) {
    EXPECT_EQ(russian_to_latin(c.russian), c.latin) << u16_to_utf8(c.russian);
    EXPECT_EQ(latin_to_russian(c.latin), c.russian) << u16_to_utf8(c.latin);
  }
  // Mixed case is no two-letter form; Ь and Ъ come back lower-case.
  EXPECT_EQ(latin_to_russian(u"Shh"), u"Сщ");
  EXPECT_EQ(russian_to_latin(u"ЬЪ"), u"'``");
  EXPECT_EQ(latin_to_russian(u"'``"), u"ьъ");
  EXPECT_EQ(russian_to_latin(u"abc Q"), u"abc Q");
  // Latin letters with no Russian step stay.
  EXPECT_EQ(latin_to_russian(u"qwxWQ"), u"qwxWQ");
}

TEST(Transliteration, WholeAlphabetsRoundTrip) {
  std::u16string upper, lower_case;
  for (char16_t c = u'А'; c <= u'Я'; ++c)
    if (c != u'Ъ' && c != u'Ь') upper.push_back(c);
  for (char16_t c = u'а'; c <= u'я'; ++c) lower_case.push_back(c);
  upper += u'Ё';
  lower_case += u'ё';
  EXPECT_EQ(latin_to_russian(russian_to_latin(upper)), upper);
  EXPECT_EQ(latin_to_russian(russian_to_latin(lower_case)), lower_case);
  for (char16_t c : russian_to_latin(upper + lower_case)) EXPECT_LT(c, 0x80);
}

TEST(KeyboardLayouts, RetypesEveryKey) {
  EXPECT_EQ(latin_keys_to_russian(u"ghbdtn"), u"привет");
  EXPECT_EQ(russian_keys_to_latin(u"привет"), u"ghbdtn");
  const std::u16string latin = u"QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>~qwertyuiop[]asdfghjkl;'zxcvbnm,.`";
  const std::u16string russian = latin_keys_to_russian(latin);
  EXPECT_EQ(russian, u"ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁйцукенгшщзхъфывапролджэячсмитьбюё");
  EXPECT_EQ(russian_keys_to_latin(russian), latin);
  // Keys outside the table stay.
  EXPECT_EQ(latin_keys_to_russian(u"1 ?/"), u"1 ?/");
  EXPECT_EQ(russian_keys_to_latin(u"1 ?/ ABC"), u"1 ?/ ABC");
}

}  // namespace
}  // namespace qz
