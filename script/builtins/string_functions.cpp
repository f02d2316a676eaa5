// Text functions: InStrRev, Replace, Split, Join, Filter, case, trimming, character codes
// (Asc/Chr through the ANSI code page, AscW/ChrW, AscB/ChrB), StrComp, Escape/Unescape.
#include <algorithm>
#include "com/str.h"
#include <new>
#include <vector>

#include "platform/codepage.h"
#include "script/builtins/builtin_support.h"

namespace qz::builtins {

std::u16string fold_text(std::u16string_view s) { return lower(s); }

size_t find_text(std::u16string_view hay, std::u16string_view needle, size_t from, bool text) {
  if (!text) return hay.find(needle, from);
  return fold_text(hay).find(fold_text(needle), from);
}

bool text_compare_arg(Args a, size_t i) {
  if (!given(a, i)) return false;
  int32_t mode = to_long(arg(a, i));
  if (mode < 0) invalid_argument();
  return mode != 0;
}

bool compare_mode_arg(Args a, size_t i) {
  if (!given(a, i)) return false;
  int32_t mode = to_long(arg(a, i));
  if (mode != 0 && mode != 1) invalid_argument();
  return mode == 1;
}

namespace {

constexpr size_t npos = std::u16string_view::npos;

size_t rfind_text(std::u16string_view hay, std::u16string_view needle, size_t from, bool text) {
  if (!text) return hay.rfind(needle, from);
  std::u16string h = fold_text(hay), n = fold_text(needle);
  return h.rfind(n, from);
}

// InStrRev(string1, string2[, start[, compare]]).
Variant InStrRev(BuiltinContext&, Args a) {
  Variant v1 = arg(a, 0), v2 = arg(a, 1);
  int32_t start = long_arg(a, 2, -1);
  if (start == 0 || start < -1) invalid_argument();
  bool text = compare_mode_arg(a, 3);
  if (v1.is_null() || v2.is_null()) raise(94);
  Str s1 = to_str(v1), s2 = to_str(v2);
  size_t len1 = s1.size();
  if (start == -1) start = static_cast<int32_t>(len1);
  if (static_cast<size_t>(start) > len1) return Variant(int32_t{0});
  if (s2.empty()) return Variant(start);
  if (s2.size() > static_cast<size_t>(start)) return Variant(int32_t{0});
  size_t at = rfind_text(s1.view(), s2.view(), static_cast<size_t>(start) - s2.size(), text);
  return Variant(at == npos ? int32_t{0} : static_cast<int32_t>(at + 1));
}

// Replace(expression, find, replacewith[, start[, count[, compare]]]): the result starts at
// position `start` of the expression.
Variant Replace(BuiltinContext&, Args a) {
  Variant ve = arg(a, 0);
  Variant vf = arg(a, 1), vr = arg(a, 2);
  int32_t start = long_arg(a, 3, 1);
  int32_t count = long_arg(a, 4, -1);
  if (start < 1 || count < -1) invalid_argument();
  bool text = compare_mode_arg(a, 5);
  if (ve.is_null()) raise(94);
  Str e = to_str(ve), f = to_str(vf), r = to_str(vr);
  size_t from = static_cast<size_t>(start - 1);
  if (from >= e.size()) return Variant(Str());
  std::u16string_view rest = e.view().substr(from);
  if (f.empty() || count == 0) return Variant(unit_slice(e, from, npos));
  std::u16string out;
  std::u16string folded_rest, folded_find;
  if (text) { folded_rest = fold_text(rest); folded_find = fold_text(f.view()); }
  std::u16string_view hay = text ? std::u16string_view(folded_rest) : rest;
  std::u16string_view needle = text ? std::u16string_view(folded_find) : f.view();
  size_t pos = 0;
  int32_t done = 0;
  while (count == -1 || done < count) {
    size_t at = hay.find(needle, pos);
    if (at == npos) break;
    out.append(rest.substr(pos, at - pos));
    out.append(r.view());
    pos = at + needle.size();
    ++done;
  }
  out.append(rest.substr(pos));
  return Variant(Str(out));
}

// Split(expression[, delimiter[, count[, compare]]]): a zero-based array of strings.
Variant Split(BuiltinContext&, Args a) {
  Str e = str_arg(a, 0);
  Str d = given(a, 1) ? str_arg(a, 1) : Str(u" ");
  int32_t count = long_arg(a, 2, -1);
  if (count < -1) invalid_argument();
  bool text = compare_mode_arg(a, 3);
  std::vector<Variant> parts;
  if (e.empty() || count == 0) return Variant::from_vector(std::move(parts));
  if (d.empty()) {
    parts.emplace_back(e);
    return Variant::from_vector(std::move(parts));
  }
  std::u16string_view s = e.view();
  std::u16string fs, fd;
  if (text) { fs = fold_text(s); fd = fold_text(d.view()); }
  std::u16string_view hay = text ? std::u16string_view(fs) : s;
  std::u16string_view needle = text ? std::u16string_view(fd) : d.view();
  size_t pos = 0;
  while (count == -1 || static_cast<int32_t>(parts.size()) < count - 1) {
    size_t at = hay.find(needle, pos);
    if (at == npos) break;
    parts.emplace_back(Str(s.substr(pos, at - pos)));
    pos = at + needle.size();
  }
  parts.emplace_back(Str(s.substr(pos)));
  return Variant::from_vector(std::move(parts));
}

// A one-dimensional array argument (13 when not an array; `other_dims` when it has other
// dimensions).
Variant vector_arg(Args a, size_t i, int32_t other_dims = kErrIllegalCall) {
  Variant v = arg(a, i);
  if (v.is_null()) raise(94);
  if (!v.is_array()) raise(kErrTypeMismatch);
  if (v.as_array()->dims.size() != 1) raise(other_dims);
  return v;
}

std::vector<Str> array_texts(const ArrayRep& rep) {
  std::vector<Str> out;
  if (rep.elem == VT::Byte) {
    for (uint8_t b : rep.bytes) out.push_back(to_str(Variant(b)));
  } else {
    for (const Variant& v : rep.items) out.push_back(to_str(v.is_object() ? value_of(v) : v));
  }
  return out;
}

Variant Join(BuiltinContext&, Args a) {
  Variant list = vector_arg(a, 0, kErrTypeMismatch);
  const ArrayRep& rep = *list.as_array();
  for (const Variant& item : rep.items)
    if (item.deref().is_null()) raise(kErrTypeMismatch);   // Null is no text to join
  Str d = given(a, 1) ? str_arg(a, 1) : Str(u" ");
  std::vector<Str> texts = array_texts(rep);
  // One buffer of the final size: joining piece by piece would copy the text once per piece.
  size_t total = texts.empty() ? 0 : d.byte_size() * (texts.size() - 1);
  for (const Str& t : texts) total += t.byte_size();
  std::string bytes;
  bytes.reserve(total);
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i) bytes.append(reinterpret_cast<const char*>(d.bytes()), d.byte_size());
    bytes.append(reinterpret_cast<const char*>(texts[i].bytes()), texts[i].byte_size());
  }
  return Variant(Str::from_bytes(bytes.data(), bytes.size()));
}

