// The script's point, vertex and mesh objects as the drawing calls take them: elements of a
// script array (read from index 0 up to its upper bound), each an object whose X, Y, red,
// green, blue, alpha, UpperLeft, LowerRight or Vertex1..3 properties are read by name. A
// missing element or property, or a value that does not fit, raises the script's error.
#pragma once
#include <array>
#include <vector>

#include "com/object.h"
#include "platform/window/graphics_services.h"

namespace qz {

// Element `index` of a one-dimensional array (subscript error 9 when there is none).
const Variant& array_element(const Variant& array, int32_t index);
// UBound + 1 of a one-dimensional array; 13 (type mismatch) for anything else.
int32_t array_length(const Variant& array);

std::vector<PixelPoint> read_points(const Variant& array);
std::vector<GradientVertex> read_vertices(const Variant& array);
std::array<uint32_t, 2> read_rect_mesh(const Variant& mesh);
std::vector<std::array<uint32_t, 3>> read_triangle_meshes(const Variant& array);

// A colour channel by the 16-bit rule: -32768..65535, stored as its unsigned 16-bit pattern;
// other values raise the overflow error.
uint16_t channel_value(const Variant& v);

}  // namespace qz
