#include "formats/byte_buffer.h"

#include "com/convert.h"
#include "com/error.h"

namespace qz {

std::string bytes_of_array(const Variant& array) {
  const Variant& v = array.deref();
  if (!v.is_array()) return {};
  const ArrayRep* rep = v.as_array();
  if (rep->dims.empty()) return {};
  const ArrayDim& d = rep->dims[0];
  const int64_t ubound = static_cast<int64_t>(d.lbound) + d.count - 1;
  if (ubound < 0) return {};
  std::string out(static_cast<size_t>(ubound + 1), '\0');
  for (int64_t i = d.lbound < 0 ? 0 : d.lbound; i <= ubound; ++i) {
    size_t k = static_cast<size_t>(i - d.lbound);
    if (rep->elem == VT::Byte) {
      out[static_cast<size_t>(i)] = static_cast<char>(rep->bytes[k]);
      continue;
    }
    try {
      out[static_cast<size_t>(i)] = static_cast<char>(to_byte(rep->items[k]));
    } catch (const ScriptError&) {
      // The byte stays 0.
    }
  }
  return out;
}

Variant variant_byte_array(std::string_view bytes) {
  std::vector<Variant> items;
  items.reserve(bytes.size());
  for (unsigned char b : bytes) items.emplace_back(static_cast<uint8_t>(b));
  return Variant::from_vector(std::move(items));
}

}  // namespace qz
