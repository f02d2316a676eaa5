// sys.Media: media command strings, the CD door and a tone. There is no media command
// interpreter here yet, so every command answers with an empty reply, as a failed command does:
// MediaOpen gives False, MediaLength and MediaPosition 0, MediaStatus and Mci "". There is no
// PC speaker to program, so Sound returns at once.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_media_object();
// The factory of sys.Media.
Ref<Object> create_media_service(EngineLink& engine);

}  // namespace qz
