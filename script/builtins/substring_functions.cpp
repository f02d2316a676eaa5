// Lengths, slices and searches that come in two kinds: by code units (Len, Left, Right, Mid,
// InStr) and by bytes (LenB, LeftB, RightB, MidB, InStrB). Byte results may have odd lengths.
#include <algorithm>
#include <string_view>

#include "script/builtins/builtin_support.h"

namespace qz::builtins {

Str unit_slice(const Str& s, size_t start, size_t count) {
  if (start == 0 && count >= s.size()) return s;
  if (start >= s.size()) return Str();
  return Str(s.view().substr(start, count));
}

Str byte_slice(const Str& s, size_t start, size_t count) {
  size_t n = s.byte_size();
  if (start == 0 && count >= n) return s;
  if (start >= n) return Str();
  return Str::from_bytes(s.bytes() + start, std::min(count, n - start));
}

namespace {

constexpr size_t npos = std::u16string_view::npos;

struct Units {
  static size_t length(const Str& s) { return s.size(); }
  static Str slice(const Str& s, size_t start, size_t count) { return unit_slice(s, start, count); }
  static size_t find(const Str& hay, const Str& needle, size_t from, bool text) {
    return find_text(hay.view(), needle.view(), from, text);
  }
};

struct Bytes {
  static size_t length(const Str& s) { return s.byte_size(); }
  static Str slice(const Str& s, size_t start, size_t count) { return byte_slice(s, start, count); }
  static size_t find(const Str& hay, const Str& needle, size_t from, bool) {  // bytes have no case
    std::string_view h(reinterpret_cast<const char*>(hay.bytes()), hay.byte_size());
    std::string_view n(reinterpret_cast<const char*>(needle.bytes()), needle.byte_size());
    return h.find(n, from);
  }
};

int32_t count_arg(Args a, size_t i) {
  int32_t n = to_long(arg(a, i));
  if (n < 0) invalid_argument();
  return n;
}

template <class K>
Variant Len(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  return Variant(static_cast<int32_t>(K::length(to_str(v))));
}

template <class K>
Variant Left(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  int32_t n = count_arg(a, 1);
  if (v.is_null()) return Variant::null();
  return Variant(K::slice(to_str(v), 0, static_cast<size_t>(n)));
}

template <class K>
Variant Right(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  int32_t n = count_arg(a, 1);
  if (v.is_null()) return Variant::null();
  Str s = to_str(v);
  size_t k = std::min(K::length(s), static_cast<size_t>(n));
  return Variant(K::slice(s, K::length(s) - k, k));
}

template <class K>
Variant Mid(BuiltinContext&, Args a) {
  refuse_null_args(a, 1);
  Variant v = arg(a, 0);
  int32_t start = to_long(arg(a, 1));
  if (start < 1) invalid_argument();
  size_t len = given(a, 2) ? static_cast<size_t>(count_arg(a, 2)) : npos;
  if (v.is_null()) return Variant::null();
  return Variant(K::slice(to_str(v), static_cast<size_t>(start - 1), len));
}

// InStr([start,] string1, string2[, compare]): the start comes first only with 3 or 4 arguments.
template <class K>
Variant InStr(BuiltinContext&, Args a) {
  size_t first = 0;
  int32_t start = 1;
  if (a.size() >= 3) {
    start = to_long(arg(a, 0));
    if (start < 1) invalid_argument();
    first = 1;
  }
  Variant v1 = arg(a, first), v2 = arg(a, first + 1);
  bool text = compare_mode_arg(a, first + 2);
  if (v1.is_null() || v2.is_null()) return Variant::null();
  Str s1 = to_str(v1), s2 = to_str(v2);
  size_t len1 = K::length(s1), from = static_cast<size_t>(start - 1);
  bool empty_needle = K::length(s2) == 0;
  if (len1 == 0 || from > len1 || (from == len1 && !empty_needle)) return Variant(int32_t{0});
  if (empty_needle) return Variant(start);
  size_t at = K::find(s1, s2, from, text);
  return Variant(at == npos ? int32_t{0} : static_cast<int32_t>(at + 1));
}

constexpr BuiltinFunction kTable[] = {
    {u"Len", 1, 1, Len<Units>},      {u"LenB", 1, 1, Len<Bytes>},
    {u"Left", 2, 2, Left<Units>},    {u"LeftB", 2, 2, Left<Bytes>},
    {u"Right", 2, 2, Right<Units>},  {u"RightB", 2, 2, Right<Bytes>},
    {u"Mid", 2, 3, Mid<Units>},      {u"MidB", 2, 3, Mid<Bytes>},
    {u"InStr", 2, 4, InStr<Units>},  {u"InStrB", 2, 4, InStr<Bytes>},
};

}  // namespace

std::span<const BuiltinFunction> substring_functions() { return kTable; }

}  // namespace qz::builtins