// Filter(strings, value[, include[, compare]]).
Variant Filter(BuiltinContext&, Args a) {
  Variant list = vector_arg(a, 0);
  const ArrayRep& rep = *list.as_array();
  Str value = str_arg(a, 1);
  bool include = given(a, 2) ? to_bool(arg(a, 2)) : true;
  bool text = text_compare_arg(a, 3);
  std::vector<Variant> out;
  for (const Str& s : array_texts(rep)) {
    bool hit = find_text(s.view(), value.view(), 0, text) != npos;
    if (hit == include) out.emplace_back(s);
  }
  return Variant::from_vector(std::move(out));
}

Variant LCase(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  return Variant(Str(lower(to_str(v).view())));
}

Variant UCase(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  return Variant(Str(upper(to_str(v).view())));
}

Variant trim(Args a, bool left, bool right) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  Str s = to_str(v);
  std::u16string_view t = s.view();
  size_t b = 0, e = t.size();
  if (left) while (b < e && t[b] == u' ') ++b;
  if (right) while (e > b && t[e - 1] == u' ') --e;
  return Variant(unit_slice(s, b, e - b));
}

Variant LTrim(BuiltinContext&, Args a) { return trim(a, true, false); }
Variant RTrim(BuiltinContext&, Args a) { return trim(a, false, true); }
Variant Trim(BuiltinContext&, Args a) { return trim(a, true, true); }

