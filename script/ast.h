// The compiled form of VBScript: a tree of expression and statement nodes whose names were
// resolved at compile time to local slots, fields of the current instance, or module/global
// bindings looked up once and cached per node. Each node evaluates itself.
#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "com/object.h"
#include "com/variant.h"
#include "script/builtins/builtins.h"

namespace qz {
class ScriptEngineImpl;
}

namespace qz::vbs {

struct Frame;
struct Proc;
struct ClassDef;
struct ClassMember;
struct Unit;
struct ModuleScope;
class ClassInstance;

// Arrays whose elements are passed by reference stay locked (ReDim/Erase refused) during a call.
struct LockList {
  std::vector<ArrayRep*> reps;
  ~LockList() { for (ArrayRep* r : reps) --r->locks; }
};

enum class Flow : uint8_t { Normal, ExitDo, ExitFor, ExitProc };

struct Node {
  int line = 0;
  int col = 0;
  virtual ~Node() = default;
};

struct Expr : Node {
  bool may_ref = false;   // ref() can give a variable (only names do); saves a call per argument
  // What eval gives, read without a virtual call (see operand_value): a procedure local named
  // plainly (its slot), or a literal (its value).
  int local_slot = -1;
  const Variant* literal = nullptr;
  // The value; objects stay objects (default members apply where an operator needs a value).
  virtual Variant eval(Frame& f) = 0;
  // The value as a condition (If, Do While): Null and Empty are false.
  virtual bool test(Frame& f);
  // The variable behind the expression, for passing by reference; null for a temporary.
  virtual Variant* ref(Frame& f, LockList& locks) { return nullptr; }
  // True when `target` (what ref gave) is a module-level variable, or a parameter passed one:
  // it stays in place until Reset (see Variant::by_ref_lasting).
  virtual bool names_module_variable(Frame&, const Variant*) { return false; }
  // Assignment (Let, or Set when is_set).
  virtual void assign(Frame& f, Variant v, bool is_set);
  // Used as a call statement: the result is dropped.
  virtual void call(Frame& f) { eval(f); }
  virtual bool assignable() const { return false; }
  virtual bool callable() const { return false; }
  virtual bool is_literal() const { return false; }
};

// A by-reference cell for the variable `target` that `e` named: one for a module variable (or
// a parameter handed one) says so, as it stays in place until Reset (see Variant::by_ref_lasting).
inline Variant reference_cell(Expr* e, Frame& f, Variant* target) {
  return e->names_module_variable(f, target) ? Variant::by_ref_lasting(target) : Variant::by_ref(target);
}

struct LiteralExpr final : Expr {
  LiteralExpr() { literal = &value; }
  Variant value;
  Variant eval(Frame&) override { return value; }
  bool is_literal() const override { return true; }
};

struct MeExpr final : Expr {
  Variant eval(Frame& f) override;
};

struct ParenExpr final : Expr {
  Expr* inner = nullptr;
  Variant eval(Frame& f) override { return inner->eval(f); }
  bool is_literal() const override { return inner->is_literal(); }
};

// A module-level or global name: a variable, constant, procedure, class, added object, member
// of an added object, built-in function or constant, or one of the interpreter's own names.
struct Binding {
  enum Kind : uint8_t { Var, Const, Procedure, Class, ObjMember, Builtin, Intrinsic };
  Kind kind = Var;
  bool is_public = true;
  std::u16string name;
  Variant value;                         // Var, Const (added objects are Var bindings)
  Proc* proc = nullptr;                  // Procedure
  ClassDef* cls = nullptr;               // Class
  Ref<Object> owner;                     // ObjMember
  DispId id = kDispUnknown;              // ObjMember
  const BuiltinFunction* fn = nullptr;   // Builtin
  int intrinsic = 0;                     // Intrinsic
  std::shared_ptr<Unit> keep;            // the code a Procedure or Class lives in
  uint32_t seq = 0;                      // definition order (Procedures, Vars)
};

enum Intrinsic : int { kIntrErr = 1, kIntrEval, kIntrExecute, kIntrExecuteGlobal, kIntrGetRef, kIntrRandomize, kIntrVarType };

struct NameExpr final : Expr {
  NameExpr() { may_ref = true; }
  enum Kind : uint8_t { Local, OuterLocal, Field, MeMember, Global };
  Kind kind = Global;
  bool has_parens = false;
  bool explicit_vars = false;   // Option Explicit in force where it was written
  int slot = -1;                // Local/OuterLocal slot, Field index, MeMember index
  int implicit_slot = -1;       // Global inside a procedure: local slot used when no binding exists
  bool implicit_outer = false;  // implicit_slot is in the outer frame (Execute inside a procedure)
  bool declares = false;        // ReDim target: makes the variable even under Option Explicit
  // Whose locals a Global name may find among those Execute made: none (module-level code),
  // the frame's own (a procedure) or the outer frame's (Execute code inside a procedure).
  enum LocalsOf : uint8_t { NoProcedure, OwnFrame, OuterFrame };
  LocalsOf locals_of = NoProcedure;
  std::u16string name;          // as written
  std::u16string key;           // folded
  std::vector<Expr*> args;      // nullptr for a left-out argument
  ModuleScope* scope = nullptr;
  // Lookup cache for Global.
  Binding* cached = nullptr;
  uint32_t cached_gen = 0;

