// The script control: our VBScript implementation behind the interface the engine drives.
// Module 1 is the global module; every module has its own names and sees the global module's
// names after its own, then the objects added with add_object.
#pragma once
#include <csignal>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "com/error.h"
#include "com/object.h"

namespace qz {

// What the control's Error object reports about the last error.
struct ScriptErrorInfo {
  int32_t number = 0;
  std::u16string source;        // "VBScript runtime error" / "VBScript compilation error"
  std::u16string description;
  std::u16string text;          // the source line the error happened on
  int line = 0;                 // 1-based; counts CR LF, lone CR and lone LF as line breaks
  int column = 0;               // 1-based; 0 when unknown
  uint64_t unit = 0;            // the AddCode call whose code holds `line` (its next_unit_id); 0 when unknown
};

class ScriptControl;
class ScriptEngineImpl;

// Thrown out of running script code once the interrupt request is seen. It is not a script
// error: On Error does not stop it, no error event reports it, and it unwinds every procedure
// up to whoever entered the script. While the request stands, every entry stops at once.
struct ScriptInterrupted {};

// One named module of code (scriptable: AddCode, Eval, ExecuteStatement, Run, CodeObject,
// Procedures, Name).
class ScriptModule : public NativeObject<ScriptModule> {
 public:
  static void define(Members<ScriptModule>& m);
  std::u16string type_name() const override { return u"Module"; }

  const std::u16string& name() const { return name_; }
  // Compiles `code` into this module and runs its top-level statements. Raises ScriptError
  // (with line and column) after the control's error event has seen it.
  void add_code(std::u16string_view code);
  Variant eval(std::u16string_view expression);
  void execute_statement(std::u16string_view statement);
  // Runs procedure `name` with the arguments; arguments given as by-reference cells receive
  // what the procedure assigns to its ByRef parameters. A missing procedure raises 35
  // ("Sub or Function not defined") without firing the error event.
  Variant run(std::u16string_view name, Args args);
  bool has_procedure(std::u16string_view name) const;
  // An object whose members are this module's public variables and procedures.
  Ref<Object> code_object();
  struct ProcedureInfo { std::u16string name; int num_args; bool has_return_value; };
  std::vector<ProcedureInfo> procedures() const;

  ScriptModule(ScriptControl* owner, std::u16string name, int index);
  int index() const { return index_; }  // 1-based

 private:
  ScriptControl* owner_;
  std::u16string name_;
  int index_;
  friend class ScriptControl;
  friend class ScriptEngineImpl;
};

class ScriptControl : public NativeObject<ScriptControl> {
 public:
  ScriptControl();
  ~ScriptControl() override;
  // A control added to itself (AddObject "Me", control) would keep itself alive: once only
  // those references remain, they go, and the control with them.
  uint32_t Release() override;
  static void define(Members<ScriptControl>& m);
  std::u16string type_name() const override { return u"ScriptControl"; }

  // Properties.
  std::u16string language() const { return u"VBScript"; }
  bool allow_ui() const { return allow_ui_; }
  void set_allow_ui(bool on) { allow_ui_ = on; }
  int32_t timeout() const { return timeout_ms_; }
  void set_timeout(int32_t ms) { timeout_ms_ = ms; }   // -1: no limit
  bool use_safe_subset() const { return safe_subset_; }
  void set_use_safe_subset(bool on) { safe_subset_ = on; }
  // A flag that asks running code to stop when it is non-zero: a signal handler sets it, and
  // the interpreter reads it where it checks the Timeout (ScriptInterrupted). nullptr: none.
  void set_interrupt_request(const volatile sig_atomic_t* flag);

  // Drops all code, modules (except a fresh global module), variables and added objects.
  void reset();
  // Makes `object` visible as `name`; with add_members its members are also global names.
  void add_object(std::u16string_view name, Ref<Object> object, bool add_members = false);
  // Shorthands for the global module.
  void add_code(std::u16string_view code);
  Variant eval(std::u16string_view expression);
  void execute_statement(std::u16string_view statement);
  Variant run(std::u16string_view name, Args args);
  // Evaluates in the global module without the error event and without touching the Error
  // object: for callers that handle a failure themselves (a value they may keep as text).
  Variant eval_quietly(std::u16string_view expression);

  // Modules: 1-based; module(1) is "Global". Lookup by name ignores case.
  ScriptModule* add_module(std::u16string_view name);
  size_t module_count() const;
  ScriptModule* module(size_t index);               // nullptr when out of range
  ScriptModule* module(std::u16string_view name);   // nullptr when missing

  // The Error object's state and the error event. The event runs before the failing call
  // raises the error to its caller.
  const ScriptErrorInfo& error() const { return error_; }
  // Each AddCode (of the control or a module) numbers its code; this is the next number, so a
  // host can tie what it knows about the code it adds to the error reports about it.
  uint64_t next_unit_id() const;
  // Code that AddCode texts share (the host's prologue): compiled once, see ScriptEngineImpl.
  void share_code(std::vector<std::u16string> texts);
  uint64_t shared_code_compilations() const;
  void clear_error() { error_ = ScriptErrorInfo(); }
  std::function<void(const ScriptErrorInfo&)> on_error;

  ScriptEngineImpl& impl() { return *impl_; }

 private:
  friend class ScriptModule;
  friend class ScriptEngineImpl;
  // Fills the Error object from `e` and fires the error event.
  void report_error(const ScriptError& e);
  bool allow_ui_ = true;
  int32_t timeout_ms_ = 10000;
  bool safe_subset_ = false;
  bool added_to_itself_ = false;
  bool dropping_itself_ = false;
  ScriptErrorInfo error_;
  std::unique_ptr<ScriptEngineImpl> impl_;
  std::vector<Ref<ScriptModule>> modules_;
};

}  // namespace qz
