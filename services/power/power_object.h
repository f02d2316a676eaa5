// sys.Power: switching the machine off, restarting it, ending the session, suspending and
// hibernating it, and the monitor off and on; plus the mains and battery status.
//
// These act on the whole machine, so they do nothing unless the environment variable
// QUAZEL_ALLOW_POWER is "1": then they ask the service manager (systemctl), the login manager
// (loginctl) or the X display (xset) to do it. Without the switch, or when the tool is missing
// or refuses, the member silently does nothing, as a failed call does on any system.
#pragma once
#include "com/object.h"

namespace qz {

class EngineLink;

// `supply_root` is the power-supply class folder to read the status from (ends with "/").
Ref<Object> new_power_object(std::string supply_root = "/sys/class/power_supply/");
// The factory of sys.Power.
Ref<Object> create_power_service(EngineLink& engine);

}  // namespace qz
