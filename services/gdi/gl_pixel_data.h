// Pixel data that texture calls of sys.GDI.OpenGL hand to OpenGL: how many bytes a width ×
// height image of a format and type takes under the unpacking state, so the data the script
// gives is checked to hold them before OpenGL reads any.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace qz {

// glPixelStorei's unpacking settings that decide where rows start.
struct GlUnpackState {
  int32_t alignment = 4;
  int32_t row_length = 0;  // 0: the width
  int32_t skip_rows = 0;
  int32_t skip_pixels = 0;
};

// Bytes read for the image; nothing for an unknown format or type, or a negative size.
std::optional<size_t> gl_image_bytes(int32_t width, int32_t height, uint32_t format, uint32_t type,
                                     const GlUnpackState& unpack);

}  // namespace qz
