// The drawing calls of sys.GDI and sys.API on device contexts: polygons, gradient fills, blends,
// block transfers, pixels and text. Each returns false (or -1) for a context that is not ours.
#pragma once
#include <QRgb>
#include <array>
#include <vector>

#include "platform/window/graphics_services.h"

namespace qz {

bool draw_polygon(DeviceContext dc, const std::vector<PixelPoint>& points);
bool fill_gradient_rect(DeviceContext dc, const std::vector<GradientVertex>& vertices, uint32_t upper_left,
                        uint32_t lower_right, bool vertical);
bool fill_gradient_triangles(DeviceContext dc, const std::vector<GradientVertex>& vertices,
                             const std::vector<std::array<uint32_t, 3>>& triangles);
bool blend_contexts(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect,
                    uint8_t constant_alpha, bool per_pixel);
bool transfer_block(DeviceContext dst, PixelRect dst_rect, DeviceContext src, PixelRect src_rect, int32_t rop);
int32_t put_pixel(DeviceContext dc, int32_t x, int32_t y, int32_t color);
bool draw_text_at(DeviceContext dc, int32_t x, int32_t y, std::u16string_view text);

// A platform colour value (0x00BBGGRR) as an opaque Qt colour, and back.
uint32_t argb_of(int32_t color);
int32_t color_of(QRgb argb);

}  // namespace qz