// A string of n copies of c; 14 when it cannot be held (longer than a text can be, or no
// memory for it).
Str repeat(int32_t n, char16_t c) {
  if (n < 0) invalid_argument();
  try {
    return Str::build(static_cast<size_t>(n), [n, c](char16_t* out) { std::fill_n(out, n, c); });
  } catch (const std::bad_alloc&) {
    raise(kErrOutOfStringSpace);
  }
}

Variant Space(BuiltinContext&, Args a) { return Variant(repeat(to_long(arg(a, 0)), u' ')); }

// String(number, character): a character code counts modulo 256 through the ANSI page.
Variant String(BuiltinContext&, Args a) {
  int32_t n = to_long(arg(a, 0));
  if (n < 0) invalid_argument();
  Variant c = arg(a, 1);
  if (c.is_null()) return Variant::null();
  char16_t unit;
  if (c.is_string()) {
    if (c.str_view().empty()) invalid_argument();
    unit = c.str_view()[0];
  } else {
    int32_t code = to_long(c) % 256;
    if (code < 0) code += 256;
    unit = decode_byte(ansi_code_page(), static_cast<unsigned char>(code));
  }
  return Variant(repeat(n, unit));
}

Variant StrReverse(BuiltinContext&, Args a) {
  Str s = str_arg(a, 0);
  std::u16string t = s.u16();
  std::reverse(t.begin(), t.end());
  return Variant(Str(t));
}

// -1, 0 or 1 as an Integer; binary compare orders code units, then byte lengths.
int compare_strings(const Str& x, const Str& y, bool text) {
  int r;
  if (text) {
    r = fold_text(x.view()).compare(fold_text(y.view()));
  } else {
    r = x.view().compare(y.view());
    if (r == 0 && x.byte_size() != y.byte_size()) r = x.byte_size() < y.byte_size() ? -1 : 1;
    if (r == 0 && x.byte_size() % 2) {
      uint8_t bx = x.bytes()[x.byte_size() - 1], by = y.bytes()[y.byte_size() - 1];
      r = bx == by ? 0 : bx < by ? -1 : 1;
    }
  }
  return r < 0 ? -1 : r > 0 ? 1 : 0;
}

Variant StrComp(BuiltinContext&, Args a) {
  Variant v1 = arg(a, 0), v2 = arg(a, 1);
  bool text = text_compare_arg(a, 2);
  if (v1.is_null() || v2.is_null()) return Variant::null();
  return Variant(static_cast<int16_t>(compare_strings(to_str(v1), to_str(v2), text)));
}

Str nonempty_str_arg(Args a, size_t i) {
  Str s = str_arg(a, i);
  if (s.empty()) invalid_argument();
  return s;
}

// Asc: the character's byte in the ANSI page ('?' when the page has none).
Variant Asc(BuiltinContext&, Args a) {
  Str s = nonempty_str_arg(a, 0);
  if (s.size() == 0) return Variant(static_cast<int16_t>(s.bytes()[0]));
  int code = encode_char(ansi_code_page(), s[0]);
  return Variant(static_cast<int16_t>(code < 0 ? '?' : code));
}

Variant AscW(BuiltinContext&, Args a) {
  Str s = nonempty_str_arg(a, 0);
  if (s.size() == 0) return Variant(static_cast<int16_t>(s.bytes()[0]));
  return Variant(static_cast<int16_t>(s[0]));
}

Variant Chr(BuiltinContext&, Args a) {
  int32_t code = to_long(arg(a, 0));
  if (code < 0 || code > 255) invalid_argument();
  char16_t c = decode_byte(ansi_code_page(), static_cast<unsigned char>(code));
  return Variant(Str(std::u16string_view(&c, 1)));
}

