// Script text read as a number or a date: any input either parses or is refused, and what
// parses survives being written and read back.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "com/convert.h"
#include "com/error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qz;
  // Bytes widen to code units so ASCII seeds stay readable; a leading 0xFF byte switches to
  // raw UTF-16 pairs to reach the rest of the BMP.
  std::u16string text;
  if (size > 0 && data[0] == 0xFF) {
    for (size_t i = 1; i + 1 < size; i += 2) text.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
  } else {
    text.assign(data, data + size);
  }

  double number = 0;
  if (parse_number(text, number) && std::isfinite(number)) {
    double back = 0;
    if (!parse_number(format_double(number), back) || std::fabs(back - number) > std::fabs(number) * 1e-14)
      std::abort();
  }

  double serial = 0;
  if (parse_date(text, serial)) {
    if (!valid_date(serial)) std::abort();
    double back = 0;
    if (!parse_date(format_date(serial), back) || std::fabs(back - serial) > 1e-6) std::abort();
  }

  // The conversions either give a value or raise a script error; nothing else escapes.
  Variant v(text);
  try { to_integer(v); } catch (const ScriptError&) {}
  try { to_long(v); } catch (const ScriptError&) {}
  try { to_byte(v); } catch (const ScriptError&) {}
  try { to_longlong(v); } catch (const ScriptError&) {}
  try { to_currency(v); } catch (const ScriptError&) {}
  try { to_single(v); } catch (const ScriptError&) {}
  try { to_bool(v); } catch (const ScriptError&) {}
  try { to_date(v); } catch (const ScriptError&) {}
  return 0;
}
