#include "host/service/service_control.h"

#include <csignal>

#include "com/convert.h"
#include "host/service/notify_socket.h"
#include "platform/output.h"

namespace qz {

namespace {

bool success_of(const Variant& v) {
  try {
    return to_bool(v);
  } catch (...) {
    return false;
  }
}

}  // namespace

ServiceControl::ServiceControl(EventLoop& loop) : loop_(loop) {}

ServiceControl::~ServiceControl() {
  if (state_ != State::Stopped) give_back_signals();
  if (holding_) loop_.release();
}

Variant ServiceControl::fire(std::u16string_view procedure, std::vector<Variant> args) {
  if (!forward_) return {};
  try {
    return forward_(procedure, 1, args);
  } catch (...) {
    return {};
  }
}

void ServiceControl::enter(State s) {
  state_ = s;
  bool want_hold = s != State::Stopped;
  if (want_hold && !holding_) loop_.hold();
  if (!want_hold && holding_) loop_.release();
  holding_ = want_hold;
}

void ServiceControl::take_signals() {
  loop_.on_signal(SIGTSTP, [this](int) { pause(); });
  loop_.on_signal(SIGCONT, [this](int) { resume(); });
  loop_.on_signal(SIGUSR1, [this](int) { control(kControlUser1); });
  loop_.on_signal(SIGUSR2, [this](int) { control(kControlUser2); });
}

void ServiceControl::give_back_signals() {
  for (int s : {SIGTSTP, SIGCONT, SIGUSR1, SIGUSR2}) loop_.clear_signal(s);
}

bool ServiceControl::start() {
  if (state_ != State::Stopped) return true;
  if (!success_of(fire(u"NTS_Start"))) {
    service::notify_service_manager("STATUS=Start refused by the script");
    return false;
  }
  enter(State::Running);
  take_signals();
  service::notify_service_manager("READY=1\nSTATUS=Running");
  return true;
}

bool ServiceControl::pause() {
  if (state_ != State::Running) return false;
  if (!success_of(fire(u"NTS_Pause"))) return false;
  if (state_ != State::Running) return false;  // stopped from inside the procedure
  enter(State::Paused);
  service::notify_service_manager("STATUS=Paused");
  return true;
}

bool ServiceControl::resume() {
  if (state_ != State::Paused) return false;
  if (!success_of(fire(u"NTS_Continue"))) return false;
  if (state_ != State::Paused) return false;
  enter(State::Running);
  service::notify_service_manager("STATUS=Running");
  return true;
}

void ServiceControl::control(int32_t event_id) {
  if (state_ == State::Stopped) return;
  fire(u"NTS_Control", {Variant(event_id)});
}

bool ServiceControl::stop() {
  if (state_ == State::Stopped) return false;
  service::notify_service_manager("STOPPING=1\nSTATUS=Stopping");
  give_back_signals();
  enter(State::Stopped);
  fire(u"NTS_Stop");
  if (on_stopped_) on_stopped_();
  return true;
}

void ServiceControl::shutdown() {
  if (state_ == State::Stopped) return;
  give_back_signals();
  enter(State::Stopped);
  service::notify_service_manager("STOPPING=1\nSTATUS=Stopped");
}

void ServiceControl::define(Members<ServiceControl>& m) {
  m.method(u"StartService", [](ServiceControl& s, Args) { return Variant(s.start()); });
  m.method(u"StopService", [](ServiceControl& s, Args) { return Variant(s.stop()); });
  m.getter(u"Running", [](ServiceControl& s, Args) { return Variant(s.state() == State::Running); });
  m.getter(u"Paused", [](ServiceControl& s, Args) { return Variant(s.state() == State::Paused); });
  m.method(u"Install", [](ServiceControl&, Args) { return Variant(false); });
  m.method(u"Uninstall", [](ServiceControl&, Args) { return Variant(false); });
  m.method(u"LogEvent", [](ServiceControl& s, Args a) {
    // The service manager keeps what a service writes to its error stream.
    // LogEvent(type, id, text): the text is the last argument.
    write_stderr(s.service_name_ + u": " + (a.empty() ? std::u16string() : to_u16(a[a.size() - 1])) + u"\n");
    return Variant(true);
  });
  m.property(
      u"DisplayName", [](ServiceControl& s, Args) { return Variant(s.display_name_); },
      [](ServiceControl& s, Args, const Variant& v) { s.display_name_ = to_u16(v); });
  m.property(
      u"ServiceName", [](ServiceControl& s, Args) { return Variant(s.service_name_); },
      [](ServiceControl& s, Args, const Variant& v) { s.service_name_ = to_u16(v); });
  m.property(
      u"Interactive", [](ServiceControl& s, Args) { return s.interactive_; },
      [](ServiceControl& s, Args, const Variant& v) { s.interactive_ = Variant(to_bool(v)); });
  m.property(
      u"StartMode", [](ServiceControl& s, Args) { return s.start_mode_; },
      [](ServiceControl& s, Args, const Variant& v) { s.start_mode_ = Variant(to_long(v)); });
  m.property(
      u"ControlsAccepted", [](ServiceControl& s, Args) { return s.controls_accepted_; },
      [](ServiceControl& s, Args, const Variant& v) { s.controls_accepted_ = Variant(to_long(v)); });
}

}  // namespace qz