Variant ChrW(BuiltinContext&, Args a) {
  int32_t code = to_long(arg(a, 0));
  if (code < -32768 || code > 65535) invalid_argument();
  char16_t c = static_cast<char16_t>(code < 0 ? code + 65536 : code);
  return Variant(Str(std::u16string_view(&c, 1)));
}

Variant AscB(BuiltinContext&, Args a) {
  Str s = nonempty_str_arg(a, 0);
  return Variant(static_cast<int16_t>(s.bytes()[0]));
}

// ChrB: a one-byte string.
Variant ChrB(BuiltinContext&, Args a) {
  int32_t code = to_long(arg(a, 0));
  if (code < 0 || code > 255) invalid_argument();
  uint8_t b = static_cast<uint8_t>(code);
  return Variant(Str::from_bytes(&b, 1));
}

bool url_safe(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') ||
         c == u'@' || c == u'*' || c == u'_' || c == u'+' || c == u'-' || c == u'.' || c == u'/';
}

Variant Escape(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  static const char16_t hex[] = u"0123456789ABCDEF";
  std::u16string out;
  for (char16_t c : to_str(v).view()) {
    if (url_safe(c)) {
      out.push_back(c);
    } else if (c < 0x100) {
      out += {u'%', hex[c >> 4], hex[c & 15]};
    } else {
      out += {u'%', u'u', hex[c >> 12], hex[(c >> 8) & 15], hex[(c >> 4) & 15], hex[c & 15]};
    }
  }
  return Variant(Str(out));
}


// The value of n hex digits at s[i..], or -1 when they are not all there.
int hex_run(std::u16string_view s, size_t i, size_t n) {
  if (i + n > s.size()) return -1;
  int v = 0;
  for (size_t k = 0; k < n; ++k) {
    int d = hex_digit_value(s[i + k]);
    if (d < 0) return -1;
    v = v * 16 + d;
  }
  return v;
}

// Unescape: %XX and %uXXXX; a % not followed by a whole escape stays as it is.
Variant Unescape(BuiltinContext&, Args a) {
  Variant v = arg(a, 0);
  if (v.is_null()) return Variant::null();
  Str s = to_str(v);
  std::u16string_view t = s.view();
  std::u16string out;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == u'%') {
      int code;
      if (i + 1 < t.size() && t[i + 1] == u'u' && (code = hex_run(t, i + 2, 4)) >= 0) {
        out.push_back(static_cast<char16_t>(code));
        i += 5;
        continue;
      }
      if ((code = hex_run(t, i + 1, 2)) >= 0) {
        out.push_back(static_cast<char16_t>(code));
        i += 2;
        continue;
      }
    }
    out.push_back(t[i]);
  }
  return Variant(Str(out));
}

constexpr BuiltinFunction kTable[] = {
    {u"InStrRev", 2, 4, InStrRev},
    {u"Replace", 3, 6, Replace},   {u"Split", 1, 4, Split},
    {u"Join", 1, 2, Join},         {u"Filter", 2, 4, Filter},
    {u"LCase", 1, 1, LCase},       {u"UCase", 1, 1, UCase},
    {u"LTrim", 1, 1, LTrim},       {u"RTrim", 1, 1, RTrim},
    {u"Trim", 1, 1, Trim},         {u"Space", 1, 1, Space},
    {u"String", 2, 2, String},     {u"StrReverse", 1, 1, StrReverse},
    {u"StrComp", 2, 3, StrComp},   {u"Asc", 1, 1, Asc},
    {u"AscW", 1, 1, AscW},         {u"Chr", 1, 1, Chr},
    {u"ChrW", 1, 1, ChrW},         {u"AscB", 1, 1, AscB},
    {u"ChrB", 1, 1, ChrB},         {u"Escape", 1, 1, Escape},
    {u"Unescape", 1, 1, Unescape},
};

}  // namespace

std::span<const BuiltinFunction> string_functions() { return kTable; }

}  // namespace qz::builtins
