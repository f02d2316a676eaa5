// sys.GDI.OpenGL: a rendering context on a device context (off screen, copied onto the target
// by OGL_SwapBuffers), the fixed set of forwarded GL and GLU calls, and a byte buffer of up to
// three dimensions. Texture calls take pixel data only as the script's own byte array or a
// PtrBuf handle of this buffer, checked to hold width × height in the format before OpenGL
// reads it; a raw number is never taken as an address.
#pragma once
#include "com/object.h"

namespace qz {

Ref<Object> new_opengl_object();

}  // namespace qz
