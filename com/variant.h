// Variant: the script value. 16 bytes, cheap to copy: strings and arrays are reference-counted
// and arrays are copied on write, objects are intrusively reference-counted.
#pragma once
#include <cstdint>
#include <utility>
#include <vector>

#include "com/ref.h"
#include "com/str.h"

namespace qz {

class Object;

// Subtype codes are the ones VarType reports.
enum class VT : uint16_t {
  Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5, Currency = 6, Date = 7,
  String = 8, Object = 9, Error = 10, Boolean = 11, Variant = 12, Byte = 17, LongLong = 20,
  Array = 0x2000,   // an ArrayRep; VarType adds its element type (vbArray + vbVariant or vbByte)
  ByRef = 0x4000,   // a reference to another Variant (by-reference argument cell)
};

// DISP_E_PARAMNOTFOUND: the Error subtype value of an optional argument that was left out.
constexpr int32_t kParamNotFound = static_cast<int32_t>(0x80020004);

struct ArrayDim {
  int32_t lbound;
  int32_t count;
};

// A multi-dimensional array of Variants or of bytes. Element order is the platform's:
// the first subscript varies fastest.
struct ArrayRep {
  uint32_t refs = 0;
  VT elem = VT::Variant;        // VT::Variant or VT::Byte
  bool fixed = false;           // declared with bounds (Dim a(3)): ReDim is refused
  uint32_t locks = 0;           // > 0 while For Each or a by-reference element holds it
  std::vector<ArrayDim> dims;
  std::vector<class Variant> items;  // when elem == Variant
  std::vector<uint8_t> bytes;        // when elem == Byte

  size_t total() const;
  // Flat index of a subscript list; throws error 9 when out of range or the count is wrong.
  size_t offset(const int32_t* subs, size_t n) const;
};

class Variant {
 public:
  Variant() : vt_(VT::Empty), i64_(0) {}
  // Always inline: a copy is a few instructions, and the compiler's size limits in large
  // interpreter functions would otherwise make it a call.
  [[gnu::always_inline]] Variant(const Variant& o) : vt_(o.vt_), i64_(o.i64_) { retain(); }
  Variant(Variant&& o) noexcept : vt_(o.vt_), i64_(o.i64_) { o.vt_ = VT::Empty; o.i64_ = 0; }
  ~Variant() { if (counted(vt_)) release_counted(); }   // nothing to reset: the value ends here
  Variant& operator=(const Variant& o) {
    if (this != &o) { Variant t(o); swap(t); }
    return *this;
  }
  Variant& operator=(Variant&& o) noexcept {
    if (this != &o) { release(); vt_ = o.vt_; i64_ = o.i64_; o.vt_ = VT::Empty; o.i64_ = 0; }
    return *this;
  }
  void swap(Variant& o) noexcept { std::swap(vt_, o.vt_); std::swap(i64_, o.i64_); }
  // A number, Empty or Null: a value with nothing to count, copied as its bytes.
  bool is_plain_value() const { return static_cast<uint32_t>(vt_) < static_cast<uint32_t>(VT::String); }
  void assign_plain(const Variant& o) {   // o.is_plain_value()
    VT t = o.vt_;
    int64_t bits = o.i64_;
    release();
    vt_ = t;
    i64_ = bits;
  }

  // Constructors for each subtype.
  // Small payloads are written as one 8-byte store with the unused bytes zero: a copy reads
  // all 8 bytes, and reading them back right after a narrower store stalls the processor.
  Variant(bool b) : vt_(VT::Boolean), i64_(payload(b)) {}                   // NOLINT
  // Integer and Long hold their value sign-extended to all 8 bytes: as_small_int reads either
  // without looking at the type.
  Variant(int16_t v) : vt_(VT::Integer), i64_(v) {}                         // NOLINT
  Variant(int32_t v) : vt_(VT::Long), i64_(v) {}                            // NOLINT
  Variant(int64_t v) : vt_(VT::LongLong), i64_(v) {}                      // NOLINT
  Variant(uint8_t v) : vt_(VT::Byte), i64_(payload(v)) {}                  // NOLINT
  Variant(float v) : vt_(VT::Single), i64_(payload(v)) {}                   // NOLINT
  Variant(double v) : vt_(VT::Double), i64_(0) { f64_ = v; }              // NOLINT
  Variant(Str s) : vt_(VT::String), i64_(0) { str_ = s.rep_; s.rep_ = nullptr; }  // NOLINT
  Variant(std::u16string_view s) : Variant(Str(s)) {}                     // NOLINT
  Variant(const char16_t* s) : Variant(Str(s)) {}                         // NOLINT
  Variant(const std::u16string& s) : Variant(Str(s)) {}                   // NOLINT
  Variant(Object* o);                                                      // NOLINT: Object (may be Nothing)
  template <class T>
  Variant(const Ref<T>& o) : Variant(static_cast<Object*>(o.get())) {}   // NOLINT
  Variant(const char*) = delete;  // say u"..." or Str::from_ascii

