#include "runtime/native/record_marshal.h"

#include <cstring>
#include <string>

#include "com/convert.h"
#include "com/error.h"
#include "platform/codepage.h"

namespace qz {

namespace {

enum class Kind { TextByAddress, FixedText, Integer, Byte, Single, Double, Currency, Long, Boolean, Date, Plain, Record };

struct Field {
  Kind kind;
  std::u16string name;
  bool is_array;
  int32_t last;   // highest element index (0 for a single value)
  size_t fixed;   // bytes of a fixed text
};

// Deeper nesting than this is a record that contains itself.
constexpr int kMaxDepth = 64;
// More elements than this in one member is not a layout a native structure can have.
constexpr int32_t kMaxElements = 1 << 20;
constexpr size_t kEmptyTextByAddress = 260;

int32_t number_in(std::u16string_view text) {
  double d = 0;
  if (!parse_number(text, d) || d < -1 || d > kMaxElements) raise(kErrOverflow);
  return static_cast<int32_t>(d);
}

Kind kind_of(const std::u16string& type, size_t fixed) {
  if (type == u"string") return fixed > 0 ? Kind::FixedText : Kind::TextByAddress;
  if (type == u"integer") return Kind::Integer;
  if (type == u"byte") return Kind::Byte;
  if (type == u"single") return Kind::Single;
  if (type == u"double") return Kind::Double;
  if (type == u"currency") return Kind::Currency;
  if (type == u"long") return Kind::Long;
  if (type == u"boolean") return Kind::Boolean;
  if (type == u"date") return Kind::Date;
  if (type == u"var" || type == u"variant") return Kind::Plain;
  return Kind::Record;
}

size_t size_of(const Field& f) {
  switch (f.kind) {
    case Kind::TextByAddress: return sizeof(void*);
    case Kind::FixedText: return f.fixed;
    case Kind::Integer: case Kind::Boolean: return 2;
    case Kind::Byte: return 1;
    case Kind::Single: case Kind::Long: return 4;
    case Kind::Double: case Kind::Currency: case Kind::Date: return 8;
    case Kind::Plain: case Kind::Record: return 0;
  }
  return 0;
}

std::vector<std::u16string_view> split(std::u16string_view s, char16_t sep) {
  std::vector<std::u16string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t at = s.find(sep, start);
    parts.push_back(s.substr(start, at == std::u16string_view::npos ? std::u16string_view::npos : at - start));
    if (at == std::u16string_view::npos) return parts;
    start = at + 1;
  }
}

// The record's fields; an entry that does not make sense is left out.
std::vector<Field> layout_of(Object* record) {
  std::vector<Field> fields;
  std::u16string layout;
  try {
    layout = to_u16(record->get(u"class_vars_all"));
  } catch (...) {
    return fields;
  }
  if (layout.empty()) return fields;
  for (std::u16string_view entry : split(layout, u'~')) {
    std::vector<std::u16string_view> parts = split(entry, u'*');
    parts.resize(4);
    try {
      Field f;
      f.name = std::u16string(parts[1]);
      f.is_array = !parts[2].empty();
      f.last = f.is_array ? number_in(parts[2]) : 0;
      int32_t fixed = parts[3].empty() ? 0 : number_in(parts[3]);
      f.fixed = fixed > 0 ? static_cast<size_t>(fixed) : 0;
      f.kind = kind_of(lower(parts[0]), f.fixed);
      if (f.name.empty()) continue;
      fields.push_back(std::move(f));
    } catch (...) {
    }
  }
  return fields;
}

Variant read_member(Object* o, const Field& f, int32_t e) {
  return f.is_array ? o->get(f.name, {Variant(e)}) : o->get(f.name);
}

void write_member(Object* o, const Field& f, int32_t e, const Variant& v) {
  DispId id = o->find_member(f.name);
  if (id == kDispUnknown) raise(kErrNoSuchMember);
  std::vector<Variant> args;
  if (f.is_array) args.emplace_back(e);
  args.push_back(v);
  o->invoke(id, kLet, Args(args));
}

template <class T>
void put(uint8_t* out, T v) {
  std::memcpy(out, &v, sizeof v);
}

template <class T>
T get(const uint8_t* in) {
  T v;
  std::memcpy(&v, in, sizeof v);
  return v;
}

// The bytes of one number element; zeros when the member cannot be read or converted.
void encode_number(Object* o, const Field& f, int32_t e, uint8_t* out) {
  try {
    Variant v = read_member(o, f, e);
    switch (f.kind) {
      case Kind::Integer: put(out, to_integer(v)); break;
      case Kind::Byte: put(out, to_byte(v)); break;
      case Kind::Single: put(out, to_single(v)); break;
      case Kind::Double: put(out, to_double(v)); break;
      case Kind::Currency: put(out, to_currency(v)); break;
      case Kind::Long: put(out, to_long(v)); break;
      case Kind::Boolean: put(out, static_cast<int16_t>(to_bool(v) ? -1 : 0)); break;
      case Kind::Date: put(out, to_date(v)); break;
      default: break;
    }
  } catch (...) {
    std::memset(out, 0, size_of(f));
  }
}

Variant decode_number(const Field& f, const uint8_t* in) {
  switch (f.kind) {
    case Kind::Integer: return Variant(get<int16_t>(in));
    case Kind::Byte: return Variant(in[0]);
    case Kind::Single: return Variant(get<float>(in));
    case Kind::Double: return Variant(get<double>(in));
    case Kind::Currency: return Variant::currency(get<int64_t>(in));
    case Kind::Long: return Variant(get<int32_t>(in));
    case Kind::Boolean: return Variant(get<int16_t>(in) != 0);
    case Kind::Date: return Variant::date(get<double>(in));
    default: return Variant();
  }
}

// The member's text; an empty one becomes `n` characters of code 0 first.
Str text_with_room(Object* o, const Field& f, int32_t e, size_t n) {
  Str s = to_str(read_member(o, f, e));
  if (s.empty()) {
    s = Str(std::u16string(n, u'\0'));
    write_member(o, f, e, Variant(s));
  }
  return s;
}

// Gives the member text storage of its own (a copy no other variable shares, since native code
// will write into it) and returns the address of its characters.
uintptr_t own_text_address(Object* o, const Field& f, int32_t e) {
  Str s = text_with_room(o, f, e, kEmptyTextByAddress);
  write_member(o, f, e, Variant(Str::from_bytes(s.bytes(), s.byte_size())));
  Variant stored = read_member(o, f, e);
  const Variant& v = stored.deref();
  return v.is_string() ? reinterpret_cast<uintptr_t>(v.as_str().data()) : 0;
}

Object* record_member(Object* o, const Field& f, int32_t e) {
  Variant v = read_member(o, f, e);
  const Variant& val = v.deref();
  if (!val.is_object() || !val.as_object() || !RecordMarshaller::is_record(val.as_object())) return nullptr;
  return val.as_object();
}

// The records a value stands for: itself, or the objects of a Variant array in order.
std::vector<Ref<Object>> records_of(const Variant& value) {
  std::vector<Ref<Object>> list;
  const Variant& v = value.deref();
  if (v.is_object() && v.as_object()) {
    list.emplace_back(v.as_object());
  } else if (v.is_array() && v.as_array()->elem == VT::Variant) {
    for (const Variant& item : v.as_array()->items) {
      const Variant& it = item.deref();
      if (it.is_object() && it.as_object()) list.emplace_back(it.as_object());
    }
  }
  return list;
}

}  // namespace

