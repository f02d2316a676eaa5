// Media playback on Qt Multimedia and the tone on the default sound device. Without a sound
// device a player plays silently (its clock still runs, so status and position move as they
// would) and the tone reports failure.
#pragma once
#include "platform/window/media_services.h"

namespace qz {

MediaServices& qt_media_services();

}  // namespace qz
