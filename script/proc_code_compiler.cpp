// Turns a procedure's (or top-level code's) tree into the instruction list of proc_code.h.
// Lets of locals, fields, module variables, array elements and members of objects, If, Do and For
// loops, Exit, operators, and calls of script procedures, built-in functions and members of
// objects become instructions; every other statement or expression stays one instruction that
// runs its tree node.
#include "script/proc_code.h"

#include <optional>

namespace qz::vbs {
namespace {

bool has_on_error(const Block& b);

bool stmt_has_on_error(const Stmt* s) {
  if (dynamic_cast<const OnErrorStmt*>(s)) return true;
  if (auto* i = dynamic_cast<const IfStmt*>(s)) {
    for (const auto& arm : i->arms)
      if (has_on_error(arm.second)) return true;
    return has_on_error(i->otherwise);
  }
  if (auto* sel = dynamic_cast<const SelectStmt*>(s)) {
    for (const auto& c : sel->cases)
      if (has_on_error(c.body)) return true;
    return has_on_error(sel->otherwise);
  }
  if (auto* l = dynamic_cast<const ForStmt*>(s)) return has_on_error(l->body);
  if (auto* l = dynamic_cast<const ForEachStmt*>(s)) return has_on_error(l->body);
  if (auto* l = dynamic_cast<const DoStmt*>(s)) return has_on_error(l->body);
  if (auto* w = dynamic_cast<const WithStmt*>(s)) return has_on_error(w->body);
  return false;
}

bool has_on_error(const Block& b) {
  for (const Stmt* s : b)
    if (stmt_has_on_error(s)) return true;
  return false;
}

// Reading it runs no script code and cannot fail.
bool is_pure(const Expr* e) {
  if (e->local_slot >= 0 || e->literal) return true;
  if (auto* p = dynamic_cast<const ParenExpr*>(e)) return is_pure(p->inner);
  return false;
}

bool is_plain_name(const Expr* e) {
  auto* n = dynamic_cast<const NameExpr*>(e);
  return n && !n->has_parens && n->args.empty();
}

// A name with one subscript that may be an element of an array variable.
bool is_element(const NameExpr* n) {
  return n->has_parens && n->args.size() == 1 && n->args[0] &&
         (n->kind == NameExpr::Local || n->kind == NameExpr::Field || n->kind == NameExpr::Global);
}

bool is_plain_local(const Expr* e) {
  return is_plain_name(e) && static_cast<const NameExpr*>(e)->kind == NameExpr::Local;
}

// The register of a plain local.
Operand local_operand(const Expr* e) {
  return Operand{e->local_slot >= 0 ? e->local_slot : static_cast<const NameExpr*>(e)->slot, nullptr, false};
}

class Compiler {
 public:
  Compiler(const Proc& p, bool resumable) : p_(p), resumable_(resumable) {}

  std::shared_ptr<const ProcCode> run() {
    block(p_.body);
    emit(OpCode::Return);
    // A jump to the end returns at once.
    for (Instr& i : out_->code)
      if (i.code == OpCode::Jump && out_->code[static_cast<size_t>(i.target)].code == OpCode::Return)
        i.code = OpCode::Return;
    out_->ntemps = max_temps_;
    out_->nregs = p_.nslots + max_temps_;
    if (resumable_) out_->resume.resize(out_->code.size());
    return std::move(out_);
  }

 private:
  struct Loop {
    bool is_do;
    std::vector<int32_t> exits;
  };

  const Proc& p_;
  bool resumable_;   // the code holds On Error: each instruction gets its resume point
  std::shared_ptr<ProcCode> out_ = std::make_shared<ProcCode>();
  int32_t temps_ = 0, max_temps_ = 0;
  int32_t call_level_ = 0;
  std::vector<Loop> loops_;
  Stmt* stmt_ = nullptr;
  const Node* where_ = nullptr;

  int32_t here() const { return static_cast<int32_t>(out_->code.size()); }

  Instr& emit(OpCode code) {
    Instr i;
    i.code = code;
    i.stmt = stmt_;
    i.where = where_;
    out_->code.push_back(i);
    return out_->code.back();
  }

  int32_t temp() {
    int32_t t = p_.nslots + temps_++;
    if (temps_ > max_temps_) max_temps_ = temps_;
    return t;
  }

  Operand in_temp(Operand v) {
    if (v.reg < 0 || v.temp) return v;
    Instr& m = emit(OpCode::Move);
    m.a = v;
    m.dst = temp();
    return Operand{m.dst, nullptr, true};
  }

