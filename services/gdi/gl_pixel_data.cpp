#include "services/gdi/gl_pixel_data.h"

namespace qz {

namespace {

int components(uint32_t format) {
  switch (format) {
    case 0x1900:  // COLOR_INDEX
    case 0x1901:  // STENCIL_INDEX
    case 0x1902:  // DEPTH_COMPONENT
    case 0x1903:
    case 0x1904:
    case 0x1905:
    case 0x1906:  // RED GREEN BLUE ALPHA
    case 0x1909:  // LUMINANCE
      return 1;
    case 0x190A:  // LUMINANCE_ALPHA
    case 0x8227:  // RG
      return 2;
    case 0x1907:  // RGB
    case 0x80E0:  // BGR
      return 3;
    case 0x1908:  // RGBA
    case 0x80E1:  // BGRA
      return 4;
    default:
      return 0;
  }
}

int type_size(uint32_t type) {
  switch (type) {
    case 0x1400:
    case 0x1401:
      return 1;  // BYTE, UNSIGNED_BYTE
    case 0x1402:
    case 0x1403:
      return 2;  // SHORT, UNSIGNED_SHORT
    case 0x1404:
    case 0x1405:
    case 0x1406:
      return 4;  // INT, UNSIGNED_INT, FLOAT
    default:
      return 0;
  }
}

}  // namespace

std::optional<size_t> gl_image_bytes(int32_t width, int32_t height, uint32_t format, uint32_t type,
                                     const GlUnpackState& unpack) {
  int n = components(format), size = type_size(type);
  if (n == 0 || size == 0 || width < 0 || height < 0 || unpack.row_length < 0 || unpack.skip_rows < 0 ||
      unpack.skip_pixels < 0)
    return std::nullopt;
  int a = unpack.alignment;
  if (a != 1 && a != 2 && a != 4 && a != 8) return std::nullopt;
  if (width == 0 || height == 0) return size_t{0};
  uint64_t pixel = static_cast<uint64_t>(n) * size;
  uint64_t row_pixels = unpack.row_length > 0 ? static_cast<uint64_t>(unpack.row_length) : static_cast<uint64_t>(width);
  uint64_t row = row_pixels * pixel;
  if (size < a) row = (row + a - 1) / a * a;  // rows start on the alignment
  uint64_t total = (static_cast<uint64_t>(unpack.skip_rows) + height - 1) * row +
                   (static_cast<uint64_t>(unpack.skip_pixels) + width) * pixel;
  if (total > (uint64_t{1} << 40)) return std::nullopt;
  return static_cast<size_t>(total);
}

}  // namespace qz
