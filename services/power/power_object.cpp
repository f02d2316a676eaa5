#include "services/power/power_object.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "com/convert.h"
#include "runtime/helpers/program_pipe.h"
#include "services/power/power_supply.h"

namespace qz {

namespace {

constexpr int kCommandTimeoutMs = 30000;

bool power_actions_allowed() {
  const char* v = std::getenv("QUAZEL_ALLOW_POWER");
  return v && std::string(v) == "1";
}

// Runs a power tool when the switch allows it; its failure is not reported.
void act(std::vector<std::string> argv) {
  if (!power_actions_allowed()) return;
  run_piped(argv, "", kCommandTimeoutMs);
}

// The forced forms: programs that hold the machine up (inhibitors) are not waited for.
void systemctl_forced(const char* verb) { act({"systemctl", "--no-ask-password", "--ignore-inhibitors", verb}); }

void suspend_or_hibernate(const char* verb, Args a) {
  bool force = a.has(0) && to_long(a[0]) != 0;
  if (force) systemctl_forced(verb);
  else act({"systemctl", "--no-ask-password", verb});
}

void monitor(const char* state) {
  if (!std::getenv("DISPLAY")) return;
  act({"xset", "dpms", "force", state});
}

class PowerObject : public NativeObject<PowerObject> {
 public:
  explicit PowerObject(std::string root) : root_(std::move(root)) {}
  std::u16string type_name() const override { return u"clsShutdown"; }

  static void define(Members<PowerObject>& m) {
    m.method(u"POWEROFF", [](PowerObject&, Args) { systemctl_forced("poweroff"); return Variant(); });
    m.method(u"REBOOT", [](PowerObject&, Args) { systemctl_forced("reboot"); return Variant(); });
    m.method(u"LOGOFF", [](PowerObject&, Args) {
      // The session this process belongs to; without one there is nothing to end.
      const char* session = std::getenv("XDG_SESSION_ID");
      if (session && *session) act({"loginctl", "--no-ask-password", "terminate-session", session});
      return Variant();
    });
    m.method(u"SHUTDOWN", [](PowerObject&, Args) { systemctl_forced("halt"); return Variant(); });
    m.method(u"SUSPEND", [](PowerObject&, Args a) { suspend_or_hibernate("suspend", a); return Variant(); });
    m.method(u"HIBERNATE", [](PowerObject&, Args a) { suspend_or_hibernate("hibernate", a); return Variant(); });
    m.method(u"MonitorOff", [](PowerObject&, Args) { monitor("off"); return Variant(); });
    m.method(u"MonitorOn", [](PowerObject&, Args) { monitor("on"); return Variant(); });
    // 1 on mains, 0 on battery, 255 unknown.
    m.getter(u"ACLineStatus", [](PowerObject& p, Args) {
      return Variant(static_cast<int32_t>(read_power_status(p.root_).ac_line));
    });
    // Charge left over all batteries, 0 to 100; 255 without a battery.
    m.getter(u"BatteryLifePercent", [](PowerObject& p, Args) {
      return Variant(static_cast<int32_t>(read_power_status(p.root_).battery_percent));
    });
  }

 private:
  std::string root_;
};

}  // namespace

Ref<Object> new_power_object(std::string supply_root) { return make_ref<PowerObject>(std::move(supply_root)); }

Ref<Object> create_power_service(EngineLink&) {
  // A test run may point the status at a prepared folder.
  const char* root = std::getenv("QUAZEL_POWER_SUPPLY_ROOT");
  return new_power_object(root && *root ? std::string(root) : std::string("/sys/class/power_supply/"));
}

}  // namespace qz
