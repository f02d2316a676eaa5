// OpenGL rendering for sys.GDI.OpenGL. A rendering context draws into an off-screen buffer
// the size of a device context's target; swap_buffers copies what was rendered onto the
// target. The GL and GLU entry points are looked up by name for the caller, which calls them
// while the context is current.
#pragma once
#include <cstdint>

#include "platform/window/graphics_services.h"

namespace qz {

struct PixelFormatRequest {
  int32_t flags = 37;      // draw to window, support OpenGL, double buffer
  int32_t pixel_type = 0;  // RGBA
  int32_t color_bits = 24;
  int32_t depth_bits = 32;
};

class OpenGlServices {
 public:
  virtual ~OpenGlServices() = default;
  // Makes a context for the target of `dc` current (replacing one made before); false when
  // there is no such context or OpenGL is not available.
  virtual bool enable(DeviceContext dc, const PixelFormatRequest& format) = 0;
  virtual void disable() = 0;
  virtual bool current() const = 0;
  // Copies the rendering onto the target of `dc`; false with no context or no such dc.
  virtual bool swap_buffers(DeviceContext dc) = 0;
  // The entry point of a GL (gl...) or GLU (glu...) function; null when unknown or when no
  // context is current.
  virtual void* function(const char* name) = 0;
};

}  // namespace qz
