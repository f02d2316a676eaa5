// What the sys object needs from the engine that runs the script. The engine implements it and
// hands it to every ScriptFile it creates; the runtime never reaches into the engine otherwise.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "engine/translator/translator_state.h"

namespace qz {

class ScriptControl;
class ScriptTimerTable;

// Thrown out of script code whose run ended under it: the end-of-run tick came while the script
// pumped events (DoEvents), the engine has been reset and the script's sys object is gone. It
// unwinds the script's procedures, which must not go on, up to where the engine entered the
// script; it is not a script error, so On Error does not stop it and nothing is reported.
struct RunEnded {};

class EngineLink {
 public:
  virtual ~EngineLink() = default;

  // The script control of the run (never null while the engine exists).
  virtual ScriptControl& script_control() = 0;
  // The object the host handed over with SetObjExe; null when there is none.
  virtual Object* host_object() = 0;
  // The engine-wide timer table (sys.OnTimer, sys.OffTimer and the dispatcher).
  virtual ScriptTimerTable& timers() = 0;
  // The run-level switches in force (<#--LevelRun=No_...>): a set one leaves that part of sys out.
  virtual const RunLevelFlags& run_levels() = 0;

  // sys.EndQZ: sets the end flag and switches the end-of-run timer on.
  virtual void request_end() = 0;
  virtual bool end_requested() = 0;
  // How many runs have ended (end-of-run ticks) in the engine's life: a change while script
  // code waited means its run is over.
  virtual uint64_t runs_ended() { return 0; }

  // Hands script bytes to the translator, as a further module of the running script.
  virtual void translate(std::string bytes, std::u16string module_name) = 0;
  // A script name with its path macros (%qz_path% ...) expanded.
  virtual std::u16string expand_path_macros(std::u16string_view name) = 0;

  // Folder of the running script and of the engine library; both end with "/".
  virtual std::u16string script_folder() = 0;
  virtual std::u16string engine_folder() = 0;

  // The translator's tables, for sys.Resource and sys.GetModule: a script resource (null
  // outside the table) and the entry of a script module number (null when it has none).
  // Pointers into the engine's tables, valid until the next translation or reset.
  virtual const ScriptResource* script_resource(int module, int id) { return nullptr; }
  virtual const ModuleEntry* script_module(int module) { return nullptr; }

  // Every script form whose window is loaded, in load order (sys.GetModule looks at them).
  virtual std::vector<Ref<Object>> loaded_script_forms() { return {}; }
  // A new picture box named `name` on the engine's hidden picture host (sys.CreateImage);
  // null when none can be made.
  virtual Ref<Object> create_picture_box(std::u16string_view name) { return {}; }
  // The window of that hidden host, where sys.Media's completion notices go; 0 while it is not
  // loaded (then no script can be listening to it).
  virtual int32_t notification_window() { return 0; }
};

}  // namespace qz
