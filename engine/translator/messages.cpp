#include "engine/translator/messages.h"

namespace qz::tr {

void Messenger::add(TranslatorMessage::Kind kind, std::u16string_view subject) {
  using K = TranslatorMessage::Kind;
  std::u16string s(subject);
  TranslatorMessage m{kind, russian_ ? u"Внимание" : u"Warning", {}, false};
  switch (kind) {
    case K::MissingLibrary:
      m.text = russian_ ? u"Библиотека '" + s + u".qz' не найдена!" : u"Library '" + s + u".qz' not found!";
      break;
    case K::MissingInclude:
      m.text = russian_ ? u"Файл '" + s + u"' для #Include не найден!" : u"#Include file '" + s + u"' not found!";
      break;
    case K::IncludeNotRegular:
      m.text = russian_ ? u"Файл '" + s + u"' для #Include не является обычным файлом!"
                        : u"#Include file '" + s + u"' is not a regular file!";
      break;
    case K::IncludeFileTooLarge:
      m.text = russian_ ? u"Файл '" + s + u"' для #Include больше 256 МБ!"
                        : u"#Include file '" + s + u"' is larger than 256 MiB!";
      break;
    case K::IncludeCycle:
      m.text = russian_ ? u"Файл '" + s + u"' включает сам себя (#Include), включение пропущено!"
                        : u"#Include file '" + s + u"' includes itself; the include was skipped!";
      break;
    case K::IncludeTooDeep:
      m.text = russian_ ? u"Слишком глубокая вложенность #Include на файле '" + s + u"'!"
                        : u"#Include nesting too deep at file '" + s + u"'!";
      break;
    case K::IncludeTooLarge:
      m.text = russian_ ? u"Текст скрипта слишком велик после #Include '" + s + u"'!"
                        : u"Script text too large after #Include '" + s + u"'!";
      break;
    case K::LibraryTooDeep:
      m.text = russian_ ? u"Слишком много библиотек (#Lib) при загрузке '" + s + u"'!"
                        : u"Too many libraries (#Lib) at '" + s + u"'!";
      break;
    case K::DamagedScript:
      m.text = russian_ ? u"Упакованный скрипт повреждён: '" + s + u"'!" : u"Packed script damaged: '" + s + u"'!";
      break;
    case K::InternalError:
      m.text = russian_ ? u"Ошибка транслятора: " + s : u"Translator error: " + s;
      break;
  }
  result_.messages.push_back(std::move(m));
}

void Messenger::flush() {
  for (; flushed_ < result_.messages.size(); ++flushed_) {
    TranslatorMessage& m = result_.messages[flushed_];
    if (state_.no_show_error) continue;
    m.shown = true;
    host_.show_message(m.title, m.text);
  }
}

}  // namespace qz::tr
