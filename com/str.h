// Str: the script language's string. UTF-16 code units in one immutable, reference-counted
// buffer that keeps its length in bytes. The byte length may be odd: byte strings (ChrB, MidB,
// conversions to a code page) pack raw bytes two to a code unit, low byte first, and must survive
// every copy, concatenation and comparison unchanged. One thread only: counts are not atomic.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qz {

struct StrRep {
  uint32_t refs;
  uint32_t nbytes;    // length in bytes; may be odd
  uint32_t units;     // units allocated in data (room for appending in place)
  char16_t data[1];   // nbytes/2 units (+1 unit holding an odd last byte), then a NUL unit
};

class Str {
 public:
  Str() = default;
  Str(std::u16string_view text);                       // NOLINT: implicit on purpose
  Str(const char16_t* text) : Str(std::u16string_view(text)) {}  // NOLINT
  Str(const std::u16string& text) : Str(std::u16string_view(text)) {}  // NOLINT
  Str(const Str& o) : rep_(o.rep_) { if (rep_) ++rep_->refs; }
  Str(Str&& o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
  ~Str() { release(); }
  Str& operator=(const Str& o) { if (o.rep_) ++o.rep_->refs; release(); rep_ = o.rep_; return *this; }
  Str& operator=(Str&& o) noexcept { if (this != &o) { release(); rep_ = o.rep_; o.rep_ = nullptr; } return *this; }

  static Str from_bytes(const void* bytes, size_t nbytes);   // a byte string (LenB = nbytes)
  static Str from_utf8(std::string_view utf8);
  static Str from_ascii(const char* text);                    // 7-bit literal text
  // The longest text in bytes: making a longer one throws bad_alloc (Out of memory to a
  // script). A test harness lowers it to keep a run's memory small.
  static void set_max_bytes(size_t nbytes);
  static Str concat(const Str& a, const Str& b);              // byte-exact
  static Str concat(const void* a, size_t na, const void* b, size_t nb);
  // head followed by tail, byte-exact. When head is the buffer's only owner the tail is
  // written into its spare room; a new buffer gets room to spare, so a loop appending to one
  // variable's string takes amortised constant time per step.
  static Str append(Str&& head, const Str& tail);
  static Str append(Str&& head, const void* tail, size_t nbytes);
  // A text of `units` code units that `fill` writes into the new buffer (given its first unit),
  // so a large text is made in place instead of being copied from another string.
  template <class Fill>
  static Str build(size_t units, Fill&& fill) {
    Str s;
    if (units == 0) return s;
    s.rep_ = alloc(units * 2);  // throws bad_alloc past the longest string
    fill(s.rep_->data);
    return s;
  }

  size_t size() const { return rep_ ? rep_->nbytes / 2 : 0; }  // code units (Len)
  size_t byte_size() const { return rep_ ? rep_->nbytes : 0; } // LenB
  bool empty() const { return !rep_ || rep_->nbytes == 0; }
  const char16_t* data() const { return rep_ ? rep_->data : u""; }  // NUL-terminated
  const uint8_t* bytes() const { return reinterpret_cast<const uint8_t*>(data()); }
  std::u16string_view view() const { return {data(), size()}; }
  std::u16string u16() const { return std::u16string(view()); }
  std::string utf8() const;
  char16_t operator[](size_t i) const { return rep_->data[i]; }

  // Byte-exact equality (what a binary comparison of two strings sees).
  friend bool operator==(const Str& a, const Str& b);
  StrRep* rep() const { return rep_; }

 private:
  static StrRep* alloc(size_t nbytes, size_t spare_bytes = 0);
  static void free_rep(StrRep* rep);   // gives back what alloc made
  static void terminate(StrRep* rep);
  void release() { if (rep_ && --rep_->refs == 0) free_rep(rep_); rep_ = nullptr; }
  StrRep* rep_ = nullptr;  // null is the empty string
  friend class Variant;
};

// UTF-8 <-> UTF-16 (unpaired surrogates become U+FFFD in UTF-8).
std::u16string utf8_to_u16(std::string_view utf8);
std::string u16_to_utf8(std::u16string_view text);
// ASCII-only case folding used for names (keywords, members, ProgIDs) and text compare.
char16_t fold_case(char16_t c);               // full BMP simple lower-casing (Latin, Cyrillic, Greek...)
// fold_case with ASCII, which names mostly are, folded here without a call.
inline char16_t fold_name_char(char16_t c) {
  return c < 0x80 ? (c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c) : fold_case(c);
}
std::u16string lower(std::u16string_view s);
std::u16string upper(std::u16string_view s);
bool iequals(std::u16string_view a, std::u16string_view b);
// 0..15 for a hexadecimal digit, -1 for anything else.
inline int hex_digit_value(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}
inline std::u16string u16(const char* ascii) { std::u16string r; while (*ascii) r.push_back(static_cast<unsigned char>(*ascii++)); return r; }

}  // namespace qz
