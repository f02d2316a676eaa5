#include "host/startup_check.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "com/convert.h"
#include "engine/version.h"

namespace qz {

std::u16string host_version_text() {
  auto n = [](int v) { return utf8_to_u16(std::to_string(v)); };
  return n(kEngineVersionMajor) + u"." + n(kEngineVersionMinor) + u"." + n(kEngineVersionRevision);
}

namespace {

// "8.0.10" -> {8, 0, 10}; a part that is no number counts as 0.
std::vector<uint64_t> version_parts(std::u16string_view text) {
  std::vector<uint64_t> parts;
  size_t start = 0;
  while (true) {
    size_t dot = text.find(u'.', start);
    std::u16string_view part = text.substr(start, dot == std::u16string_view::npos ? std::u16string_view::npos : dot - start);
    uint64_t n = 0;
    for (char16_t c : part) {
      if (c < u'0' || c > u'9') break;
      n = n > (UINT64_MAX - 9) / 10 ? UINT64_MAX : n * 10 + (c - u'0');
    }
    parts.push_back(n);
    if (dot == std::u16string_view::npos) break;
    start = dot + 1;
  }
  return parts;
}

}  // namespace

bool engine_version_usable(std::u16string_view engine_version, std::u16string_view host_version) {
  if (engine_version.empty()) return false;  // no engine answered
  std::vector<uint64_t> engine = version_parts(engine_version), host = version_parts(host_version);
  size_t n = std::max(engine.size(), host.size());
  engine.resize(n, 0);
  host.resize(n, 0);
  return engine >= host;  // part by part, as numbers
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