  Variant eval(Frame& f) override;
  [[gnu::noinline]] Variant eval_other(Frame& f);
  [[gnu::noinline]] Variant call_procedure(Frame& f, Proc* proc);
  Variant* ref(Frame& f, LockList& locks) override;
  bool names_module_variable(Frame& f, const Variant* target) override;
  void assign(Frame& f, Variant v, bool is_set) override;
  void call(Frame& f) override;
  bool assignable() const override { return true; }
  bool callable() const override { return true; }
  Binding* binding(Frame& f);   // Global: the binding or null
  Variant& implicit_var(Frame& f);
  // The variable a Local, OuterLocal, Field or a procedure's Execute-made local names; else null.
  inline Variant* variable(Frame& f);
  Variant* other_variable(Frame& f);
  inline Variant* dynamic_local(Frame& f);
  Variant eval_variable(Frame& f, Variant& var) {
    if (!has_parens && args.empty()) return var.deref();
    return eval_indexed(f, var);
  }
  Variant eval_indexed(Frame& f, Variant& var);
  Variant invoke(Frame& f, bool want_value);
};

// What a member access applies to, kept alive until the access is over: a script instance held
// by a variable is referenced directly, anything else through a copy of the value.
struct MemberTarget {
  Variant holder;
  ClassInstance* instance = nullptr;
  MemberTarget() = default;
  MemberTarget(const MemberTarget&) = delete;
  MemberTarget& operator=(const MemberTarget&) = delete;
  inline ~MemberTarget();
};

struct MemberExpr final : Expr {
  Expr* object = nullptr;   // null: the innermost With object in with_slot
  int with_slot = -1;
  bool has_parens = false;
  std::u16string name;
  std::vector<Expr*> args;
  // Dispatch-id cache: valid while the object's member table is cached_key.
  const void* cached_key = nullptr;
  DispId cached_id = kDispUnknown;
  // Script class cache: the class seen here last (its serial) and its member of this name, so
  // a call on an instance of that class goes straight to the procedure or field.
  uint64_t member_class = 0;
  const ClassMember* member = nullptr;

