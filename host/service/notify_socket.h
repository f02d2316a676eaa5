// Service state reports to the service manager through the NOTIFY_SOCKET protocol: one
// datagram of "NAME=value" lines to the Unix socket that the variable names ("/path", or
// "@name" for the abstract namespace). Without the variable nothing is sent.
#pragma once
#include <string>
#include <string_view>

namespace qz::service {

// Sends `state` (for example "READY=1\nSTATUS=Running"); false when there is no socket or the
// datagram could not be sent.
bool notify_service_manager(std::string_view state);

}  // namespace qz::service
