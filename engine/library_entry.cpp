#include "engine/library_entry.h"

#include <string>

#include "com/progid.h"
#include "engine/quazel_object.h"
#include "engine/version.h"
#include "platform/event_loop.h"
#include "platform/output.h"

extern "C" {

__attribute__((visibility("default"))) void quazel_set_event_loop(qz::EventLoop* loop) {
  qz::set_event_loop(loop);
}

__attribute__((visibility("default"))) void quazel_share_stdio(void* state) { qz::share_stdio_state(state); }

__attribute__((visibility("default"))) qz::Object* quazel_create_object(const char16_t* progid) {
  if (!progid) return nullptr;
  try {
    qz::register_quazel_class();
    qz::Ref<qz::Object> obj = qz::create_object(progid);
    return obj.detach();
  } catch (...) {
    return nullptr;
  }
}

__attribute__((visibility("default"))) const char16_t* quazel_engine_version() {
  static const std::u16string text = [] {
    std::string t = std::to_string(qz::kEngineVersionMajor) + "." + std::to_string(qz::kEngineVersionMinor) + "." +
                    std::to_string(qz::kEngineVersionRevision);
    return std::u16string(t.begin(), t.end());
  }();
  return text.c_str();
}

}  // extern "C"
