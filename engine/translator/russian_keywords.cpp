#include "engine/translator/russian_keywords.h"

#include <vector>

#include "engine/translator/text_util.h"

namespace qz::tr {

namespace {

struct Pair {
  std::u16string_view russian;
  std::u16string_view english;
};

// In replacement order: the order decides overlaps ("Конец Цикла" before "Конец", "По условию"
// and "Получить" before "По"; "Дим" also rewrites the tail of "Редим").
constexpr Pair kPairs[] = {
    {u"Функция", u"Function"}, {u"Процедура", u"Sub"}, {u"Вызов", u"Call"}, {u"Конст", u"Const"},
    {u"Дим", u"Dim"}, {u"Редим", u"Redim"}, {u"Коммен", u"Rem"}, {u"Конец Цикла", u"Loop"},
    {u"Цикл", u"Do"}, {u"Стереть", u"Erase"}, {u"Выход", u"Exit"}, {u"Для", u"For"},
    {u"Перебора", u"Each"}, {u"Дальше", u"Next"}, {u"Если", u"If"}, {u"Тогда", u"Then"},
    {u"Иначе", u"Else"}, {u"Частная", u"Private"}, {u"Публичная", u"Public"}, {u"Свойство", u"Property"},
    {u"Присвоить", u"Let"}, {u"Установить", u"Set"}, {u"Получить", u"Get"}, {u"Выбор", u"Select"},
    {u"Условие", u"Case"}, {u"Связан", u"With"}, {u"Истина", u"True"}, {u"Ложь", u"False"},
    {u"Нуль", u"Null"}, {u"Пусто", u"Empty"}, {u"Очистить", u"Nothing"}, {u"Сообщение", u"MsgBox"},
    {u"Есть", u"Is"}, {u"Конец", u"End"}, {u"СоздатьОбъект", u"CreateObject"}, {u"По условию", u"Until"},
    {u"По", u"To"}, {u"Шаг", u"Step"}, {u"Новый", u"New"}, {u"Как", u"As"}, {u"Тип", u"Type"},
    {u"а", u"a"}, {u"б", u"b"}, {u"в", u"v"}, {u"г", u"g"}, {u"д", u"d"}, {u"е", u"e"},
    {u"ё", u"jo"}, {u"ж", u"zh"}, {u"з", u"z"}, {u"и", u"i"}, {u"й", u"j"}, {u"к", u"k"},
    {u"л", u"l"}, {u"м", u"m"}, {u"н", u"n"}, {u"о", u"o"}, {u"п", u"p"}, {u"р", u"r"},
    {u"с", u"s"}, {u"т", u"t"}, {u"у", u"u"}, {u"ф", u"f"}, {u"х", u"x"}, {u"ц", u"c"},
    {u"ч", u"ch"}, {u"ш", u"sh"}, {u"щ", u"sch"}, {u"ъ", u"qi"}, {u"ы", u"y"}, {u"ь", u"qu"},
    {u"э", u"e"}, {u"ю", u"yu"}, {u"я", u"ya"},
};

bool has_cyrillic(std::u16string_view s) {
  for (char16_t c : s)
    if (c >= 0x400 && c <= 0x4FF) return true;
  return false;
}

// Every pair applied in order to a piece of code (matched without regard to case, no word
// boundaries: the texts hold no pattern characters, so they are matched as plain text).
std::u16string translate_code(std::u16string_view code) {
  if (!has_cyrillic(code)) return std::u16string(code);
  std::u16string s(code);
  for (const Pair& p : kPairs)
    if (icontains(s, p.russian)) s = ireplace_all(s, p.russian, p.english);
  return s;
}

// A line: the code between string literals is translated, each literal (from an opening quote
// through its closing quote) stays as written. After an odd last quote the rest is code; the
// quote itself stays.
std::u16string translate_line(std::u16string_view line) {
  if (!has_cyrillic(line)) return std::u16string(line);
  std::u16string out;
  size_t pos = 0;
  while (pos < line.size()) {
    size_t open = line.find(u'"', pos);
    if (open == std::u16string_view::npos) break;
    size_t close = line.find(u'"', open + 1);
    out += translate_code(line.substr(pos, open - pos));
    if (close == std::u16string_view::npos) {
      out.push_back(u'"');
      pos = open + 1;
      break;
    }
    out.append(line.substr(open, close - open + 1));
    pos = close + 1;
  }
  out += translate_code(line.substr(pos));
  return out;
}

}  // namespace

std::u16string translate_russian(std::u16string_view text) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::u16string_view line : split_crlf(text)) out.append(translate_line(line)).append(kCrLf);
  return out;
}

}  // namespace qz::tr
