#include "runtime/native/native_args.h"

#include <cstring>

#include "com/convert.h"
#include "com/error.h"
#include "com/object.h"
#include "platform/codepage.h"
#include "runtime/helpers/pointer_helpers.h"
#include "runtime/native/record_marshal.h"

namespace qz {

int64_t word_of(const Variant& value) {
  const Variant& v = value.deref();
  switch (v.type()) {
    case VT::Empty: return 0;
    case VT::Error: return v.is_missing() ? 0 : v.as_error();
    case VT::Boolean: return v.as_bool() ? -1 : 0;
    case VT::Byte: return v.as_byte();
    case VT::Integer: return v.as_integer();
    case VT::Long: return v.as_long();
    case VT::LongLong: return v.as_longlong();
    case VT::Single: case VT::Double: case VT::Currency: case VT::Date: return to_longlong(v);
    case VT::Null: raise(kErrInvalidNull);
    default: raise(kErrTypeMismatch);
  }
}

bool NativeArguments::add(Variant& slot) {
  Variant& v = slot.deref();
  if (v.is_string()) {
    auto t = std::make_unique<Text>();
    t->slot = &v;
    t->original = encode(ansi_code_page(), v.str_view());
    t->bytes.assign(t->original.begin(), t->original.end());
    t->bytes.push_back('\0');
    words_.push_back(static_cast<int64_t>(reinterpret_cast<intptr_t>(t->bytes.data())));
    texts_.push_back(std::move(t));
    return true;
  }
  if (v.is_object()) {
    Object* obj = v.as_object();
    if (!obj) {
      words_.push_back(0);
    } else if (RecordMarshaller::is_record(obj)) {
      RecordMarshaller marshal(buffers_, owner_);
      int b = marshal.build(v);
      if (b < 0) return false;
      std::vector<uint8_t>& image = buffers_.at(b)->data;
      words_.push_back(image.empty() ? 0 : static_cast<int64_t>(reinterpret_cast<intptr_t>(image.data())));
      records_.push_back(&v);
    } else {
      words_.push_back(object_address(obj));
    }
    return true;
  }
  if (v.is_array()) {
    if (v.as_array()->elem != VT::Byte) raise(kErrTypeMismatch);
    std::vector<uint8_t>& bytes = v.array_mut()->bytes;
    words_.push_back(bytes.empty() ? 0 : static_cast<int64_t>(reinterpret_cast<intptr_t>(bytes.data())));
    return true;
  }
  words_.push_back(word_of(v));
  return true;
}

void NativeArguments::finish() {
  for (const auto& t : texts_) {
    if (std::memcmp(t->bytes.data(), t->original.data(), t->original.size()) == 0) continue;
    std::string_view written(t->bytes.data(), t->original.size());
    *t->slot = Variant(decode(ansi_code_page(), written));
  }
  for (Variant* r : records_) {
    RecordMarshaller marshal(buffers_, owner_);
    marshal.read_back(*r);
  }
}

}  // namespace qz
