// What the kernel's power-supply class folder says about mains and batteries: one subfolder
// per supply with small text files ("type", "online", "capacity", "energy_now", ...).
#pragma once
#include <string>

namespace qz {

struct PowerStatus {
  int ac_line = 255;          // 1 on mains, 0 on battery, 255 unknown (no mains supply listed)
  int battery_percent = 255;  // 0 to 100 over all batteries, 255 when there is none
};

// Reads the supplies below `root` (normally "/sys/class/power_supply/"); a missing or unreadable
// folder gives the unknown status. Files that do not hold a plain number are ignored.
PowerStatus read_power_status(const std::string& root);

}  // namespace qz
