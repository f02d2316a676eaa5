#include "services/file/typed_value_io.h"

#include <cstring>

#include "com/convert.h"
#include "platform/codepage.h"

namespace qz {

namespace {

// A one-dimensional array of Bytes or Variants: the number of bytes it stands for.
std::optional<size_t> array_image_size(const ArrayRep* rep) {
  if (rep->dims.size() != 1) return std::nullopt;
  int64_t ubound = static_cast<int64_t>(rep->dims[0].lbound) + rep->dims[0].count - 1;
  return ubound < 0 ? 0 : static_cast<size_t>(ubound + 1);
}

template <class T>
std::string raw(T v) {
  std::string out(sizeof v, '\0');
  std::memcpy(out.data(), &v, sizeof v);
  return out;
}

template <class T>
T from_raw(std::string_view bytes) {
  T v{};
  std::memcpy(&v, bytes.data(), std::min(sizeof v, bytes.size()));
  return v;
}

}  // namespace

std::optional<size_t> typed_image_size(const Variant& value) {
  switch (value.type()) {
    case VT::Byte: return 1;
    case VT::Integer: case VT::Boolean: return 2;
    case VT::Long: case VT::Single: return 4;
    case VT::Double: case VT::Currency: return 8;
    case VT::String: return value.as_str().size();
    case VT::Array: {
      const ArrayRep* rep = value.as_array();
      if (rep->elem != VT::Byte && rep->elem != VT::Variant) return std::nullopt;
      return array_image_size(rep);
    }
    default: return std::nullopt;
  }
}

std::string typed_image(const Variant& value) {
  switch (value.type()) {
    case VT::Byte: return std::string(1, static_cast<char>(value.as_byte()));
    case VT::Integer: return raw(value.as_integer());
    case VT::Boolean: return raw(static_cast<int16_t>(value.as_bool() ? -1 : 0));
    case VT::Long: return raw(value.as_long());
    case VT::Single: return raw(value.as_single());
    case VT::Double: return raw(value.as_double());
    case VT::Currency: return raw(value.as_currency());
    case VT::String: {
      std::string bytes = encode(ansi_code_page(), value.str_view());
      bytes.resize(value.as_str().size(), '?');
      return bytes;
    }
    case VT::Array: {
      const ArrayRep* rep = value.as_array();
      std::optional<size_t> n = typed_image_size(value);
      if (!n) return {};
      std::string out(*n, '\0');
      int32_t lb = rep->dims[0].lbound;
      for (size_t i = 0; i < *n; ++i) {
        int64_t k = static_cast<int64_t>(i) - lb;
        if (k < 0) continue;   // below the lower bound: nothing there, 0 written
        if (rep->elem == VT::Byte) {
          out[i] = static_cast<char>(rep->bytes[static_cast<size_t>(k)]);
        } else {
          try {
            out[i] = static_cast<char>(to_byte(rep->items[static_cast<size_t>(k)]));
          } catch (...) {
            // An element that is no byte value writes 0.
          }
        }
      }
      return out;
    }
    default: return {};
  }
}

void store_typed_image(Variant& target, std::string_view bytes) {
  switch (target.type()) {
    case VT::Byte: target = Variant(from_raw<uint8_t>(bytes)); break;
    case VT::Integer: target = Variant(from_raw<int16_t>(bytes)); break;
    case VT::Boolean: target = Variant(from_raw<int16_t>(bytes) != 0); break;
    case VT::Long: target = Variant(from_raw<int32_t>(bytes)); break;
    case VT::Single: target = Variant(from_raw<float>(bytes)); break;
    case VT::Double: target = Variant(from_raw<double>(bytes)); break;
    case VT::Currency: target = Variant::currency(from_raw<int64_t>(bytes)); break;
    case VT::String: target = Variant(decode(ansi_code_page(), bytes)); break;
    case VT::Array: {
      ArrayRep* rep = target.array_mut();
      if (rep->dims.size() != 1 || (rep->elem != VT::Byte && rep->elem != VT::Variant)) return;
      int32_t lb = rep->dims[0].lbound;
      for (size_t i = 0; i < bytes.size(); ++i) {
        int64_t k = static_cast<int64_t>(i) - lb;
        if (k < 0 || k >= rep->dims[0].count) continue;
        uint8_t b = static_cast<uint8_t>(bytes[i]);
        if (rep->elem == VT::Byte) rep->bytes[static_cast<size_t>(k)] = b;
        else rep->items[static_cast<size_t>(k)] = Variant(b);
      }
      break;
    }
    default: break;
  }
}

}  // namespace qz
