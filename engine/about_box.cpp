#include "engine/about_box.h"

#include "com/str.h"
#include "engine/version.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/event_loop.h"
#include "platform/output.h"
#include "platform/window/window_system.h"
#include "runtime/helpers/process_start.h"

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

AboutBoxTexts about_box_texts(int language_id, std::u16string help_file) {
  const bool ru = language_id == 1049;
  AboutBoxTexts t;
  t.caption = u"About Quazel";
  t.title = u"Quazel";
  t.version = u"Version " + utf8_to_u16(std::to_string(kEngineVersionMajor) + "." + std::to_string(kEngineVersionMinor));
  t.description = u"Скрипт-движок позволяет создавать мощные скрипты, в то же время обладая простым языком и графическим интерфейсом.";
  t.contacts = u"Интернет: " + std::u16string(kWebAddress) + u"\nПочта: " + std::u16string(kMailAddress);
  t.maker = ru ? u"Brenwick, разработчик Quazel" : u"Brenwick, the maker of Quazel";
  t.ok = u"OK";
  t.web_address = std::u16string(kWebAddress);
  t.help_file = std::move(help_file);
  return t;
}

void show_about_box(std::u16string help_file, std::function<void()> closed) {
  if (!dialogs_on_display()) {
    write_stderr(about_box_text(language_id()));
    if (closed) closed();
    return;
  }
  // The open box keeps the run alive until it is closed.
  EventLoop& loop = event_loop();
  loop.hold();
  window_system().dialogs().show_about_box(
      about_box_texts(language_id(), std::move(help_file)),
      [](const std::u16string& target) { open_with_desktop(target); },
      [&loop, closed] {
        loop.release();
        if (closed) closed();
      });
}

}  // namespace qz
