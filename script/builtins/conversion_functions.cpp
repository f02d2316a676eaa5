// Subtype conversions (CBool ... CStr) and the Hex/Oct number texts.
#include <string>

#include "script/builtins/builtin_support.h"

namespace qz::builtins {
namespace {

template <VT To>
Variant convert(BuiltinContext&, Args a) { return coerce(arg(a, 0), To); }

Variant CStr(BuiltinContext&, Args a) { return Variant(to_str(arg(a, 0))); }

// Hex and Oct show Integer-sized values (Integer, Byte, Boolean) in 16 bits, all else in 32.
Variant radix_text(Args a, unsigned shift) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  uint32_t bits;
  switch (v.type()) {
    case VT::Empty: bits = 0; break;
    case VT::Integer: case VT::Boolean: case VT::Byte:
      bits = static_cast<uint16_t>(to_integer(v));
      break;
    default: bits = static_cast<uint32_t>(to_long(v)); break;
  }
  static const char16_t digits[] = u"0123456789ABCDEF";
  std::u16string out;
  unsigned mask = (1u << shift) - 1;
  do {
    out.insert(out.begin(), digits[bits & mask]);
    bits >>= shift;
  } while (bits);
  return Variant(Str(out));
}

Variant Hex(BuiltinContext&, Args a) { return radix_text(a, 4); }
Variant Oct(BuiltinContext&, Args a) { return radix_text(a, 3); }

// The numeric and date conversions cannot be called as statements; CBool and CStr can.
constexpr auto kValue = BuiltinUse::Value;
constexpr BuiltinFunction kTable[] = {
    {u"CBool", 1, 1, convert<VT::Boolean>},          {u"CByte", 1, 1, convert<VT::Byte>, kValue},
    {u"CCur", 1, 1, convert<VT::Currency>, kValue},  {u"CDate", 1, 1, convert<VT::Date>, kValue},
    {u"CDbl", 1, 1, convert<VT::Double>, kValue},    {u"CInt", 1, 1, convert<VT::Integer>, kValue},
    {u"CLng", 1, 1, convert<VT::Long>, kValue},      {u"CSng", 1, 1, convert<VT::Single>, kValue},
    {u"CStr", 1, 1, CStr},                           {u"Hex", 1, 1, Hex},
    {u"Oct", 1, 1, Oct},
};

}  // namespace

std::span<const BuiltinFunction> conversion_functions() { return kTable; }

}  // namespace qz::builtins
