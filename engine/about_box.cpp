#include "engine/about_box.h"

#include "com/str.h"
#include "engine/version.h"
#include "platform/codepage.h"
#include "platform/output.h"

namespace qz {

namespace {
constexpr std::u16string_view kWebAddress = u"https://quazel.example.org";
constexpr std::u16string_view kMailAddress = u"quazel@example.org";
}  // namespace

std::u16string about_box_text(int language_id) {
  const bool ru = language_id == 1049;
  std::u16string version = utf8_to_u16(std::to_string(kEngineVersionMajor) + "." + std::to_string(kEngineVersionMinor));
  std::u16string t;
  t += u"About Quazel\n";
  t += u"Quazel\n";
  t += (ru ? u"Версия " : u"Version ") + version + u"\n";
  t += ru ? u"Скрипт-движок позволяет создавать мощные скрипты, в то же время обладая простым языком и графическим интерфейсом.\n"
          : u"A script engine for powerful scripts with a simple language and a graphical interface.\n";
  t += (ru ? u"Интернет: " : u"Internet: ") + std::u16string(kWebAddress) + u"\n";
  t += (ru ? u"Почта: " : u"Mail: ") + std::u16string(kMailAddress) + u"\n";
  t += ru ? u"Запуск: quazel script.qz [аргументы]\n" : u"Usage: quazel script.qz [arguments]\n";
  return t;
}

void show_about_box() { write_stderr(about_box_text(language_id())); }

}  // namespace qz
