// sys.Net and the object in its HTTP member: a blocking text client for HTTP or any line
// protocol over TCP. The script writes the whole request; SockGet sends it and waits (running
// the event loop, so timers and other events go on) until the reply is complete or nothing
// has arrived for three seconds. There is one connection and one reply per process, shared
// by every HTTP object, as scripts expect.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

Ref<Object> new_http_object();
Ref<Object> new_net_object();
// The factory of sys.Net.
Ref<Object> create_net_service(EngineLink& engine);

}  // namespace qz
