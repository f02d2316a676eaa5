// sys.API: single calls of our window system or of the C library. Libraries are loaded and
// searched through the dynamic loader (handles and addresses are 64-bit numbers); the window
// and drawing members work on our own windows and device contexts and give the calls' failure
// values (0; -1 from SetPixelA) for numbers we did not hand out. CreateWindow and
// SystemParametersInfoA have no counterpart here and report failure. The clock members give
// milliseconds since boot and a nanosecond counter; GetIO and PutIO reach ports only as
// port_io.h allows.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_api_object();
// The factory of sys.API.
Ref<Object> create_api_service(EngineLink& engine);

}  // namespace qz
