// A procedure (or a unit's top-level code) compiled to a flat list of instructions that one loop
// runs (proc_code_run.cpp). Registers are the procedure's locals followed by temporaries, so
// plain locals are operands without a copy; what the list does not express itself it hands to
// the tree node, which stays the reference for every rule of the language.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "script/ast.h"

namespace qz::vbs {

// A value an instruction reads: a register (a local, read through by-reference cells, or a
// temporary) or a literal.
struct Operand {
  int32_t reg = -1;
  const Variant* literal = nullptr;
  bool temp = false;   // a temporary: emptied once read, so it keeps no object alive
};

enum class OpCode : uint8_t {
  Eval,           // dst = node->eval()
  Exec,           // node->exec(); Exit Do/For/procedure flows jump to exit_do/exit_for/return
  Move,           // dst = a (a local copied before code that could change it runs)
  Binary,         // dst = a op b
  BinaryToLocal,  // the local `slot` = a op b, as a Let (node: the assignment's target)
  BinaryToGlobal, // the module variable node names = a op b, as a Let
  Compare,        // dst = a op b, a comparison
  JumpCompare,    // when (a op b) == sense, jump to target
  JumpTruth,      // when the truth of a equals sense, jump to target
  Jump,
  Tick,           // a loop went round: timeout and interrupt checks
  StoreLocal,     // the local `slot` = a, as a Let (node: the assignment's target)
  CallPrepare,    // binds the procedure call at node, or runs it in the tree (dst, jump to target)
  Call,           // dst = the procedure bound at `level`, arguments in args_at..args_at+nargs
  BuiltinPrepare, // binds the built-in function call at node, or runs it in the tree (dst, or
                  // dropped for a statement; jump to target)
  CallBuiltin,    // dst = the built-in bound at `level`, argument values in args_at..args_at+nargs
  LoadGlobal,     // dst = the module variable or constant node names
  StoreGlobal,    // the module variable node (an assignment) names = a, as a Let
  LoadField,      // dst = field `slot` of the instance the code runs for
  StoreField,     // field `slot` = a, as a Let (node: the assignment's target)
  ElementPrepare, // finds the array the subscripted name at node holds; else the node runs (dst =
                  // its value, or for a store it is assigned a) and the code jumps to target
  LoadElement,    // dst = element a of the array found at `level`
  StoreElement,   // element b of the array found at `level` = a
  ForBegin,       // For loop `slot` (node): bounds, and the variable set to the start
  ForTest,        // when For loop `slot` is done, jump to target
  ForStep,        // a loop's tick, then For loop `slot` steps its variable and tests it (target:
                  // its ForTest)
  MemberCall,     // dst = the member `node` (obj.Name) names with the arguments args_at..+nargs,
                  // or the member called as a statement (sense); what is no script class member
                  // called the way the code can the member node runs whole
  MemberStore,    // the member `node` (obj.Name) = a, as a Let
  MeCall,         // as MemberCall, for a method or property of the instance the code runs for
                  // named alone (`node` a name)
  Return,
};

// How an argument reaches a procedure's parameter.
struct CallArg {
  Operand value;
  Expr* expr = nullptr;     // null: left out (Missing)
  bool local_name = false;  // a plain local: a by-reference cell when the parameter is ByRef
};

struct Instr {
  OpCode code = OpCode::Return;
  Op op = Op::Add;
  bool sense = true;                     // jumps: the truth that jumps; ElementPrepare: a store;
                                         // the call instructions: a call statement (result dropped)
  int8_t literal_side = 0;
  int32_t dst = -1;
  int32_t slot = -1;
  int32_t target = -1;
  int32_t exit_do = -1, exit_for = -1;   // Exec: -1 ends the procedure
  int32_t level = 0;                     // prepared calls and elements open around this one
  int32_t args_at = 0, nargs = 0;        // Call, CallBuiltin: their arguments in ProcCode::args
                                         // (the prepare instructions know the count too)
  Operand a, b;
  Node* node = nullptr;
  // Error positions: the statement running (the frame's current statement) and where the
  // error is reported (the statement, or the line of an ElseIf or a loop test).
  Stmt* stmt = nullptr;
  const Node* where = nullptr;
};

// Where code with On Error Resume Next goes on after an instruction fails, as the tree does:
// past the innermost statement it belongs to (`after`), except for a script error in a
// condition (`pc`): an If or ElseIf test or a Do loop's test at the top goes on into the body
// it guards, one at the bottom leaves the loop, and a For header that fails runs the body once.
// The statement's temporaries (registers from `temps_from` on) let go of what they held first.
struct ResumePoint {
  int32_t pc = -1;
  int32_t after = -1;
  int32_t temps_from = 0;
};

struct ProcCode {
  std::vector<Instr> code;
  std::vector<CallArg> args;
  std::vector<ResumePoint> resume;   // one per instruction; empty in code without On Error
  int32_t nregs = 0;                 // locals and temporaries
  int32_t ntemps = 0;
  int32_t nfors = 0;   // For loops, each with its state while it runs
  static constexpr int kMaxCallLevels = 16;
};

// The procedure's (or top-level code's) code.
std::shared_ptr<const ProcCode> compile_proc(const Proc& p);

// Runs the code on a frame whose locals hold p.nslots locals followed by code.ntemps Empty
// temporaries.
void run_proc_code(Frame& f, const ProcCode& code);

}  // namespace qz::vbs
