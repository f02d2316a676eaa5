#include "services/conv/transliteration.h"

#include <span>

namespace qz {

namespace {

struct Step {
  std::u16string_view find;
  std::u16string_view replace;
};

std::u16string apply_steps(std::u16string_view text, std::span<const Step> steps) {
  std::u16string s(text);
  for (const Step& step : steps) {
    if (s.find(step.find) == std::u16string::npos) continue;
    std::u16string out;
    out.reserve(s.size());
    size_t from = 0;
    for (size_t at; (at = s.find(step.find, from)) != std::u16string::npos; from = at + step.find.size()) {
      out.append(s, from, at - from);
      out.append(step.replace);
    }
    out.append(s, from, std::u16string::npos);
    s = std::move(out);
  }
  return s;
}

constexpr Step kRussianToLatin[] = {
    {u"А", u"A"},  {u"а", u"a"},  {u"Б", u"B"},  {u"б", u"b"},   {u"В", u"V"},  {u"в", u"v"},
    {u"Г", u"G"},  {u"г", u"g"},  {u"Д", u"D"},  {u"д", u"d"},   {u"Е", u"E"},  {u"е", u"e"},
    {u"З", u"Z"},  {u"з", u"z"},  {u"И", u"I"},  {u"и", u"i"},   {u"К", u"K"},  {u"к", u"k"},
    {u"Л", u"L"},  {u"л", u"l"},  {u"М", u"M"},  {u"м", u"m"},   {u"Н", u"N"},  {u"н", u"n"},
    {u"О", u"O"},  {u"о", u"o"},  {u"П", u"P"},  {u"п", u"p"},   {u"Р", u"R"},  {u"р", u"r"},
    {u"С", u"S"},  {u"с", u"s"},  {u"Т", u"T"},  {u"т", u"t"},   {u"У", u"U"},  {u"у", u"u"},
    {u"Ф", u"F"},  {u"ф", u"f"},  {u"Ц", u"C"},  {u"ц", u"c"},   {u"Ы", u"Y"},  {u"ы", u"y"},
    {u"Ь", u"'"},  {u"ь", u"'"},  {u"Ё", u"JO"}, {u"ё", u"jo"},  {u"Ж", u"ZH"}, {u"ж", u"zh"},
    {u"Й", u"JJ"}, {u"й", u"jj"}, {u"Х", u"KH"}, {u"х", u"kh"},  {u"Ч", u"CH"}, {u"ч", u"ch"},
    {u"Ш", u"SH"}, {u"ш", u"sh"}, {u"Щ", u"HH"}, {u"щ", u"hh"},  {u"Ъ", u"``"}, {u"ъ", u"``"},
    {u"Э", u"EH"}, {u"э", u"eh"}, {u"Ю", u"JU"}, {u"ю", u"ju"},  {u"Я", u"JA"}, {u"я", u"ja"},
};

constexpr Step kLatinToRussian[] = {
    {u"JO", u"Ё"}, {u"jo", u"ё"}, {u"ZH", u"Ж"}, {u"zh", u"ж"}, {u"JJ", u"Й"}, {u"jj", u"й"},
    {u"KH", u"Х"}, {u"kh", u"х"}, {u"CH", u"Ч"}, {u"ch", u"ч"}, {u"SH", u"Ш"}, {u"sh", u"ш"},
    {u"HH", u"Щ"}, {u"hh", u"щ"}, {u"``", u"ъ"}, {u"EH", u"Э"}, {u"eh", u"э"}, {u"JU", u"Ю"},
    {u"ju", u"ю"}, {u"JA", u"Я"}, {u"ja", u"я"},
    {u"A", u"А"},  {u"a", u"а"},  {u"B", u"Б"},  {u"b", u"б"},  {u"V", u"В"},  {u"v", u"в"},
    {u"G", u"Г"},  {u"g", u"г"},  {u"D", u"Д"},  {u"d", u"д"},  {u"E", u"Е"},  {u"e", u"е"},
    {u"Z", u"З"},  {u"z", u"з"},  {u"I", u"И"},  {u"i", u"и"},  {u"K", u"К"},  {u"k", u"к"},
    {u"L", u"Л"},  {u"l", u"л"},  {u"M", u"М"},  {u"m", u"м"},  {u"N", u"Н"},  {u"n", u"н"},
    {u"O", u"О"},  {u"o", u"о"},  {u"P", u"П"},  {u"p", u"п"},  {u"R", u"Р"},  {u"r", u"р"},
    {u"S", u"С"},  {u"s", u"с"},  {u"T", u"Т"},  {u"t", u"т"},  {u"U", u"У"},  {u"u", u"у"},
    {u"F", u"Ф"},  {u"f", u"ф"},  {u"C", u"Ц"},  {u"c", u"ц"},  {u"Y", u"Ы"},  {u"y", u"ы"},
    {u"'", u"ь"},
};

// Keys of the Latin layout and the Russian letters on them: the upper-case column first, then
// the lower-case one, row by row.
constexpr std::u16string_view kLatinKeys = u"QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>~qwertyuiop[]asdfghjkl;'zxcvbnm,.`";
constexpr std::u16string_view kRussianKeys = u"ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮЁйцукенгшщзхъфывапролджэячсмитьбюё";
static_assert(kLatinKeys.size() == 66 && kRussianKeys.size() == 66);

// One key at a time, as the step sequence would do it (the two alphabets are disjoint).
std::u16string map_keys(std::u16string_view text, std::u16string_view from, std::u16string_view to) {
  std::u16string s(text);
  for (char16_t& c : s) {
    size_t k = from.find(c);
    if (k != std::u16string_view::npos) c = to[k];
  }
  return s;
}

}  // namespace

std::u16string russian_to_latin(std::u16string_view text) { return apply_steps(text, kRussianToLatin); }
std::u16string latin_to_russian(std::u16string_view text) { return apply_steps(text, kLatinToRussian); }
std::u16string latin_keys_to_russian(std::u16string_view text) { return map_keys(text, kLatinKeys, kRussianKeys); }
std::u16string russian_keys_to_latin(std::u16string_view text) { return map_keys(text, kRussianKeys, kLatinKeys); }

}  // namespace qz
