// The engine-wide state and the run control: one EngineCore per process (the engine runs on
// one thread), shared by every Quazel object. It owns the script control, the timer table and
// the translator's state; it reads a script, has it translated, runs its Load, reports script
// errors and ends the run through the end timer.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "com/object.h"
#include "engine/translator/translator.h"
#include "runtime/engine_link.h"
#include "script/script_control.h"

namespace qz {

class EngineCore final : public EngineLink {
 public:
  static EngineCore& instance();

  // --- EngineLink (what sys uses) ---
  ScriptControl& script_control() override { return *control_; }
  Object* host_object() override { return host_.get(); }
  ScriptTimerTable& timers() override { return *timers_; }
  const RunLevelFlags& run_levels() override { return translator_.run_levels; }
  void request_end() override;
  bool end_requested() override { return translator_.end_requested; }
  uint64_t runs_ended() override { return runs_ended_; }
  void translate(std::string bytes, std::u16string module_name) override;
  std::u16string expand_path_macros(std::u16string_view name) override;
  std::u16string script_folder() override;
  std::u16string engine_folder() override;
  const ScriptResource* script_resource(int module, int id) override { return translator_.resources.find(module, id); }
  const ModuleEntry* script_module(int module) override { return translator_.modules.find(module); }
  std::vector<Ref<Object>> loaded_script_forms() override;
  Ref<Object> create_picture_box(std::u16string_view name) override;
  int32_t notification_window() override;

  // --- State the Quazel class reads and writes ---
  std::u16string script_file_name;   // the script path; "Exe file" for script text
  std::u16string command_arg;        // what Load receives
  std::u16string add_code_text;      // the host's extra code, put before every script translated
  void set_host_object(Ref<Object> host) { host_ = std::move(host); }
  TranslatorState& translator_state() { return translator_; }
  // 0, or 1 once a script error was reported (the process's exit status).
  int exit_status() const { return exit_status_; }
  void set_failed() { exit_status_ = 1; }

  // Quazel objects alive; the last one to go resets the engine.
  void attach();
  void detach();

  // --- Run control ---
  // `text` is a script file path or a script text; returns when Load has returned. Inline
  // code (the /run order) runs as it is added and needs no Load; any other script without
  // one is reported as an error.
  void run_script(std::u16string_view text, bool load_required = true);
  // The script a standalone program carries: its bytes as they were appended (possibly packed),
  // run as script text with the host's command line as the argument text.
  void run_embedded_script(std::string bytes);
  // Clears the engine after a run: script control, timers, module numbers, resources.
  void reset_engine();
  // The last engine object is gone: what lives for an engine's life (run-level switches,
  // error display, developer address) starts again with the next one.
  void end_engine_life();
  // Switches the end timer on: the run ends at the next pass through the event loop.
  void switch_end_timer_on();
  // An error report has ended the run and its end is pending: timer ticks and window events
  // that were already due run no more script code.
  bool ended_by_error() const { return end_pending_ && errors_this_run_ > 0; }
  // Shows a script error (unless error display is off) and ends the run.
  void report_script_error(const ScriptErrorInfo& info);
  void set_default_develop_address();

 private:
  EngineCore();
  void on_error_event(const ScriptErrorInfo& info);
  void end_timer_tick();
  void run_load(bool load_required);
  // The part of a run shared by every road: Sys, translation, Load.
  void run_bytes(std::string bytes, const std::u16string& module_name, bool load_required);
  // The script-text road: the host's command line becomes the argument text.
  void take_host_command_line();
  TranslatorSettings translator_settings();

  Ref<ScriptControl> control_;
  // The source lines of each piece of translated code the control was given, by its unit id.
  std::map<uint64_t, LineOrigins> code_origins_;
  std::unique_ptr<ScriptTimerTable> timers_;
  Ref<Object> host_;
  TranslatorState translator_;
  std::u16string script_folder_;
  int exit_status_ = 0;
  int instances_ = 0;
  bool end_pending_ = false;
  uint64_t runs_ended_ = 0;     // end-of-run ticks so far
  uint64_t error_events_ = 0;   // error events seen, to tell whether a raised error was shown
  int errors_this_run_ = 0;     // script errors reported since the run started
};

}  // namespace qz