  static Variant null() { Variant v; v.vt_ = VT::Null; return v; }
  static Variant nothing() { return Variant(static_cast<Object*>(nullptr)); }
  static Variant date(double serial) { Variant v(serial); v.vt_ = VT::Date; return v; }
  static Variant currency(int64_t scaled) { Variant v; v.vt_ = VT::Currency; v.i64_ = scaled; return v; }  // value * 10000
  static Variant error(int32_t scode) { Variant v(scode); v.vt_ = VT::Error; return v; }
  static Variant missing() { return error(kParamNotFound); }
  static Variant array(ArrayRep* rep);                     // takes a reference
  static Variant by_ref(Variant* target) { Variant v; v.vt_ = VT::ByRef; v.ref_ = target; return v; }
  // A by-reference cell whose target is a module-level (global) variable, which stays where it
  // is until the script control's Reset: a holder that is itself cleared by Reset (a timer)
  // may keep the cell after the call. Other cells are good only for the call they were made
  // for. (The mark is the low bit of the aligned target address.)
  static Variant by_ref_lasting(Variant* target) {
    Variant v = by_ref(target);
    v.bits_ |= 1;
    return v;
  }
  bool ref_lasting() const { return vt_ == VT::ByRef && (bits_ & 1); }
  // A new Variant array with these bounds (one ArrayDim per dimension).
  static Variant new_array(std::vector<ArrayDim> dims, VT elem = VT::Variant);
  static Variant from_vector(std::vector<Variant> items);  // zero-based one-dimensional
  static Variant byte_array(const void* data, size_t n);   // zero-based Byte()

  VT type() const { return vt_; }
  bool is(VT t) const { return vt_ == t; }
  bool is_empty() const { return vt_ == VT::Empty; }
  bool is_null() const { return vt_ == VT::Null; }
  bool is_string() const { return vt_ == VT::String; }
  bool is_object() const { return vt_ == VT::Object; }
  bool is_array() const { return vt_ == VT::Array; }
  bool is_byref() const { return vt_ == VT::ByRef; }
  bool is_missing() const { return vt_ == VT::Error && i32_ == kParamNotFound; }
  bool is_numeric_type() const;  // Integer..Currency, Byte, LongLong, Boolean? (no: Boolean excluded)

  // Raw accessors: the caller has checked type().
  bool as_bool() const { return b_; }
  int16_t as_integer() const { return i16_; }
  int32_t as_long() const { return i32_; }
  int64_t as_small_int() const { return i64_; }   // Integer or Long
  int64_t as_longlong() const { return i64_; }
  uint8_t as_byte() const { return u8_; }
  float as_single() const { return f32_; }
  double as_double() const { return f64_; }
  double as_date() const { return f64_; }
  int64_t as_currency() const { return i64_; }
  int32_t as_error() const { return i32_; }
  Str as_str() const { Str s; s.rep_ = str_; if (str_) ++str_->refs; return s; }
  std::u16string_view str_view() const { return str_ ? std::u16string_view(str_->data, str_->nbytes / 2) : std::u16string_view(); }
  Object* as_object() const { return obj_; }
  ArrayRep* as_array() const { return arr_; }
  ArrayRep* array_mut();  // makes the array unique first (copy on write)
  Variant* ref_target() const { return untag(ref_); }

  // Follows by-reference cells to the value (never to an object's default member).
  const Variant& deref() const { const Variant* v = this; while (v->vt_ == VT::ByRef) v = untag(v->ref_); return *v; }
  Variant& deref() { Variant* v = this; while (v->vt_ == VT::ByRef) v = untag(v->ref_); return *v; }

 private:
  // The 8 payload bytes holding v where the union member of its type lies, the rest zero
  // (computed in a register).
  template <class T>
  static int64_t payload(T v) {
    union { int64_t all; T part; } u;
    u.all = 0;
    u.part = v;
    return u.all;
  }
  static Variant* untag(Variant* p) { return reinterpret_cast<Variant*>(reinterpret_cast<uintptr_t>(p) & ~uintptr_t{1}); }
  static bool counted(VT t) {
    // String (8) and Object (9) are neighbours: one compare for both.
    uint32_t v = static_cast<uint32_t>(t);
    return v - 8u <= 1u || v == 0x2000u;
  }
  void retain() const { if (counted(vt_)) retain_counted(); }
  void release() { if (counted(vt_)) release_counted(); else { vt_ = VT::Empty; i64_ = 0; } }
  void retain_counted() const;
  void release_counted();

  VT vt_;
  uint16_t pad16_ = 0;
  uint32_t pad32_ = 0;
  union {
    int64_t i64_;
    int32_t i32_;
    int16_t i16_;
    uint8_t u8_;
    bool b_;
    float f32_;
    double f64_;
    StrRep* str_;
    Object* obj_;
    ArrayRep* arr_;
    Variant* ref_;
    uintptr_t bits_;
  };
};

static_assert(sizeof(Variant) == 16, "Variant must stay 16 bytes");

}  // namespace qz