bool RecordMarshaller::is_record(Object* obj) {
  return obj && obj->find_member(u"class_vars_all") != kDispUnknown;
}

int RecordMarshaller::build(const Variant& records) {
  taken_.clear();
  std::vector<Ref<Object>> list = records_of(records);
  if (list.empty()) return -1;
  try {
    int b = buffers_.take_for_image(owner_);
    if (b < 0) throw NoBuffer{};
    taken_.push_back(b);
    for (const Ref<Object>& o : list) append_record(o.get(), b);
    buffers_.at(b)->data.pop_back();  // the spare byte
    return b;
  } catch (const NoBuffer&) {
    for (int n : taken_) buffers_.release(n);
    taken_.clear();
    return -1;
  }
}

int RecordMarshaller::build_own(Object* record) {
  int b = buffers_.take_for_image(owner_);
  if (b < 0) throw NoBuffer{};
  taken_.push_back(b);
  append_record(record, b);
  buffers_.at(b)->data.pop_back();
  return b;
}

void RecordMarshaller::append_record(Object* o, int b) {
  struct Depth {
    int& d;
    explicit Depth(int& d) : d(d) { if (++d > kMaxDepth) { --d; throw NoBuffer{}; } }
    ~Depth() { --d; }
  };
  static int depth = 0;
  Depth guard(depth);
  try {
    o->let(u"class_vars_buf", Variant(static_cast<int32_t>(b)));
  } catch (...) {
  }
  // Bytes go in before the spare byte that ends the buffer while the image grows.
  auto append = [this, b](const uint8_t* bytes, size_t n) {
    std::vector<uint8_t>& data = buffers_.at(b)->data;
    if (data.size() + n > ByteBufferSet::kMaxBytes) throw NoBuffer{};
    data.insert(data.end() - 1, bytes, bytes + n);
  };
  for (const Field& f : layout_of(o)) {
    for (int32_t e = 0; e <= f.last; ++e) {
      switch (f.kind) {
        case Kind::Plain:
          break;
        case Kind::Record: {
          Object* m = nullptr;
          try {
            m = record_member(o, f, e);
          } catch (...) {
          }
          if (!m) break;
          Ref<Object> keep(m);
          int nb = build_own(m);
          std::vector<uint8_t> image = buffers_.at(nb)->data;
          append(image.data(), image.size());
          break;
        }
        case Kind::TextByAddress: {
          uint8_t bytes[sizeof(void*)] = {};
          try {
            put(bytes, own_text_address(o, f, e));
          } catch (...) {
          }
          append(bytes, sizeof bytes);
          break;
        }
        case Kind::FixedText: {
          std::vector<uint8_t> bytes(f.fixed, 0);
          try {
            Str s = text_with_room(o, f, e, f.fixed);
            std::string ansi = encode(ansi_code_page(), s.view());
            std::memcpy(bytes.data(), ansi.data(), std::min(ansi.size(), f.fixed));
          } catch (...) {
          }
          append(bytes.data(), bytes.size());
          break;
        }
        default: {
          uint8_t bytes[8] = {};
          encode_number(o, f, e, bytes);
          append(bytes, size_of(f));
          break;
        }
      }
    }
  }
}

