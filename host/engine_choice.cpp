#include "host/engine_choice.h"

#include "com/convert.h"
#include "host/embedded_script_reader.h"
#include "host/startup_check.h"
#include "platform/path.h"

namespace qz {

namespace {

// The version of a library's engine; a probe that is released at once must be created. A
// library that states its version is not made to translate a script for it.
std::u16string version_of(const EngineLibrary& library) {
  std::string error;
  Ref<Object> probe = create_engine(library, error);
  if (!probe) return {};
  if (library.version) {
    const char16_t* text = library.version();
    return text ? std::u16string(text) : std::u16string();
  }
  return probe_engine_version(*probe);
}

}  // namespace

EngineChoice choose_engine(EventLoop& loop, int langid) {
  EngineChoice out;
  const std::u16string host = host_version_text();
  std::u16string found;  // the version of the last engine that answered
  std::string detail;    // what was wrong with the first place that failed
  auto note = [&](std::string why) {
    if (detail.empty()) detail = std::move(why);
  };
  // An opened library becomes the choice when its engine is new enough.
  auto accept = [&](std::optional<EngineLibrary>& library) {
    std::u16string version = library ? version_of(*library) : std::u16string();
    if (!version.empty()) found = version;
    if (!library || !engine_version_usable(version, host)) return false;
    out.library = std::move(library);
    return true;
  };

  for (const EngineCandidate& c : engine_library_candidates()) {
    const bool file = c.source != EngineSource::Installed;
    if (file && !file_exists(c.path)) {
      note(c.path + ": no such file");
      continue;
    }
    std::string error;
    std::optional<EngineLibrary> library = open_engine_library(c.path, loop, error);
    const bool opened = library.has_value();
    if (accept(library)) return out;
    // Nothing installed is the usual case for a standalone program: not worth a word.
    if (!opened && c.source == EngineSource::Installed) continue;
    if (!opened) note(error);
    if (c.source == EngineSource::Variable || c.source == EngineSource::Beside) {
      out.message = unusable_engine_message(langid, opened ? found : u"", utf8_to_u16(opened ? c.path : error));
      return out;
    }
  }

  CarriedEngine carried = read_own_carried_engine();
  if (carried.state == CarriedEngine::State::Damaged) {
    out.message = damaged_engine_message(langid, utf8_to_u16(carried.error));
    return out;
  }
  if (carried.state == CarriedEngine::State::Intact) {
    std::string error;
    std::optional<EngineLibrary> library = open_engine_from_memory(carried.library, loop, error);
    const bool opened = library.has_value();
    if (accept(library)) return out;
    detail = opened ? "the carried engine is too old" : "the carried engine: " + error;
  }
  out.message = unusable_engine_message(langid, found, utf8_to_u16(detail));
  return out;
}

}  // namespace qz
