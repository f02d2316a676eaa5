#include "com/variant.h"

#include <cstring>

#include "com/error.h"
#include "com/object.h"

namespace qz {

size_t ArrayRep::total() const {
  if (dims.empty()) return 0;
  size_t n = 1;
  for (const auto& d : dims) n *= static_cast<size_t>(d.count < 0 ? 0 : d.count);
  return n;
}

size_t ArrayRep::offset(const int32_t* subs, size_t n) const {
  if (n != dims.size()) raise(kErrSubscript);
  size_t off = 0, stride = 1;
  for (size_t i = 0; i < n; ++i) {
    int64_t k = static_cast<int64_t>(subs[i]) - dims[i].lbound;
    if (k < 0 || k >= dims[i].count) raise(kErrSubscript);
    off += static_cast<size_t>(k) * stride;
    stride *= static_cast<size_t>(dims[i].count);
  }
  return off;
}

Variant::Variant(Object* o) : vt_(VT::Object), i64_(0) {
  obj_ = o;
  if (o) o->AddRef();
}

void Variant::retain_counted() const {
  switch (vt_) {
    case VT::String: if (str_) ++str_->refs; break;
    case VT::Object: if (obj_) obj_->AddRef(); break;
    case VT::Array: if (arr_) ++arr_->refs; break;
    default: break;
  }
}

void Variant::release_counted() {
  switch (vt_) {
    case VT::String:
      if (str_ && --str_->refs == 0) Str::free_rep(str_);
      break;
    case VT::Object:
      if (obj_) {
        Object* o = obj_;
        vt_ = VT::Empty;   // a destructor running script code must not see a dangling value
        obj_ = nullptr;
        o->Release();
      }
      break;
    case VT::Array:
      if (arr_ && --arr_->refs == 0) {
        ArrayRep* a = arr_;
        vt_ = VT::Empty;
        arr_ = nullptr;
        delete a;
      }
      break;
    default: break;
  }
  vt_ = VT::Empty;
  i64_ = 0;
}

Variant Variant::array(ArrayRep* rep) {
  Variant v;
  v.vt_ = VT::Array;
  v.arr_ = rep;
  ++rep->refs;
  return v;
}

Variant Variant::new_array(std::vector<ArrayDim> dims, VT elem) {
  auto* rep = new ArrayRep();
  rep->elem = elem;
  rep->dims = std::move(dims);
  size_t n = rep->total();
  if (n > (size_t{1} << 31)) { delete rep; raise(kErrOutOfMemory); }
  if (elem == VT::Byte) rep->bytes.assign(n, 0);
  else rep->items.resize(n);
  return array(rep);
}

Variant Variant::from_vector(std::vector<Variant> items) {
  auto* rep = new ArrayRep();
  rep->dims.push_back({0, static_cast<int32_t>(items.size())});
  rep->items = std::move(items);
  return array(rep);
}

Variant Variant::byte_array(const void* data, size_t n) {
  auto* rep = new ArrayRep();
  rep->elem = VT::Byte;
  rep->dims.push_back({0, static_cast<int32_t>(n)});
  const auto* p = static_cast<const uint8_t*>(data);
  rep->bytes.assign(p, p + n);
  return array(rep);
}

ArrayRep* Variant::array_mut() {
  if (vt_ != VT::Array) return nullptr;
  if (arr_->refs > 1) {
    auto* copy = new ArrayRep(*arr_);
    copy->refs = 1;
    copy->locks = 0;
    --arr_->refs;
    arr_ = copy;
  }
  return arr_;
}

bool Variant::is_numeric_type() const {
  switch (vt_) {
    case VT::Integer: case VT::Long: case VT::Single: case VT::Double: case VT::Currency:
    case VT::Byte: case VT::LongLong:
      return true;
    default:
      return false;
  }
}

}  // namespace qz
