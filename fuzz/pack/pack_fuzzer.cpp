// Untrusted bytes as a packed script (a file anyone may hand to the engine or #Include), as a
// program searched for an embedded script, and as the text of a make.ini.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/make/carried_engine.h"
#include "engine/make/embedded_script.h"
#include "engine/make/make_ini.h"
#include "engine/pack/packed_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  std::string buffer = input, reason;
  switch (qz::pack::unpack_in_place(buffer, reason)) {
    case qz::pack::UnpackStatus::Plain:
      if (buffer != input) std::abort();
      break;
    case qz::pack::UnpackStatus::Unpacked: {
      // What unpacks must pack and unpack to itself.
      std::string again = qz::pack::pack(buffer);
      if (qz::pack::unpack_in_place(again, reason) != qz::pack::UnpackStatus::Unpacked || again != buffer) std::abort();
      break;
    }
    case qz::pack::UnpackStatus::Damaged:
      if (buffer != input || reason.empty()) std::abort();
      break;
  }

  (void)qz::standalone::find_embedded_script(input);
  // A carried engine block is read from a file anyone may have changed.
  if (auto block = qz::standalone::split_embedded(input).engine_block) {
    std::string why;
    (void)qz::standalone::unpack_engine_block(*block, why);
  }
  (void)qz::standalone::unpack_engine_block(input, reason);

  std::u16string ini(input.begin(), input.end());
  for (auto name : {u"options", u"resfile", u"resource"}) (void)qz::make::section_text(ini, name);
  (void)qz::make::key_value(ini, u"title", true);
  (void)qz::make::key_starts_with(ini, u"type", u"full");
  (void)qz::make::resfile_lines(ini);
  (void)qz::make::resource_edits(ini);
  return 0;
}
