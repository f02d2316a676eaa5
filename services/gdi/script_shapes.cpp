#include "services/gdi/script_shapes.h"

#include "com/convert.h"
#include "com/error.h"

namespace qz {

namespace {

const ArrayRep& one_dimension(const Variant& array) {
  const Variant& v = array.deref();
  if (!v.is_array() || !v.as_array()) raise(kErrTypeMismatch);
  const ArrayRep& rep = *v.as_array();
  if (rep.dims.size() != 1) raise(kErrSubscript);
  return rep;
}

Variant property(const Variant& element, std::u16string_view name) { return to_object(element.deref())->get(name); }

int32_t long_property(const Variant& element, std::u16string_view name) { return to_long(property(element, name)); }

uint32_t index_property(const Variant& element, std::u16string_view name) {
  return static_cast<uint32_t>(to_long(property(element, name)));
}

}  // namespace

const Variant& array_element(const Variant& array, int32_t index) {
  const ArrayRep& rep = one_dimension(array);
  if (rep.elem != VT::Variant) raise(kErrTypeMismatch);
  return rep.items[rep.offset(&index, 1)];
}

int32_t array_length(const Variant& array) {
  const ArrayRep& rep = one_dimension(array);
  return rep.dims[0].lbound + rep.dims[0].count;  // UBound + 1
}

uint16_t channel_value(const Variant& v) {
  double d = to_double(v);
  double r = round_half_even(d);
  if (!(r >= -32768 && r <= 65535)) raise(kErrOverflow);
  return static_cast<uint16_t>(static_cast<int32_t>(r) & 0xFFFF);
}

std::vector<PixelPoint> read_points(const Variant& array) {
  int32_t n = array_length(array);
  std::vector<PixelPoint> out;
  out.reserve(n > 0 ? static_cast<size_t>(n) : 0);
  for (int32_t i = 0; i < n; ++i) {
    const Variant& e = array_element(array, i);
    out.push_back(PixelPoint{long_property(e, u"X"), long_property(e, u"Y")});
  }
  if (n <= 0) array_element(array, 0);  // an empty array has no element 0
  return out;
}

std::vector<GradientVertex> read_vertices(const Variant& array) {
  int32_t n = array_length(array);
  if (n <= 0) array_element(array, 0);
  std::vector<GradientVertex> out;
  out.reserve(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i) {
    const Variant& e = array_element(array, i);
    GradientVertex v;
    v.x = long_property(e, u"X");
    v.y = long_property(e, u"Y");
    v.red = channel_value(property(e, u"red"));
    v.green = channel_value(property(e, u"green"));
    v.blue = channel_value(property(e, u"blue"));
    v.alpha = channel_value(property(e, u"alpha"));
    out.push_back(v);
  }
  return out;
}

std::array<uint32_t, 2> read_rect_mesh(const Variant& mesh) {
  return {index_property(mesh, u"UpperLeft"), index_property(mesh, u"LowerRight")};
}

std::vector<std::array<uint32_t, 3>> read_triangle_meshes(const Variant& array) {
  int32_t n = array_length(array);
  if (n <= 0) array_element(array, 0);
  std::vector<std::array<uint32_t, 3>> out;
  for (int32_t i = 0; i < n; ++i) {
    const Variant& e = array_element(array, i);
    out.push_back({index_property(e, u"Vertex1"), index_property(e, u"Vertex2"), index_property(e, u"Vertex3")});
  }
  return out;
}

}  // namespace qz
