#include "host/startup_check.h"

#include <algorithm>
#include <vector>

#include "com/convert.h"
#include "engine/version.h"

namespace qz {

std::u16string host_version_text() {
  auto n = [](int v) { return utf8_to_u16(std::to_string(v)); };
  return n(kEngineVersionMajor) + u"." + n(kEngineVersionMinor) + u"." + n(kEngineVersionRevision);
}

std::optional<int> compare_versions(std::u16string_view a, std::u16string_view b) {
  // Each text is numbers joined by single dots, every number at least one digit.
  auto numbers = [](std::u16string_view text) -> std::optional<std::vector<uint64_t>> {
    std::vector<uint64_t> out(1, 0);
    bool digit_seen = false;
    for (char16_t c : text) {
      if (c == u'.') {
        if (!digit_seen) return std::nullopt;
        out.push_back(0);
        digit_seen = false;
      } else if (c >= u'0' && c <= u'9' && out.back() < 1'000'000'000) {
        out.back() = out.back() * 10 + static_cast<uint64_t>(c - u'0');
        digit_seen = true;
      } else {
        return std::nullopt;
      }
    }
    if (!digit_seen) return std::nullopt;
    return out;
  };
  auto x = numbers(a), y = numbers(b);
  if (!x || !y) return std::nullopt;
  // Number by number from the left; a missing number counts as 0, so 8.0 equals 8.0.0.
  for (size_t i = 0; i < std::max(x->size(), y->size()); ++i) {
    uint64_t p = i < x->size() ? (*x)[i] : 0, q = i < y->size() ? (*y)[i] : 0;
    if (p != q) return p < q ? -1 : 1;
  }
  return 0;
}

bool engine_version_usable(std::u16string_view engine_version, std::u16string_view host_version) {
  auto order = compare_versions(engine_version, host_version);
  return order && *order >= 0;
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

std::u16string damaged_engine_message(int langid, std::u16string_view why) {
  if (langid == 1049)
    return u"quazel: библиотека движка, которую несёт эта программа, повреждена (" + std::u16string(why) +
           u"); соберите программу заново или установите Quazel.\n";
  return u"quazel: the engine library this program carries is damaged (" + std::u16string(why) +
         u"); build the program again or install Quazel.\n";
}

}  // namespace qz