  Object* target(Frame& f, MemberTarget& t);
  DispId resolve(Object* o);
  // The member of a script class instance of this engine that this site may use directly;
  // null for anything else (other objects, an unknown or inaccessible member).
  inline const ClassMember* class_member(Frame& f, Object* o);
  const ClassMember* find_class_member(const ClassDef* cls);
  Variant eval(Frame& f) override;
  void assign(Frame& f, Variant v, bool is_set) override;
  void call(Frame& f) override;
  bool assignable() const override { return true; }
  bool callable() const override { return true; }
};

// (expr)(args) and x(1)(2): arguments applied to a value.
struct IndexExpr final : Expr {
  Expr* base = nullptr;
  std::vector<Expr*> args;
  Variant eval(Frame& f) override;
  // jag(0)(1) = v writes into the array held in jag(0). locate finds what the expression
  // names without evaluating anything twice: the element (*at) when the base is an array held
  // in a variable, else the value (an object's default member). False when the base is no
  // variable's array element; nothing has been evaluated then.
  bool locate(Frame& f, LockList& locks, Variant*& at, Variant& value);
  void assign(Frame& f, Variant v, bool is_set) override;
  bool assignable() const override { return true; }
  bool callable() const override { return true; }
};

struct NewExpr final : Expr {
  std::u16string name;
  std::u16string key;
  ModuleScope* scope = nullptr;
  Variant eval(Frame& f) override;
};

enum class Op : uint8_t {
  Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat, And, Or, Xor, Eqv, Imp,
  Eq, Ne, Lt, Gt, Le, Ge, Is, Neg, Not, Plus,
};

struct UnaryExpr final : Expr {
  Op op = Op::Neg;
  Expr* operand = nullptr;
  Variant eval(Frame& f) override;
};

struct BinaryExpr final : Expr {
  Op op = Op::Add;
  Expr* a = nullptr;
  Expr* b = nullptr;
  Variant eval(Frame& f) override;
};

// =, <>, <, >, <=, >=. A literal operand decides how a string on the other side compares.
struct CompareExpr final : Expr {
  Op op = Op::Eq;
  Expr* a = nullptr;
  Expr* b = nullptr;
  int8_t literal_side = 0;   // 1: a is a literal, 2: b is a literal
  Variant eval(Frame& f) override;
  bool test(Frame& f) override;
  int order(Frame& f);   // -1, 0, 1; 2 when Null takes part
};

// ---- Statements ----

struct Stmt : Node {
  virtual Flow exec(Frame& f) = 0;
};
using Block = std::vector<Stmt*>;

struct AssignStmt final : Stmt {
  Expr* target = nullptr;
  Expr* value = nullptr;
  bool is_set = false;
  // `s = s & a & b`: the value is a chain of & whose first operand is the target itself
  // (append_head) followed by append_tails; a string held only by the variable then grows in
  // place.
  Expr* append_head = nullptr;
  std::vector<Expr*> append_tails;
  // A Let of a plain name (no parentheses): when it names a procedure local, a plain value
  // is stored without the general assignment path.
  NameExpr* plain_name = nullptr;
  Flow exec(Frame& f) override;
  Flow exec_append(Frame& f);
};

struct CallStmt final : Stmt {
  Expr* target = nullptr;
  Flow exec(Frame& f) override;
};

struct IfStmt final : Stmt {
  std::vector<std::pair<Expr*, Block>> arms;
  std::vector<Node> arm_at;   // where each arm's If or ElseIf keyword is (error positions)
  Block otherwise;
  Flow exec(Frame& f) override;
};

struct SelectStmt final : Stmt {
  Expr* test = nullptr;
  struct Case { std::vector<Expr*> values; Block body; };
  std::vector<Case> cases;
  bool has_else = false;
  Block otherwise;
  Flow exec(Frame& f) override;
};

// A running For loop: its end and step, and for whole-number bounds the counter kept as a
// number between the variable's updates.
struct ForState {
  Variant end, inc;
  int64_t i = 0, e = 0, s = 0;
  bool ints = false, up = true, both = false;
  bool begun = false;   // compiled code: the header succeeded (else Next raises, under Resume Next)
  // Whole-number bounds: the counter has not passed the end.
  bool counting() const { return up ? i <= e : i >= e; }
};

struct ForStmt final : Stmt {
  Expr* var = nullptr;
  Expr* from = nullptr;
  Expr* to = nullptr;
  Expr* step = nullptr;   // null: 1
  Block body;
  Flow exec(Frame& f) override;
  // The loop in steps, for the tree and compiled code alike: the header (bounds evaluated,
  // the variable set to the start), the test before each round, the step after it.
  void begin(Frame& f, ForState& st);
  bool more(Frame& f, ForState& st);
  void advance(Frame& f, ForState& st);
};

struct ForEachStmt final : Stmt {
  Expr* var = nullptr;
  Expr* collection = nullptr;
  Block body;
  Flow exec(Frame& f) override;
};

struct DoStmt final : Stmt {
  Expr* cond = nullptr;      // null: no condition
  bool test_first = true;
  bool until = false;
  Block body;
  Flow exec(Frame& f) override;
};

struct ExitStmt final : Stmt {
  Flow flow = Flow::ExitProc;
  Flow exec(Frame&) override { return flow; }
};

struct WithStmt final : Stmt {
  int slot = -1;
  Expr* object = nullptr;
  Block body;
  Flow exec(Frame& f) override;
};

struct ReDimStmt final : Stmt {
  bool preserve = false;
  struct Item { Expr* target; std::vector<Expr*> bounds; };
  std::vector<Item> items;
  Flow exec(Frame& f) override;
};

struct EraseStmt final : Stmt {
  std::vector<Expr*> targets;
  Flow exec(Frame& f) override;
};

struct OnErrorStmt final : Stmt {
  bool resume_next = true;
  Flow exec(Frame& f) override;
};

// Dim with bounds: the array comes into being when the statement runs (the variable is
// Empty before). Run again, as in a loop, it leaves an array the variable holds alone.
struct DimArrayStmt final : Stmt {
  struct Item { NameExpr* target; std::vector<ArrayDim> dims; };
  std::vector<Item> items;
  Flow exec(Frame& f) override;
};

// ---- Procedures, classes, modules ----

// A class's field array, made with each instance.
struct FixedArray {
  int slot;
  std::vector<ArrayDim> dims;   // empty: Dim a() — a dynamic array with no elements
};

struct ProcCode;

struct Proc {
  enum Kind : uint8_t { Sub, Function, PropGet, PropLet, PropSet, TopLevel };
  Kind kind = Sub;
  bool is_public = true;
  bool is_default = false;
  std::u16string name;
  std::u16string key;
  std::vector<std::u16string> param_names;
  std::vector<uint8_t> byref;      // per parameter: 1 when ByRef (bytes: read without bit masks on every call)
  int nslots = 1;                  // slot 0 is the result; params follow
  Block body;
  std::vector<std::pair<int, Variant>> consts;
  std::unordered_map<std::u16string, int> locals;  // name -> slot, for Execute and Eval
  std::unordered_map<std::u16string, int> implicit_locals;  // undeclared names used in the body
  ClassDef* cls = nullptr;
  Unit* unit = nullptr;
  ModuleScope* module = nullptr;
  int line = 0;
  // Compiled on the first call; null when the tree runs the procedure.
  std::shared_ptr<const ProcCode> code;
  bool code_tried = false;
  bool has_result() const { return kind == Function || kind == PropGet; }
  size_t nparams() const { return byref.size(); }
};

struct ClassMember {
  std::u16string name;
  bool is_public = true;
  int field = -1;
  Proc* get = nullptr;     // Property Get, or a Function
  Proc* let = nullptr;
  Proc* set = nullptr;
  Proc* method = nullptr;  // Sub or Function
};

inline uint64_t next_class_serial() {
  static std::atomic<uint64_t> last{0};
  return ++last;
}

struct ClassDef {
  // Unique in the process, unlike the address a later class may reuse (call sites cache by it).
  uint64_t serial = next_class_serial();
  std::u16string name;
  std::vector<ClassMember> members;
  std::unordered_map<std::u16string, int> index;
  int default_member = -1;
  int nfields = 0;
  std::vector<FixedArray> arrays;   // field arrays, slot = field index
  Proc* initialize = nullptr;
  Proc* terminate = nullptr;
  Unit* unit = nullptr;
  ModuleScope* module = nullptr;
};

// A declaration at module level, applied when the unit is loaded.
struct ModuleDecl {
  enum Kind : uint8_t { Var, Const, Procedure, Class } kind = Var;
  bool is_public = true;
  std::u16string name;
  std::u16string key;
  bool is_array = false;
  std::vector<ArrayDim> dims;
  Variant value;
  Proc* proc = nullptr;
  ClassDef* cls = nullptr;
};

// One compiled piece of source (AddCode, ExecuteGlobal, Execute, Eval).
struct Unit {
  std::u16string source;
  uint64_t id = 0;  // set for code given to AddCode (see ScriptControl::next_unit_id); 0 otherwise
  std::vector<uint32_t> line_starts;
  ModuleScope* module = nullptr;
  bool option_explicit = false;
  Proc top;                                  // top-level statements
  Expr* expression = nullptr;                // Eval
  std::vector<ModuleDecl> decls;
  // Dim and Const of Execute code run inside a procedure: made as the procedure's locals.
  std::vector<ModuleDecl> local_decls;
  std::vector<std::unique_ptr<Proc>> procs;
  std::vector<std::unique_ptr<ClassDef>> classes;
  std::vector<std::unique_ptr<Node>> nodes;  // owns every node