  Loop* innermost(bool is_do) {
    for (auto it = loops_.rbegin(); it != loops_.rend(); ++it)
      if (it->is_do == is_do) return &*it;
    return nullptr;
  }

  void block(const Block& b) {
    for (Stmt* s : b) statement(s);
  }

  void statement(Stmt* s) {
    Stmt* saved_stmt = stmt_;
    const Node* saved_where = where_;
    int32_t saved_temps = temps_;
    int32_t start = here();
    stmt_ = s;
    where_ = s;
    auto* assign = dynamic_cast<AssignStmt*>(s);
    if (assign && let_statement(assign)) {
      // compiled
    } else if (auto* i = dynamic_cast<IfStmt*>(s)) {
      if_statement(i);
    } else if (auto* d = dynamic_cast<DoStmt*>(s)) {
      do_loop(d);
    } else if (auto* l = dynamic_cast<ForStmt*>(s); l && is_plain_name(l->var)) {
      for_loop(l);
    } else if (auto* x = dynamic_cast<ExitStmt*>(s)) {
      exit_statement(x);
    } else if (auto* c = dynamic_cast<CallStmt*>(s); c && as_procedure_call(c->target, true)) {
      auto* n = static_cast<NameExpr*>(c->target);
      if (builtin_name(n)) builtin_call(n, true);
      else call(n, true);
    } else if (auto* c = dynamic_cast<CallStmt*>(s); c && simple_member(c->target)) {
      member_call(c->target, static_cast<MemberExpr*>(c->target)->args, OpCode::MemberCall, true);
    } else if (auto* c = dynamic_cast<CallStmt*>(s); c && own_member(c->target)) {
      member_call(c->target, static_cast<NameExpr*>(c->target)->args, OpCode::MeCall, true);
    } else {
      fallback(s);
    }
    if (resumable_) resume_past(start, saved_temps);
    stmt_ = saved_stmt;
    where_ = saved_where;
    temps_ = saved_temps;
  }

  // The instructions from `start` on that no inner statement claimed go on past this one.
  void resume_past(int32_t start, int32_t saved_temps) {
    auto& r = out_->resume;
    r.resize(out_->code.size());
    for (int32_t i = start; i < here(); ++i) {
      ResumePoint& p = r[static_cast<size_t>(i)];
      if (p.after >= 0) continue;
      p.after = here();
      if (p.pc < 0) p.pc = here();
      p.temps_from = p_.nslots + saved_temps;
    }
  }

  // A script error in a condition's instructions, from `start` to `end`, goes on at `pc`.
  void resume_condition(int32_t start, int32_t end, int32_t pc) {
    if (!resumable_) return;
    auto& r = out_->resume;
    r.resize(out_->code.size());
    for (int32_t i = start; i < end; ++i)
      if (r[static_cast<size_t>(i)].pc < 0) r[static_cast<size_t>(i)].pc = pc;
  }

  void fallback(Stmt* s) {
    Instr& e = emit(OpCode::Exec);
    e.node = s;
    int32_t at = here() - 1;
    // Exit Do / Exit For from inside the statement leave the innermost loop compiled here.
    if (Loop* l = innermost(true)) l->exits.push_back(-at - 1);   // patched: exit_do
    if (Loop* l = innermost(false)) l->exits.push_back(-at - 1);
  }

  // A Let of a plain local, field or module variable, of an array element or of an object's
  // member (obj.Name = v); false for the assignments the tree runs (Set, self-appends, members
  // with arguments, several subscripts).
  bool let_statement(AssignStmt* a) {
    if (a->append_head || a->is_set) return false;
    if (auto* m = dynamic_cast<MemberExpr*>(a->target); m && m->args.empty() && simple_member(m)) {
      // The value first, then the object: as the tree assigns.
      Operand v = expr(a->value);
      Instr& st = emit(OpCode::MemberStore);
      st.a = v;
      st.node = m;
      return true;
    }
    if (!a->plain_name) {
      auto* n = dynamic_cast<NameExpr*>(a->target);
      if (!n || !is_element(n) || call_level_ >= ProcCode::kMaxCallLevels) return false;
      element(n, in_temp(expr(a->value)));
      return true;
    }
    OpCode code;
    switch (a->plain_name->kind) {
      case NameExpr::Local: code = OpCode::StoreLocal; break;
      case NameExpr::Field: code = OpCode::StoreField; break;
      case NameExpr::Global: code = OpCode::StoreGlobal; break;
      default: return false;
    }
    Operand v = expr(a->value);
    if (v.temp && out_->code.back().code == OpCode::Binary && out_->code.back().dst == v.reg &&
        code != OpCode::StoreField) {
      // `x = a op b`: the operator's instruction stores its result itself.
      Instr& last = out_->code.back();
      last.code = code == OpCode::StoreLocal ? OpCode::BinaryToLocal : OpCode::BinaryToGlobal;
      last.dst = -1;
      last.slot = a->plain_name->slot;
      last.node = a->target;
      return true;
    }
    Instr& st = emit(code);
    st.slot = a->plain_name->slot;
    st.a = v;
    st.node = a->target;
    return true;
  }

