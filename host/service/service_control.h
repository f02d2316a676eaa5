// sys.NTS: the host's service control. A script becomes a service by calling StartService;
// from then on the service manager (or anyone) steers it with signals, and each state change is
// reported through NOTIFY_SOCKET when that is set:
//
//   StartService     NTS_Start() -> Success; True: running, "READY=1" "STATUS=Running"
//   SIGTSTP          NTS_Pause() -> Success; True: paused, "STATUS=Paused"     (when running)
//   SIGCONT          NTS_Continue() -> Success; True: running, "STATUS=Running" (when paused)
//   SIGUSR1, SIGUSR2 NTS_Control(EventID) with EventID 128 and 129, the first two user codes
//   SIGTERM, StopService  NTS_Stop(), "STOPPING=1" "STATUS=Stopping", then the run ends
//
// The procedures run in module 1. While the service runs (or is paused) the run stays alive and
// SIGTSTP no longer stops the process; before StartService and after the stop the signals keep
// their usual meaning. Install and Uninstall return False: registering with a service manager
// is the job of a unit file, which the administrator writes.
#pragma once
#include <string>

#include "com/object.h"
#include "host/event_forward.h"
#include "platform/event_loop.h"

namespace qz {

class ServiceControl : public NativeObject<ServiceControl> {
 public:
  enum class State { Stopped, Running, Paused };
  static constexpr int32_t kControlUser1 = 128;
  static constexpr int32_t kControlUser2 = 129;

  explicit ServiceControl(EventLoop& loop);
  ~ServiceControl() override;
  static void define(Members<ServiceControl>& m);
  std::u16string type_name() const override { return u"NTService"; }

  void set_forward(EventForward forward) { forward_ = std::move(forward); }
  // What ends the run after a stop (the host's normal end).
  void set_on_stopped(std::function<void()> fn) { on_stopped_ = std::move(fn); }

  State state() const { return state_; }
  bool start();
  bool pause();
  bool resume();
  void control(int32_t event_id);
  // NTS_Stop when the service runs; then the run ends. False when it was not running.
  bool stop();
  // The run is ending without a stop request: the manager hears that the service stops.
  void shutdown();

 private:
  Variant fire(std::u16string_view procedure, std::vector<Variant> args = {});
  void take_signals();
  void give_back_signals();
  void enter(State s);

  EventLoop& loop_;
  EventForward forward_;
  std::function<void()> on_stopped_;
  State state_ = State::Stopped;
  bool holding_ = false;
  std::u16string display_name_ = u"Quazel Service";
  std::u16string service_name_ = u"QZL_Service";
  Variant interactive_ = Variant(false);
  Variant start_mode_ = Variant(int32_t{3});
  Variant controls_accepted_ = Variant(int32_t{0});
};

}  // namespace qz