void RecordMarshaller::read_back(const Variant& records) {
  size_t pos = 0;
  for (const Ref<Object>& o : records_of(records)) pos = read_record(o.get(), pos);
}

size_t RecordMarshaller::read_record(Object* o, size_t pos) {
  static int depth = 0;
  if (depth >= kMaxDepth) return pos;
  ++depth;
  struct Leave { int& d; ~Leave() { --d; } } leave{depth};
  int b = -1;
  try {
    b = to_long(o->get(u"class_vars_buf"));
  } catch (...) {
    return pos;
  }
  if (!buffers_.at(b)) return pos;
  for (const Field& f : layout_of(o)) {
    for (int32_t e = 0; e <= f.last; ++e) {
      // Member writes run script code, which may resize buffers: look again every time.
      const std::vector<uint8_t>& data = buffers_.at(b)->data;
      try {
        switch (f.kind) {
          case Kind::Plain:
            break;
          case Kind::TextByAddress:
            pos += sizeof(void*);  // native code wrote into the member's own characters
            break;
          case Kind::FixedText: {
            if (pos + f.fixed > data.size()) { pos += f.fixed; break; }
            std::string bytes(reinterpret_cast<const char*>(data.data() + pos), f.fixed);
            pos += f.fixed;
            write_member(o, f, e, Variant(decode(ansi_code_page(), bytes)));
            break;
          }
          case Kind::Record: {
            Object* m = record_member(o, f, e);
            if (!m) break;
            Ref<Object> keep(m);
            int mb = to_long(m->get(u"class_vars_buf"));
            ByteBuffer* inner = buffers_.at(mb);
            if (!inner || mb == b) break;
            size_t s = inner->data.size();
            if (pos + s <= data.size()) {
              inner->data.assign(data.begin() + static_cast<ptrdiff_t>(pos), data.begin() + static_cast<ptrdiff_t>(pos + s));
              read_record(m, 0);
            }
            pos += s;
            break;
          }
          default: {
            size_t n = size_of(f);
            if (pos + n > data.size()) { pos += n; break; }
            Variant v = decode_number(f, data.data() + pos);
            pos += n;
            write_member(o, f, e, v);
            break;
          }
        }
      } catch (...) {
        // A member that cannot be read or written is passed over; the walk goes on.
      }
    }
  }
  return pos;
}

}  // namespace qz
