// Script files and byte strings arrive as arbitrary bytes: decoding must never fail, single-byte
// pages must give the bytes back, and text judged valid UTF-8 must survive a round trip.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "com/str.h"
#include "platform/codepage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int cp : {437, 866, 1251, 1252, 20866, 28591, 28595}) {
    if (qz::encode(cp, qz::decode(cp, bytes)) != bytes) std::abort();
  }
  if (qz::is_valid_utf8(bytes) && qz::u16_to_utf8(qz::utf8_to_u16(bytes)) != bytes) std::abort();
  std::u16string text = qz::decode_script_bytes(bytes);
  (void)qz::encode(65001, text);
  (void)qz::decode(65001, bytes);
  return 0;
}
