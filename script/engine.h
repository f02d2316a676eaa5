// ScriptEngineImpl: the interpreter behind ScriptControl. It owns the modules' name tables,
// the added objects, the Err object and the call machinery (frames, depth and stack guards,
// the Timeout clock). Nodes in ast.h call back into it.
#pragma once
#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "com/error.h"
#include "com/object.h"
#include "script/ast.h"

namespace qz {

class ScriptControl;

namespace vbs {
class ErrObject;
class ClassInstance;

// Shared with objects that outlive the engine (class instances, GetRef objects): the engine
// clears `engine` when it goes away.
struct EngineLink {
  ScriptEngineImpl* engine = nullptr;
};
}  // namespace vbs

class ScriptEngineImpl {
 public:
  explicit ScriptEngineImpl(ScriptControl* control);
  ~ScriptEngineImpl();
  ScriptEngineImpl(const ScriptEngineImpl&) = delete;
  ScriptEngineImpl& operator=(const ScriptEngineImpl&) = delete;

  // ---- Modules and added objects ----
  vbs::ModuleScope* module_scope(size_t index);   // 0-based; 0 is the global module
  vbs::ModuleScope* add_module_scope(std::u16string_view name);
  size_t module_scope_count() const { return modules_.size(); }
  void add_object(std::u16string_view name, Ref<Object> object, bool add_members);
  // Drops every module's variables and code, the added objects and every instance's fields.
  void reset();
  // How many references to `o` the added objects hold (as object, name and member owner);
  // 0 while those tables are being changed (a release may come from inside the change).
  size_t added_references(const Object* o) const;
  // Takes the added objects that are `o` out of the tables; the caller drops the references.
  std::vector<Ref<Object>> take_added(const Object* o);

  // ---- Entry points (each is one top-level run with the Timeout clock) ----
  void add_code(vbs::ModuleScope* m, std::u16string_view code);
  // Code that many AddCode texts hold whole from a line start (the host's prologue): compiled
  // the first time a text holds it and reused by later ones, across Reset, while no earlier
  // code still uses it. A text holding it runs as if it had been compiled whole.
  void share_code(std::vector<std::u16string> texts);
  // How many times shared code was compiled.
  uint64_t shared_code_compilations() const { return shared_compilations_; }
  Variant eval(vbs::ModuleScope* m, std::u16string_view expression);
  void execute(vbs::ModuleScope* m, std::u16string_view code);
  // Raises 35 when there is no such procedure.
  Variant run(vbs::ModuleScope* m, std::u16string_view name, Args args);
  vbs::Proc* find_procedure(vbs::ModuleScope* m, std::u16string_view name);

  // The source line of the last error that got a position, for the Error object's Text.
  const std::u16string& last_error_text() const { return last_error_text_; }
  // The id of the code unit that line belongs to (0: not code given to AddCode).
  uint64_t last_error_unit() const { return last_error_unit_; }
  // The id the next AddCode's code will get.
  uint64_t next_unit_id() const { return next_unit_id_; }

  // ---- Interpreter services ----
  vbs::Binding* lookup(vbs::ModuleScope* m, const std::u16string& key);
  vbs::Binding* define_var(vbs::ModuleScope* m, const std::u16string& key, const std::u16string& name);
  uint32_t generation() const { return gen_; }
  // `args_owned`: the caller gives the argument values away (they may be moved from).
  Variant call_proc(vbs::Proc* p, vbs::ClassInstance* me, Variant* args, size_t n, bool args_owned = false);
  Variant new_instance(vbs::ClassDef* cls, const std::shared_ptr<vbs::Unit>& keep);
  // Intrinsics that need the caller's frame.
  Variant intrinsic(vbs::Frame& f, int which, Variant* args, size_t n, const std::u16string& name);
  vbs::ErrObject& err() { return *err_; }
  // The array a Dim with bounds makes (fixed-size; `Dim a()` gives an empty dynamic one).
  Variant new_dim_array(const std::vector<ArrayDim>& dims);
  // `Me` in code outside any class: one object per module, whose members are its procedures.
  Variant module_object(vbs::ModuleScope* m);
  Object* err_object();
  BuiltinContext& builtin_context() { return builtin_ctx_; }

  void tick() { if (--budget_ <= 0) check_timeout(); }
  void set_interrupt_request(const volatile sig_atomic_t* flag) { interrupt_ = flag; }
  vbs::Frame* current() const { return current_; }
  void set_current(vbs::Frame* f) { current_ = f; }
  // An error escaping a statement: records its position; true when On Error Resume Next took it.
  bool absorb(vbs::Frame& f, ScriptError& e);
  // Gives `e` the position of `where` (default: the frame's current statement) unless it has one.
  void note_position(vbs::Frame& f, ScriptError& e, const vbs::Node* where = nullptr);

  // Limits (fuzzing lowers them).
  size_t max_array_elements = size_t{1} << 28;
  int max_depth = 10000;
  bool timeouts_enabled = true;
  // False: every procedure runs on the syntax tree (the language fuzz target compares the two).
  bool compile_code = true;
  // The compiled form of a procedure or top-level code, made on first use; null when the tree
  // runs it.
  const vbs::ProcCode* code_of(vbs::Proc* p) {
    if (!p->code_tried) compile_procedure(p);
    return p->code.get();
  }

