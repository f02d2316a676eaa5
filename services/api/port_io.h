// Hardware I/O ports through /dev/port: only for a process running as root and only when
// QUAZEL_ALLOW_PORT_IO is "1", since a wrong write can hang the machine. Otherwise a read
// gives 0 and a write does nothing.
#pragma once
#include <cstdint>

namespace qz {

uint8_t read_port(int32_t port);
void write_port(int32_t port, uint8_t value);

}  // namespace qz
