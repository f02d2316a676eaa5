// OpenGL for sys.GDI.OpenGL on Qt's OpenGL module: an off-screen context (Mesa renders in
// software where there is no GPU) drawing into a frame buffer the size of a device context's
// target; swapping copies the frame buffer onto the target.
#pragma once
#include "platform/window/opengl_services.h"

namespace qz {

OpenGlServices& qt_opengl_services();

}  // namespace qz
