#include "engine/engine_core.h"

#include "engine/engine_paths.h"
#include "forms/event_forwarding.h"
#include "forms/script_form.h"
#include "platform/event_loop.h"
#include "runtime/script_timers.h"

namespace qz {

namespace {
// The maker's address for error reports, until a script names its own developer.
constexpr std::u16string_view kDefaultDevelopAddress = u"quazel@example.org";
}  // namespace

EngineCore& EngineCore::instance() {
  static EngineCore* core = new EngineCore();  // lives as long as the process
  return *core;
}

EngineCore::EngineCore() : control_(make_ref<ScriptControl>()) {
  timers_ = std::make_unique<ScriptTimerTable>(
      event_loop(), [this](int16_t module, std::u16string_view name, Args args) {
        // A tick never reports: a missing module or procedure runs nothing, and an error of
        // the procedure has already gone through the error event.
        if (ended_by_error()) return;
        try {
          if (ScriptModule* m = control_->module(static_cast<size_t>(module))) m->run(name, args);
        } catch (...) {
        }
      });
  control_->on_error = [this](const ScriptErrorInfo& info) { on_error_event(info); };
  set_forms_script_control([this] { return ended_by_error() ? nullptr : control_.get(); });
  translator_.develop_address_default = std::u16string(kDefaultDevelopAddress);
  translator_.develop_address = translator_.develop_address_default;
}

void EngineCore::set_default_develop_address() {
  translator_.develop_address = translator_.develop_address_default;
}

void EngineCore::attach() {
  if (instances_++ == 0) {
    control_->reset();
    control_->set_timeout(-1);  // no time limit on script code
    // A stop signal (TERM, Ctrl+C) stops script code that never returns to the loop.
    control_->set_interrupt_request(event_loop().stop_request());
  }
}

void EngineCore::detach() {
  if (instances_ > 0 && --instances_ == 0) {
    reset_engine();
    end_engine_life();
  }
}

void EngineCore::end_engine_life() {
  // Released: the next engine starts a life of its own. The host's start-up check runs a
  // probe engine before the run's engine; the run-level directives, error display and
  // developer address of the script belong to the run, not to the probe's "rc = 0".
  translator_.run_level_latch = false;
  translator_.run_levels = RunLevelFlags();
  translator_.no_show_error = false;
  translator_.develop_address = translator_.develop_address_default;
}

void EngineCore::request_end() {
  translator_.end_requested = true;
  switch_end_timer_on();
}

void EngineCore::switch_end_timer_on() {
  if (end_pending_) return;
  end_pending_ = true;
  event_loop().post([this] { end_timer_tick(); });
}

void EngineCore::end_timer_tick() {
  end_pending_ = false;
  ++runs_ended_;
  reset_engine();
  if (Ref<Object> host = host_) {
    try {
      host->call(u"EndExe");
    } catch (...) {
    }
  }
}

void EngineCore::reset_engine() {
  try {
    control_->reset();
  } catch (...) {
  }
  timers_->reset();  // the script host's window is gone, and its timers with it
  unload_all_script_forms();
  translator_.resources.clear();
  translator_.module_counter = 0;
  code_origins_.clear();
}

void EngineCore::on_error_event(const ScriptErrorInfo& info) {
  if (info.number == 0) return;  // not an error: no report, the run goes on
  ++error_events_;
  report_script_error(info);
}

std::u16string EngineCore::script_folder() {
  return script_folder_for(script_file_name, host_.get());
}

std::u16string EngineCore::engine_folder() { return engine_library_folder(); }

}  // namespace qz
