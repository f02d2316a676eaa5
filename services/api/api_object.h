// sys.API: single system calls. There are no native windows, device contexts or loadable
// modules of the original kind here, so the window, drawing and module members report the
// calls' failure (0; -1 from SetPixelA, the "invalid colour" answer) and change nothing. The
// clock members work: GetTickCountA and timeGetTimeA give milliseconds since boot, the two
// performance members a nanosecond counter and its frequency. GetIO and PutIO reach ports
// only as port_io.h allows.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_api_object();
// The factory of sys.API.
Ref<Object> create_api_service(EngineLink& engine);

}  // namespace qz