  template <class T>
  T* make(int line, int col) {
    auto n = std::make_unique<T>();
    n->line = line;
    n->col = col;
    T* p = n.get();
    nodes.push_back(std::move(n));
    return p;
  }
  std::u16string line_text(int line) const;
};

struct ModuleScope {
  std::u16string name;
  bool is_global = false;
  std::unordered_map<std::u16string, std::unique_ptr<Binding>> names;
  std::vector<std::shared_ptr<Unit>> units;
};

// Locals a procedure gets at run time from the code Execute runs in it.
using DynamicLocals = std::unordered_map<std::u16string, Variant>;

// One running procedure (or top-level code, Execute or Eval).
struct Frame {
  ScriptEngineImpl* engine = nullptr;
  Variant* locals = nullptr;
  ClassInstance* me = nullptr;
  Variant* fields = nullptr;   // me's fields (they stay in place for the instance's life)
  Proc* proc = nullptr;
  ModuleScope* module = nullptr;
  Unit* unit = nullptr;
  Frame* outer = nullptr;    // Execute/Eval inside a procedure: the procedure's frame
  Frame* caller = nullptr;
  Stmt* current = nullptr;   // the statement running (error positions)
  bool resume_next = false;
  std::unique_ptr<DynamicLocals> dynamic;   // made by the first Execute that declares one
};

Flow exec_block(Frame& f, const Block& b);

// e->eval(f), without the virtual call for the commonest operands.
inline Variant operand_value(Expr* e, Frame& f) {
  if (e->local_slot >= 0) return f.locals[e->local_slot].deref();
  if (e->literal) return *e->literal;
  return e->eval(f);
}

// The value of a plain local or a literal without copying it; null for any other expression.
inline const Variant* operand_in_place(Expr* e, Frame& f) {
  if (e->local_slot >= 0) return &f.locals[e->local_slot].deref();
  return e->literal;
}

inline Variant* NameExpr::dynamic_local(Frame& f) {
  if (locals_of == NoProcedure) return nullptr;
  Frame* p = locals_of == OwnFrame ? &f : f.outer;
  if (!p->dynamic) return nullptr;
  auto it = p->dynamic->find(key);
  return it == p->dynamic->end() ? nullptr : &it->second;
}

inline Variant* NameExpr::variable(Frame& f) {
  switch (kind) {
    case Local: return &f.locals[slot];
    case Field: return &f.fields[slot];
    case Global: return dynamic_local(f);
    default: return other_variable(f);
  }
}

}  // namespace qz::vbs
