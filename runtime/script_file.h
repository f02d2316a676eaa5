// ScriptFile: the root object every script sees as `sys`. Construction builds the first level of
// the service tree at once (each property left Nothing when its run-level switch is set or its
// object cannot be made); the members are declared in one table, split by area across the
// sys_*_members.cpp files.
#pragma once
#include <array>
#include <string_view>

#include "com/object.h"
#include "runtime/engine_link.h"

namespace qz {

// The nineteen object properties, in interface order.
enum class SysField : int {
  Registry, GDI, DynAPI, API, File, Media, Resource, ClipBoard, cScreen, Conv, CGI, Power,
  CDlg, Crypt, Console, DDE, Net, NativeRes, NTS,
  Count
};

class ScriptFile : public NativeObject<ScriptFile> {
 public:
  explicit ScriptFile(EngineLink& engine);
  static void define(Members<ScriptFile>& m);
  std::u16string type_name() const override { return u"ScriptFile"; }

  EngineLink& engine() { return engine_; }
  // Leaves Nothing in every property that a set run-level switch rules out. The run control
  // calls it once the translation has read the script's switches.
  void apply_run_levels(const RunLevelFlags& levels);
  Variant field(SysField f) const { return fields_[static_cast<int>(f)]; }
  void set_field(SysField f, Variant v) { fields_[static_cast<int>(f)] = std::move(v); }

 private:
  EngineLink& engine_;
  std::array<Variant, static_cast<size_t>(SysField::Count)> fields_;
};

// The member groups, one per area (each in its own file).
void define_sys_root_members(Members<ScriptFile>& m);            // properties, IsNT, IsStdOut, pipes
void define_sys_script_control_members(Members<ScriptFile>& m);  // EndQZ, IsEnd, AddQZ, AddCode ...
void define_sys_timer_members(Members<ScriptFile>& m);           // OnTimer, OnTimer2, OffTimer
void define_sys_process_members(Members<ScriptFile>& m);         // Path, PathEngine, LangID, CSleep ...
void define_sys_printing_members(Members<ScriptFile>& m);        // printers, CPrint, CLine, CCircle ...

// Calls a member of `obj` by name as a property get; Empty when obj is null or the call fails.
Variant get_member_or_empty(Object* obj, std::u16string_view name);

}  // namespace qz
