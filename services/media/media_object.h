// sys.Media: media command strings (media_commands.h) played through the window system's
// media services, with completion notices to the engine's hidden host window, the CD door and a
// tone on the sound device (nothing happens without one).
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_media_object();
// The factory of sys.Media.
Ref<Object> create_media_service(EngineLink& engine);

}  // namespace qz
