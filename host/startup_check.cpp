#include "host/startup_check.h"

#include "com/convert.h"
#include "engine/version.h"

namespace qz {

std::u16string host_version_text() {
  auto n = [](int v) { return utf8_to_u16(std::to_string(v)); };
  return n(kEngineVersionMajor) + u"." + n(kEngineVersionMinor) + u"." + n(kEngineVersionRevision);
}

bool engine_version_usable(std::u16string_view engine_version, std::u16string_view host_version) {
  return !(host_version > engine_version);
}

std::u16string probe_engine_version(Object& engine) {
  try {
    engine.call(u"Command", {Variant(u"rc = 0 /run")});
    std::u16string version = to_u16(engine.call(u"Eval", {Variant(u"qzl_version")}));
    std::u16string build = to_u16(engine.call(u"Eval", {Variant(u"qzl_Build")}));
    if (version.empty() && build.empty()) return {};
    return version + u"." + build;
  } catch (...) {
    return {};
  }
}

std::u16string unusable_engine_message(int langid, std::u16string_view found, std::u16string_view detail) {
  std::u16string need = host_version_text();
  std::u16string out;
  if (langid == 1049) {
    out = u"quazel: библиотека движка libquazel.so ";
    out += found.empty() ? u"не найдена или не отвечает" : u"версии " + std::u16string(found) + u" старше этой программы";
    out += u"; нужна версия " + need + u" или новее. Установите Quazel заново.\n";
  } else {
    out = u"quazel: the engine library libquazel.so ";
    out += found.empty() ? u"is missing or does not answer" : u"is version " + std::u16string(found) + u", older than this program";
    out += u"; version " + need + u" or later is needed. Install Quazel again.\n";
  }
  if (!detail.empty()) out += u"quazel: " + std::u16string(detail) + u"\n";
  return out;
}

}  // namespace qz
