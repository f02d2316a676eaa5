// Arbitrary bytes as VBScript source: compiled and run under a short Timeout and small
// limits. Any outcome but a clean result or a ScriptError is a bug.
#include <cstddef>
#include <cstdint>
#include <string>

#include "com/str.h"
#include "script/engine.h"
#include "script/script_control.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  std::u16string source;
  source.reserve(size);
  for (size_t i = 0; i < size; ++i) source.push_back(static_cast<char16_t>(data[i]));
  qz::Ref<qz::ScriptControl> control(new qz::ScriptControl());
  control->set_timeout(50);
  control->set_allow_ui(false);
  control->impl().max_array_elements = size_t{1} << 16;
  control->impl().max_depth = 200;
  try {
    control->add_code(source);
    if (control->module(1)->has_procedure(u"Main")) control->run(u"Main", {});
  } catch (const qz::ScriptError&) {
  }
  control->reset();
  return 0;
}