  void for_loop(ForStmt* s) {
    int32_t state = out_->nfors++;
    int32_t begin = here();
    Instr& b = emit(OpCode::ForBegin);
    b.node = s;
    b.slot = state;
    int32_t test = here();
    Instr& t = emit(OpCode::ForTest);
    t.node = s;
    t.slot = state;
    resume_condition(begin, test, here());   // the body, once
    loops_.push_back(Loop{false, {test}});
    block(s->body);
    Instr& step = emit(OpCode::ForStep);   // it ticks, as a loop's end does
    step.node = s;
    // A local counter is a register (-1: found when the loop steps).
    step.dst = is_plain_local(s->var) ? static_cast<NameExpr*>(s->var)->slot : -1;
    step.slot = state;
    step.target = test;
    patch_exits(loops_.back());
    loops_.pop_back();
  }

  // Jumps to `target` (patched later) when the condition's truth equals `sense`.
  int32_t condition(Expr* c, bool sense) {
    if (auto* ce = dynamic_cast<CompareExpr*>(c)) {
      operation(OpCode::JumpCompare, ce->op, ce->literal_side, ce->a, ce->b, false);
      Instr& j = out_->code.back();
      j.sense = sense;
      return here() - 1;
    }
    // Any other condition is its value's truth (Null and Empty are false).
    int32_t mark = temps_;
    Operand v = expr(c);
    temps_ = mark;
    Instr& j = emit(OpCode::JumpTruth);
    j.a = v;
    j.sense = sense;
    return here() - 1;
  }

  const Node* condition_where(const Node* at, const Stmt* s) { return at->line == s->line ? s : at; }

  void if_statement(IfStmt* s) {
    std::vector<int32_t> to_end;
    for (size_t i = 0; i < s->arms.size(); ++i) {
      where_ = condition_where(&s->arm_at[i], s);
      int32_t start = here();
      int32_t skip = condition(s->arms[i].first, false);
      resume_condition(start, here(), here());
      where_ = s;
      block(s->arms[i].second);
      emit(OpCode::Jump);
      to_end.push_back(here() - 1);
      out_->code[static_cast<size_t>(skip)].target = here();
    }
    block(s->otherwise);
    for (int32_t j : to_end) out_->code[static_cast<size_t>(j)].target = here();
  }

  void do_loop(DoStmt* s) {
    loops_.push_back(Loop{true, {}});
    int32_t top = here();
    std::vector<int32_t> leave;
    if (s->cond && s->test_first) {
      where_ = condition_where(s->cond, s);
      leave.push_back(condition(s->cond, s->until));
      resume_condition(top, here(), here());
      where_ = s;
    }
    block(s->body);
    emit(OpCode::Tick);
    int32_t bottom = here();
    if (s->cond && !s->test_first) {
      where_ = condition_where(s->cond, s);
      leave.push_back(condition(s->cond, s->until));
      where_ = s;
    }
    emit(OpCode::Jump).target = top;
    if (s->cond && !s->test_first) resume_condition(bottom, here(), here());
    for (int32_t j : leave) out_->code[static_cast<size_t>(j)].target = here();
    patch_exits(loops_.back());
    loops_.pop_back();
  }

  void patch_exits(const Loop& l) {
    for (int32_t j : l.exits) {
      if (j >= 0) {
        out_->code[static_cast<size_t>(j)].target = here();
      } else {
        Instr& e = out_->code[static_cast<size_t>(-j - 1)];
        (l.is_do ? e.exit_do : e.exit_for) = here();
      }
    }
  }

  void exit_statement(ExitStmt* x) {
    if (x->flow == Flow::ExitProc) {
      emit(OpCode::Return);
      return;
    }
    if (Loop* l = innermost(x->flow == Flow::ExitDo)) {
      emit(OpCode::Jump);
      l->exits.push_back(here() - 1);
      return;
    }
    fallback(x);
  }