  // Class instances register themselves so Reset can break cycles between them.
  void track(vbs::ClassInstance* o);
  void untrack(vbs::ClassInstance* o);
  bool terminating_allowed() const { return !in_reset_; }
  const std::shared_ptr<vbs::EngineLink>& link() const { return link_; }
  std::shared_ptr<vbs::ModuleScope> module_keep(vbs::ModuleScope* m);

  // One entry into script code. fresh_clock: a call from the host (the Timeout clock starts
  // again); false for calls the engine makes itself (GetRef objects, Class_Terminate).
  struct EntryGuard {
    explicit EntryGuard(ScriptEngineImpl& e, bool fresh_clock = true);
    ~EntryGuard();
    ScriptEngineImpl& e;
    std::chrono::steady_clock::time_point saved_deadline;
    bool saved_has_deadline;
  };
  // Every call passes here: inline, with the failure out of line.
  struct DepthGuard {
    explicit DepthGuard(ScriptEngineImpl& e) : e(e) {
      ++e.depth_;
      const char* sp = static_cast<const char*>(__builtin_frame_address(0));
      if (e.depth_ > e.max_depth || (e.stack_limit_ && sp < e.stack_limit_)) too_deep();
    }
    ~DepthGuard() { --e.depth_; }
    [[noreturn, gnu::cold]] void too_deep();
    ScriptEngineImpl& e;
  };

  void load_unit(vbs::ModuleScope* m, const std::shared_ptr<vbs::Unit>& u);
  void run_top(const std::shared_ptr<vbs::Unit>& u, vbs::Frame* outer, vbs::ClassInstance* me);

 private:
  void check_timeout();
  void compile_procedure(vbs::Proc* p);
  struct SharedCode {
    std::u16string text;
    // Compiled without and with Option Explicit (the text holding it decides), each with the
    // line its lines start after.
    std::shared_ptr<vbs::Unit> unit[2];
    int lines_before[2] = {0, 0};
    std::unordered_map<std::u16string, bool> names;   // what it declares
    bool usable = true;   // false: it has statements or variables of its own, or does not compile
  };
  // The compiled shared code for a text that holds it after `lines_before` lines, in module m;
  // null when it cannot serve apart from the text.
  std::shared_ptr<vbs::Unit> shared_unit(SharedCode& s, int lines_before, bool explicit_vars, vbs::ModuleScope* m);
  // `code` compiled as the text around the shared code it holds (`shared` gets the shared
  // unit); null when it holds none or must be compiled whole to behave the same.
  std::shared_ptr<vbs::Unit> compile_around_shared(std::u16string_view code, vbs::ModuleScope* m,
                                                   std::shared_ptr<vbs::Unit>& shared);
  vbs::Binding* lookup_global_names(const std::u16string& key);

  ScriptControl* control_;
  std::vector<std::shared_ptr<vbs::ModuleScope>> modules_;
  struct AddedObject { std::u16string name; Ref<Object> object; bool members; };
  std::vector<AddedObject> objects_;
  std::unordered_map<std::u16string, std::unique_ptr<vbs::Binding>> object_names_;
  std::unordered_map<std::u16string, std::unique_ptr<vbs::Binding>> global_cache_;  // members, builtins, intrinsics
  std::unordered_map<vbs::ModuleScope*, Ref<Object>> module_objects_;
  std::vector<std::shared_ptr<vbs::Unit>> retired_;  // code replaced while it may still run
  std::vector<std::shared_ptr<vbs::ModuleScope>> retired_modules_;
  // Module variables whose name a later Const, procedure or class took: a lasting
  // by-reference cell may still point at them, so they stay until Reset.
  std::vector<std::unique_ptr<vbs::Binding>> replaced_vars_;
  std::vector<std::unique_ptr<vbs::Binding>> retired_replaced_vars_;
  uint32_t gen_ = 1;
  uint32_t seq_ = 0;
  Ref<Object> err_ref_;
  vbs::ErrObject* err_ = nullptr;
  BuiltinContext builtin_ctx_;
  vbs::Frame* current_ = nullptr;
  int depth_ = 0;
  int entry_depth_ = 0;
  const char* stack_limit_ = nullptr;
  // Steps until the next look at the clock and the interrupt flag (see check_timeout), and
  // how many steps apart those looks currently are.
  int budget_ = 4096;
  int steps_per_check_ = 4096;
  std::chrono::steady_clock::time_point last_check_{};
  const volatile sig_atomic_t* interrupt_ = nullptr;
  bool has_deadline_ = false;
  bool aborting_ = false;
  bool in_reset_ = false;
  bool changing_added_ = false;
  struct ChangingAdded {
    explicit ChangingAdded(ScriptEngineImpl& e) : e(e), saved(e.changing_added_) { e.changing_added_ = true; }
    ~ChangingAdded() { e.changing_added_ = saved; }
    ScriptEngineImpl& e;
    bool saved;
  };
  std::chrono::steady_clock::time_point deadline_;
  std::u16string last_error_text_;
  uint64_t last_error_unit_ = 0;
  uint64_t next_unit_id_ = 1;
  std::vector<SharedCode> shared_;
  uint64_t shared_compilations_ = 0;
  vbs::ClassInstance* instances_ = nullptr;  // intrusive list
  std::shared_ptr<vbs::EngineLink> link_;
  friend class vbs::ClassInstance;
};

namespace vbs {
// Error number raised when Timeout runs out.
constexpr int32_t kErrTimeout = static_cast<int32_t>(0x80004004);
}

}  // namespace qz