  Operand expr(Expr* e) {
    if (e->local_slot >= 0) return Operand{e->local_slot, nullptr, false};
    if (e->literal) return Operand{-1, e->literal, false};
    if (auto* p = dynamic_cast<ParenExpr*>(e)) return expr(p->inner);
    // Temporaries are a stack: an instruction's result takes the place of the operands it
    // consumed (it reads them before it writes).
    if (auto* b = dynamic_cast<BinaryExpr*>(e)) return operation(OpCode::Binary, b->op, 0, b->a, b->b);
    if (auto* c = dynamic_cast<CompareExpr*>(e))
      return operation(OpCode::Compare, c->op, c->literal_side, c->a, c->b);
    if (auto* m = dynamic_cast<MemberExpr*>(e); m && simple_member(m))
      return member_call(m, m->args, OpCode::MemberCall, false);
    if (own_member(e)) return member_call(e, static_cast<NameExpr*>(e)->args, OpCode::MeCall, false);
    if (auto* n = dynamic_cast<NameExpr*>(e); n && builtin_name(n)) return builtin_call(n, false);
    if (auto* n = dynamic_cast<NameExpr*>(e); n && procedure_call(n)) return call(n);
    if (auto* n = dynamic_cast<NameExpr*>(e)) {
      if ((n->kind == NameExpr::Global || n->kind == NameExpr::Field) && is_plain_name(n)) {
        Instr& i = emit(n->kind == NameExpr::Global ? OpCode::LoadGlobal : OpCode::LoadField);
        i.node = n;
        i.slot = n->slot;
        i.dst = temp();
        return Operand{i.dst, nullptr, true};
      }
      if (is_element(n) && call_level_ < ProcCode::kMaxCallLevels) return element(n, std::nullopt);
    }
    Instr& i = emit(OpCode::Eval);
    i.node = e;
    i.dst = temp();
    return Operand{i.dst, nullptr, true};
  }

  // An element of an array variable read (no `value`) or assigned. The array is found before
  // the subscript is evaluated, as the tree does; what is no array the tree handles whole.
  Operand element(NameExpr* n, std::optional<Operand> value) {
    int32_t mark = temps_;
    int32_t result = p_.nslots + mark;
    int32_t prepare = here();
    Instr& p = emit(OpCode::ElementPrepare);
    p.node = n;
    p.dst = result;
    p.level = call_level_++;
    p.sense = value.has_value();
    if (value) p.a = *value;
    Operand index = expr(n->args[0]);
    --call_level_;
    temps_ = mark;
    Instr& e = emit(value ? OpCode::StoreElement : OpCode::LoadElement);
    e.level = call_level_;
    if (value) {
      e.a = *value;
      e.b = index;
    } else {
      e.a = index;
      e.dst = temp();
    }
    out_->code[static_cast<size_t>(prepare)].target = here();
    return Operand{result, nullptr, true};
  }

  // An operator on two operands (a jump on a comparison has no result). The left one, when it
  // is a local and the right one runs code, is copied first: the tree reads operands in order.
  Operand operation(OpCode code, Op op, int8_t literal_side, Expr* a, Expr* b, bool result = true) {
    int32_t mark = temps_;
    Operand x = expr(a);
    if (!is_pure(b)) x = in_temp(x);
    Operand y = expr(b);
    temps_ = mark;
    Instr& i = emit(code);
    i.op = op;
    i.literal_side = literal_side;
    i.a = x;
    i.b = y;
    if (!result) return Operand{};
    i.dst = temp();
    return Operand{i.dst, nullptr, true};
  }

  // A name with arguments (or, as a statement, a bare name) that may call a script procedure,
  // whose arguments the code can pass: values, left-out arguments and plain locals (a cell when
  // the parameter is ByRef). A bare name read for its value stays a variable read.
  bool as_procedure_call(const Expr* e, bool statement) {
    auto* n = dynamic_cast<const NameExpr*>(e);
    return n && procedure_call(n, statement);
  }

  bool procedure_call(const NameExpr* n, bool statement = false) {
    if (n->kind != NameExpr::Global || (!statement && !n->has_parens && n->args.empty())) return false;
    if (call_level_ >= ProcCode::kMaxCallLevels) return false;
    for (const Expr* a : n->args)
      if (a && a->may_ref && !is_plain_local(a)) return false;
    return true;
  }

  // obj.Name(args) whose object is a plain name and whose arguments need no code to run (left
  // out, literals, plain locals): the member instruction finds the instance and the member when
  // it runs, and nothing has been evaluated when it hands the site to the tree instead.
  bool simple_member(const Expr* e) {
    auto* m = dynamic_cast<const MemberExpr*>(e);
    if (!m || !m->object || !is_plain_name(m->object)) return false;
    auto kind = static_cast<const NameExpr*>(m->object)->kind;
    if (kind != NameExpr::Local && kind != NameExpr::Field && kind != NameExpr::Global) return false;
    return simple_arguments(m->args);
  }

  // A method or property of the class the code belongs to, named alone, with such arguments.
  bool own_member(const Expr* e) {
    auto* n = dynamic_cast<const NameExpr*>(e);
    return n && n->kind == NameExpr::MeMember && simple_arguments(n->args);
  }

  static bool simple_arguments(const std::vector<Expr*>& args) {
    for (const Expr* a : args)
      if (a && !a->literal && !is_plain_local(a)) return false;
    return true;
  }

  Operand member_call(Expr* site, const std::vector<Expr*>& site_args, OpCode code, bool statement) {
    std::vector<CallArg> args;
    for (Expr* a : site_args) {
      CallArg ca;
      ca.expr = a;
      if (a && a->literal) ca.value = Operand{-1, a->literal, false};
      else if (a) {
        ca.local_name = true;
        ca.value = local_operand(a);
      }
      args.push_back(ca);
    }
    Instr& c = emit(code);
    c.node = site;
    c.sense = statement;
    c.args_at = static_cast<int32_t>(out_->args.size());
    c.nargs = static_cast<int32_t>(args.size());
    out_->args.insert(out_->args.end(), args.begin(), args.end());
    if (statement) return Operand{};
    c.dst = temp();
    return Operand{c.dst, nullptr, true};
  }

  // A call; as a statement (`statement`) its result is dropped, and what turns out to be no
  // script procedure is called as the statement would call it.
  // A call of a name that is a built-in function unless the script defined it otherwise (the
  // code checks that when it runs). Arguments are values, each taken as it is evaluated.
  Operand builtin_call(NameExpr* n, bool statement) {
    return prepared_call(n, statement, OpCode::BuiltinPrepare, OpCode::CallBuiltin, [&](Expr* a) {
      CallArg ca;
      ca.value = in_temp(expr(a));
      return ca;
    });
  }

  bool builtin_name(const NameExpr* n) {
    return n->kind == NameExpr::Global && call_level_ < ProcCode::kMaxCallLevels &&
           (n->has_parens || !n->args.empty()) && find_builtin_function(n->key);
  }

  // A call of what may be a script procedure. A plain local argument is named, not read: the
  // call makes it a by-reference cell or reads it, as the parameter asks.
  Operand call(NameExpr* n, bool statement = false) {
    return prepared_call(n, statement, OpCode::CallPrepare, OpCode::Call, [&](Expr* a) {
      CallArg ca;
      if (is_plain_local(a)) {
        ca.local_name = true;
        ca.value = local_operand(a);
      } else {
        // Read now, as the tree reads a value argument: later arguments may change a local.
        ca.value = in_temp(expr(a));
      }
      return ca;
    });
  }

  // The instruction that binds the callee (or lets the tree run the whole call), the arguments,
  // and the call. The result goes where the arguments were: the call takes them out before it
  // writes.
  template <class MakeArg>
  Operand prepared_call(NameExpr* n, bool statement, OpCode prepare_op, OpCode call_op, MakeArg make_arg) {
    int32_t mark = temps_;
    int32_t result = p_.nslots + mark;
    int32_t prepare = here();
    Instr& p = emit(prepare_op);
    p.node = n;
    p.dst = result;
    p.level = call_level_++;
    p.sense = statement;
    std::vector<CallArg> args;
    for (Expr* a : n->args) {
      CallArg ca;
      if (a) ca = make_arg(a);
      ca.expr = a;
      args.push_back(ca);
    }
    --call_level_;
    temps_ = mark;
    temp();
    Instr& c = emit(call_op);
    c.node = n;
    c.sense = statement;
    c.dst = result;
    c.level = call_level_;
    c.args_at = static_cast<int32_t>(out_->args.size());
    c.nargs = static_cast<int32_t>(args.size());
    out_->args.insert(out_->args.end(), args.begin(), args.end());
    Instr& pre = out_->code[static_cast<size_t>(prepare)];
    pre.target = here();
    pre.nargs = c.nargs;
    return Operand{result, nullptr, true};
  }
};

}  // namespace

std::shared_ptr<const ProcCode> compile_proc(const Proc& p) { return Compiler(p, has_on_error(p.body)).run(); }

}  // namespace qz::vbs
