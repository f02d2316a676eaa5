// The loop that runs a compiled procedure (see proc_code.h). An error leaves with the position
// the tree would give it: the instruction knows its statement and where to report it.
#include <cstring>
#include <new>

#include "script/bound_names.h"
#include "script/class_instance.h"
#include "script/engine.h"
#include "script/frame_registers.h"
#include "script/member_sites.h"
#include "script/proc_code.h"
#include "script/value_ops.h"

namespace qz::vbs {
namespace {

[[gnu::always_inline]] inline const Variant& read(const Operand& o, Variant* regs) {
  return o.reg >= 0 ? regs[o.reg].deref() : *o.literal;
}

// A temporary that was read lets go of what it holds; plain numbers hold nothing.
[[gnu::always_inline]] inline void release(const Operand& o, Variant* regs) {
  if (o.temp) {
    Variant& t = regs[o.reg];
    if (t.is_string() || t.is_object() || t.is_array()) t = Variant();
  }
}

// The variable a subscripted name reads, when it holds an array; null when the tree must work out
// what the name is (a procedure, an object's default member, a name not bound yet).
[[gnu::always_inline]] inline Variant* array_variable(NameExpr* n, Frame& f) {
  Variant* v = known_variable(n, f);
  return v && v->deref().is_array() ? v : nullptr;
}

// The For loops' states, made only for code that has loops; a couple in place. (Code without
// loops, the usual small procedure, pays one test on the way in and one on the way out.)
struct ForStates {
  alignas(ForState) unsigned char small[2 * sizeof(ForState)];
  ForState* data;
  size_t n;
  explicit ForStates(size_t count) : data(reinterpret_cast<ForState*>(small)), n(count) {
    if (n == 0) return;
    if (n > 2) data = new ForState[n];
    else
      for (size_t i = 0; i < n; ++i) new (&data[i]) ForState();
  }
  ForStates(const ForStates&) = delete;
  ForStates& operator=(const ForStates&) = delete;
  ~ForStates() {
    if (n == 0) return;
    if (n > 2) delete[] data;
    else
      for (size_t i = 0; i < n; ++i) data[i].~ForState();
  }
};

// The order of an instruction's two operands (see compare_order); the temporaries are read.
int operands_order(const Instr& in, Variant* regs) {
  const Variant& x = read(in.a, regs);
  const Variant& y = read(in.b, regs);
  int c;
  if (!x.is_object() && !y.is_object()) {
    c = compare_order(x, y, in.literal_side);
  } else {
    // An object's default member is script code, which could change what the registers hold.
    Variant cx = x, cy = y;
    c = compare_order(cx, cy, in.literal_side);
  }
  release(in.a, regs);
  release(in.b, regs);
  return c;
}

// The script procedure a call site names right now, as NameExpr::eval finds it; null when the
// site needs its general path.
[[gnu::always_inline]] inline Proc* bound_procedure(NameExpr* site, Frame& f) {
  Binding* b = bound_binding(site, f);
  return b && b->kind == Binding::Procedure ? b->proc : nullptr;
}

// The arguments of a call of `p` into the fresh (Empty) registers at `to`: Missing for a left-out
// one, a by-reference cell for a plain local when the parameter is ByRef, else the value (a
// temporary's taken from its register).
[[gnu::always_inline]] inline void fill_arguments(Frame& f, const Proc* p, const ProcCode& code, const Instr& in,
                                                  Variant* regs, Variant* to) {
  for (int32_t i = 0; i < in.nargs; ++i) {
    const CallArg& ca = code.args[static_cast<size_t>(in.args_at + i)];
    bool by_ref = p->byref[static_cast<size_t>(i)];
    if (!ca.expr) {
      new (&to[i]) Variant(Variant::missing());
    } else if (ca.local_name && by_ref) {
      new (&to[i]) Variant(reference_cell(ca.expr, f, &regs[ca.value.reg].deref()));
    } else if (ca.value.temp) {
      Variant& t = regs[ca.value.reg];
      if (t.is_byref() && !by_ref) new (&to[i]) Variant(t.deref());
      else new (&to[i]) Variant(std::move(t));
    } else {
      new (&to[i]) Variant(read(ca.value, regs));
    }
  }
}

// A call of a compiled procedure (a method of `me` when not null): `fill` puts the arguments
// straight into the callee's fresh registers, and its result goes straight into `out` (null for
// a call statement, which drops it). Written into the call handlers, so that a script call is
// one machine-stack frame (the callee's loop) instead of two.
template <class Fill>
[[gnu::always_inline]] inline void call_compiled(Frame& f, Proc* p, ClassInstance* me, const ProcCode& callee,
                                                 Fill fill, Variant* out) {
  ScriptEngineImpl& e = *f.engine;
  ScriptEngineImpl::DepthGuard depth(e);
  e.tick();
  FrameRegisters r(static_cast<size_t>(p->nslots + callee.ntemps));
  fill(r.data + 1);
  for (const auto& [at, value] : p->consts) r.data[at] = value;
  Frame fr;
  fr.engine = &e;
  fr.locals = r.data;
  fr.me = me;
  fr.fields = me ? me->fields.data() : nullptr;
  fr.proc = p;
  fr.module = p->module;
  fr.unit = p->unit;
  fr.caller = e.current();
  CurrentFrame scope(e, &fr);
  run_proc_code(fr, callee);
  if (out) *out = p->has_result() ? std::move(r.data[0]) : Variant();
}

// A call of a procedure the tree runs (compiling is off): the arguments, then the general call.
[[gnu::noinline]] Variant call_by_tree(Frame& f, Proc* p, ClassInstance* me, const ProcCode& code, const Instr& in,
                                       Variant* regs) {
  FrameRegisters args(static_cast<size_t>(in.nargs));
  fill_arguments(f, p, code, in, regs, args.data);
  return f.engine->call_proc(p, me, args.data, args.n, true);
}

// The call instruction `in` of procedure `p` (a method of `me` when not null), its arguments
// named in `code`.
[[gnu::always_inline]] inline void call_bound(Frame& f, Proc* p, ClassInstance* me, const ProcCode& code,
                                              const Instr& in, Variant* regs, Variant* out) {
  if (const ProcCode* callee = f.engine->code_of(p)) {
    return call_compiled(
        f, p, me, *callee, [&](Variant* to) { fill_arguments(f, p, code, in, regs, to); }, out);
  }
  if (out) *out = call_by_tree(f, p, me, code, in, regs);
  else call_by_tree(f, p, me, code, in, regs);
}

// obj.Name(args) on a script class instance: a field's value, or its method or Property Get
// called like a procedure (the instance kept alive while it runs). False when the member node
// must run the site: another kind of object, a member that does not fit the call as written.
[[gnu::always_inline]] inline bool call_member(Frame& f, const ProcCode& code, const Instr& in, Variant* regs) {
  auto* site = static_cast<MemberExpr*>(in.node);
  ClassInstance* inst = site_instance(site, f);
  const ClassMember* m = inst ? site->class_member(f, inst) : nullptr;
  if (!m) return false;
  if (m->field >= 0) {
    if (in.sense || in.nargs != 0) return false;
    regs[in.dst] = inst->fields[static_cast<size_t>(m->field)];
    return true;
  }
  Proc* p = m->get ? m->get : m->method;
  if (!p || p->nparams() != static_cast<size_t>(in.nargs)) return false;
  Ref<Object> keep(inst);
  call_bound(f, p, inst, code, in, regs, in.sense ? nullptr : &regs[in.dst]);
  return true;
}

// obj.Name = v on a script class instance: its field, or its Property Let (or Set) with the
// value; anything else through the member node.
[[gnu::always_inline]] inline void store_member(Frame& f, const Instr& in, Variant v) {
  auto* site = static_cast<MemberExpr*>(in.node);
  ClassInstance* inst = site_instance(site, f);
  const ClassMember* m = inst ? site->class_member(f, inst) : nullptr;
  if (!m) return site->assign(f, std::move(v), false);
  Variant value = class_let_value(std::move(v));
  if (m->field >= 0) return assign_value(inst->fields[static_cast<size_t>(m->field)], std::move(value), false);
  Proc* p = m->let ? m->let : m->set;
  if (!p || p->nparams() != 1) return site->assign(f, std::move(value), false);
  Ref<Object> keep(inst);
  if (const ProcCode* callee = f.engine->code_of(p))
    call_compiled(f, p, inst, *callee, [&](Variant* to) { new (to) Variant(std::move(value)); }, nullptr);
  else
    f.engine->call_proc(p, inst, &value, 1);
}

// The handlers whose work needs values of their own (the dispatch jumps only between handlers
// that hold none).

// + - * Mod and \ of two Integer/Long operands that cannot fail, whose result holds nothing to
// release: the handler stores it itself instead of moving a returned value. False for anything
// else (see small_int_value).
[[gnu::always_inline]] inline bool small_int_operation(const Instr& in, Variant* regs, int64_t& r, bool& both) {
  const Variant& x = read(in.a, regs);
  const Variant& y = read(in.b, regs);
  if (!small_int(x.type()) || !small_int(y.type())) return false;
  if (!small_int_value(in.op, small_value(x), small_value(y), r)) return false;
  both = x.type() == VT::Integer && y.type() == VT::Integer;
  return true;
}

// a op b.
[[gnu::noinline]] Variant binary_result(const Instr& in, Variant* regs) {
  const Variant& x = read(in.a, regs);
  const Variant& y = read(in.b, regs);
  if (small_int(x.type()) && small_int(y.type())) {
    // Integer operands: nothing to release.
    if (Variant r; small_int_result(in.op, x, y, r)) return r;
  }
  if (in.op == Op::Concat && plain_text_operand(x) && plain_text_operand(y) && !(x.is_null() && y.is_null())) {
    // A chain of & builds one string: the text so far, a temporary only this chain holds,
    // takes the next piece in its spare room. (Too long a result takes the general path,
    // which reports it.)
    TextPiece head(x);
    TextPiece tail(y);
    if (head.byte_size() + tail.byte_size() <= (size_t{1} << 31)) {
      Str text = head.str();
      release(in.a, regs);
      release(in.b, regs);
      // The tail's bytes stay where they are: in the piece, or in a string the operand or
      // `tail` still holds.
      return Variant(Str::append(std::move(text), tail.bytes(), tail.byte_size()));
    }
  }
  if (!x.is_object() && !y.is_object()) {
    Variant r = binary_values(in.op, x, y);
    release(in.a, regs);
    release(in.b, regs);
    return r;
  }
  // An object's default member is script code, which could change what the registers hold.
  Variant cx = x, cy = y;
  release(in.a, regs);
  release(in.b, regs);
  return binary_values(in.op, cx, cy);
}

// The value of operand a, taken from its register when it is a temporary.
[[gnu::always_inline]] inline Variant take(const Operand& a, Variant* regs) {
  if (a.temp) return std::move(regs[a.reg]);
  return read(a, regs);
}

// var = a as a Let; what is no plain store goes to the assignment's target node.
[[gnu::always_inline]] inline void store_let(Frame& f, const Instr& in, Variant v, Variant& var) {
  Variant& dst = var.deref();
  if (stores_plainly(v, dst)) dst = std::move(v);
  else static_cast<Expr*>(in.node)->assign(f, std::move(v), false);
}

[[gnu::always_inline]] inline void store_global(Frame& f, const Instr& in, Variant v) {
  auto* n = static_cast<NameExpr*>(in.node);
  Variant* dst = bound_value(n, f, false);
  if (dst && stores_plainly(v, dst->deref())) dst->deref() = std::move(v);
  else n->assign(f, std::move(v), false);
}

// The built-in function a call site names right now, when it may be called the way the site
// calls it (a statement or for a value); null when the tree must run the call (it also raises
// the errors of a wrong use).
[[gnu::always_inline]] inline const BuiltinFunction* bound_builtin(NameExpr* site, Frame& f, bool statement) {
  Binding* b = bound_binding(site, f);
  if (!b || b->kind != Binding::Builtin) return nullptr;
  const BuiltinFunction* fn = b->fn;
  if (fn->use == (statement ? BuiltinUse::Value : BuiltinUse::Statement)) return nullptr;
  return fn;
}

void call_builtin(Frame& f, const BuiltinFunction& fn, const ProcCode& code, const Instr& in, Variant* regs) {
  FrameRegisters args(static_cast<size_t>(in.nargs));
  for (int32_t i = 0; i < in.nargs; ++i) {
    const CallArg& ca = code.args[static_cast<size_t>(in.args_at + i)];
    args.data[i] = ca.expr ? take(ca.value, regs) : Variant::missing();
  }
  if (in.nargs < fn.min_args || (fn.max_args >= 0 && in.nargs > fn.max_args))
    runtime_error_named(kErrArgCount, static_cast<NameExpr*>(in.node)->name);
  Variant r = fn.fn(f.engine->builtin_context(), Args(args.data, args.n));
  if (!in.sense) regs[in.dst] = std::move(r);
}

// A subscripted name that holds no array: the tree reads or assigns it whole.
void element_by_tree(Frame& f, const Instr& in, Variant* regs) {
  auto* n = static_cast<NameExpr*>(in.node);
  if (in.sense) n->assign(f, take(in.a, regs), false);
  else regs[in.dst] = n->eval(f);
}

// The truth of operand a, as a condition sees it; the temporary is read.
bool operand_truth(const Instr& in, Variant* regs) {
  const Variant& v = read(in.a, regs);
  if (v.is(VT::Boolean)) return v.as_bool();
  bool t;
  if (v.is_object()) {
    Variant copy = v;   // the default member is script code
    t = truth(copy);
  } else {
    t = truth(v);
  }
  release(in.a, regs);
  return t;
}

// An element of a one-dimensional array of Variants at a whole-number index within its
// bounds; for writing, only when the variable alone holds the array (else it is copied first).
// Null when the general path must decide (and report errors).
[[gnu::always_inline]] inline Variant* plain_element(Variant& var, const Variant& index, bool for_write) {
  Variant& d = var.deref();
  if (!d.is_array() || !small_int(index.type())) return nullptr;
  ArrayRep* rep = d.as_array();
  if (rep->elem != VT::Variant || rep->dims.size() != 1 || (for_write && rep->refs != 1)) return nullptr;
  int64_t i = small_value(index) - rep->dims[0].lbound;
  if (i < 0 || i >= rep->dims[0].count) return nullptr;
  return &rep->items[static_cast<size_t>(i)];
}

// What the subscript did may have changed the variable: the element is found in whatever it
// holds now.
[[gnu::always_inline]] inline void load_element(const Instr& in, Variant* regs, Variant& var) {
  Variant index = take(in.a, regs);
  if (Variant* e = plain_element(var, index, false)) regs[in.dst] = *e;
  else regs[in.dst] = apply_args(var, Args(&index, 1));
}

[[gnu::always_inline]] inline void store_element(const Instr& in, Variant* regs, Variant& var) {
  Variant v = take(in.a, regs);
  Variant index = take(in.b, regs);
  Variant* e = v.is_byref() || v.is_object() || v.is_array() ? nullptr : plain_element(var, index, true);
  if (e && !e->is_array()) *e = std::move(v);
  else assign_indexed(var, Args(&index, 1), std::move(v), false);
}

// An error at instruction `at`: its position, then where Resume Next goes on, or -1 when the
// error leaves the code. Before Resume Next goes on, the failed statement's temporaries let go
// of what they held, as the tree's temporaries go while an error leaves a statement. (Out of
// memory is no script error: the tree takes it past the whole statement, condition or not.)
int32_t absorb_error(Frame& f, const ProcCode& code, ptrdiff_t at, ScriptError& e, bool script_error) {
  const Instr& in = code.code[static_cast<size_t>(at)];
  f.current = in.stmt;
  const ResumePoint* r = f.resume_next && !code.resume.empty() ? &code.resume[static_cast<size_t>(at)] : nullptr;
  if (r)
    for (int32_t reg = r->temps_from; reg < code.nregs; ++reg) f.locals[reg] = Variant();
  f.engine->note_position(f, e, in.where);
  if (!f.engine->absorb(f, e) || !r) return -1;
  return script_error ? r->pc : r->after;
}

}  // namespace

void run_proc_code(Frame& f, const ProcCode& code) {
  Variant* regs = f.locals;
  const Instr* base = code.code.data();
  const Instr* in = base;
  // What CallPrepare (a Proc) and ElementPrepare (a Variant) found for the instruction that
  // completes them.
  void* pending[ProcCode::kMaxCallLevels];
  // Each instruction jumps to the next one's handler itself (one indirect jump per handler
  // predicts far better than one shared jump). The table follows OpCode's order.
  static const void* const handlers[] = {
      &&do_eval, &&do_exec, &&do_move, &&do_binary, &&do_binary_to_local, &&do_binary_to_global, &&do_compare, &&do_jump_compare,
      &&do_jump_truth,
      &&do_jump, &&do_tick, &&do_store_local, &&do_call_prepare, &&do_call, &&do_builtin_prepare,
      &&do_call_builtin, &&do_load_global,
      &&do_store_global, &&do_load_field, &&do_store_field, &&do_element_prepare, &&do_load_element,
      &&do_store_element,
      &&do_for_begin, &&do_for_test, &&do_for_step, &&do_member_call, &&do_member_store, &&do_me_call,
      &&do_return,
  };
  ForStates fors(static_cast<size_t>(code.nfors));
  static_assert(sizeof(handlers) / sizeof(handlers[0]) == static_cast<size_t>(OpCode::Return) + 1);
#define QZ_NEXT goto* handlers[static_cast<size_t>(in->code)]
  int32_t next = -1;
  for (;;) {   // once round, and again each time Resume Next takes an error
  try {
    QZ_NEXT;
  do_eval:
    regs[in->dst] = static_cast<Expr*>(in->node)->eval(f);
    ++in;
    QZ_NEXT;
  do_exec: {
    f.current = static_cast<Stmt*>(in->node);
    Flow r = static_cast<Stmt*>(in->node)->exec(f);
    if (r == Flow::Normal) {
      ++in;
      QZ_NEXT;
    }
    int32_t to = r == Flow::ExitDo ? in->exit_do : r == Flow::ExitFor ? in->exit_for : -1;
    if (to < 0) return;
    in = base + to;
    QZ_NEXT;
  }
  do_move:
    regs[in->dst] = read(in->a, regs);
    ++in;
    QZ_NEXT;
  do_binary: {
    int64_t r;
    bool both;
    if (small_int_operation(*in, regs, r, both)) regs[in->dst] = int_or_wider(r, both);
    else regs[in->dst] = binary_result(*in, regs);
    ++in;
    QZ_NEXT;
  }
  do_binary_to_local: {
    int64_t r;
    bool both;
    Variant& var = regs[in->slot].deref();
    if (!var.is_array() && small_int_operation(*in, regs, r, both)) var = int_or_wider(r, both);
    else store_let(f, *in, binary_result(*in, regs), regs[in->slot]);
    ++in;
    QZ_NEXT;
  }
  do_binary_to_global:
    store_global(f, *in, binary_result(*in, regs));
    ++in;
    QZ_NEXT;
  do_compare: {
    regs[in->dst] = compare_result(in->op, operands_order(*in, regs));
    ++in;
    QZ_NEXT;
  }
  do_jump_compare: {
    const Variant& x = read(in->a, regs);
    const Variant& y = read(in->b, regs);
    int c;
    if (small_int(x.type()) && small_int(y.type())) {
      int64_t p = small_value(x), q = small_value(y);
      c = (p > q) - (p < q);
    } else {
      c = operands_order(*in, regs);
    }
    in = order_passes(in->op, c) == in->sense ? base + in->target : in + 1;
    QZ_NEXT;
  }
  do_jump_truth:
    in = operand_truth(*in, regs) == in->sense ? base + in->target : in + 1;
    QZ_NEXT;
  do_jump:
    in = base + in->target;
    QZ_NEXT;
  do_tick:
    f.engine->tick();
    ++in;
    QZ_NEXT;
  do_store_local: {
    // A number goes straight in (a temporary's register keeps its copy: it holds nothing).
    const Variant& v = in->a.temp ? regs[in->a.reg] : read(in->a, regs);
    Variant& var = regs[in->slot].deref();
    if (v.is_plain_value() && !var.is_array()) var.assign_plain(v);
    else store_let(f, *in, take(in->a, regs), regs[in->slot]);
    ++in;
    QZ_NEXT;
  }
  do_call_prepare: {
    auto* site = static_cast<NameExpr*>(in->node);
    Proc* p = bound_procedure(site, f);
    if (p && p->nparams() == static_cast<size_t>(in->nargs)) {
      pending[in->level] = p;
      ++in;
      QZ_NEXT;
    }
    if (p && in->sense) site->call_procedure(f, p);   // a statement drops the result at once
    else if (p) regs[in->dst] = site->call_procedure(f, p);
    else if (in->sense) site->call(f);
    else regs[in->dst] = site->eval(f);
    in = base + in->target;
    QZ_NEXT;
  }
  do_call:
    call_bound(f, static_cast<Proc*>(pending[in->level]), nullptr, code, *in, regs,
               in->sense ? nullptr : &regs[in->dst]);
    ++in;
    QZ_NEXT;
  do_builtin_prepare: {
    auto* site = static_cast<NameExpr*>(in->node);
    if (const BuiltinFunction* fn = bound_builtin(site, f, in->sense)) {
      pending[in->level] = const_cast<BuiltinFunction*>(fn);
      ++in;
      QZ_NEXT;
    }
    if (in->sense) site->call(f);
    else regs[in->dst] = site->eval(f);
    in = base + in->target;
    QZ_NEXT;
  }
  do_call_builtin:
    call_builtin(f, *static_cast<const BuiltinFunction*>(pending[in->level]), code, *in, regs);
    ++in;
    QZ_NEXT;
  do_load_global: {
    auto* n = static_cast<NameExpr*>(in->node);
    if (Variant* v = bound_value(n, f, true)) regs[in->dst] = v->deref();
    else regs[in->dst] = n->eval(f);
    ++in;
    QZ_NEXT;
  }
  do_store_global:
    store_global(f, *in, take(in->a, regs));
    ++in;
    QZ_NEXT;
  do_load_field:
    regs[in->dst] = f.fields[in->slot].deref();
    ++in;
    QZ_NEXT;
  do_store_field:
    store_let(f, *in, take(in->a, regs), f.fields[in->slot]);
    ++in;
    QZ_NEXT;
  do_element_prepare:
    if (Variant* var = array_variable(static_cast<NameExpr*>(in->node), f)) {
      pending[in->level] = var;
      ++in;
      QZ_NEXT;
    }
    element_by_tree(f, *in, regs);
    in = base + in->target;
    QZ_NEXT;
  do_load_element:
    load_element(*in, regs, *static_cast<Variant*>(pending[in->level]));
    ++in;
    QZ_NEXT;
  do_store_element:
    store_element(*in, regs, *static_cast<Variant*>(pending[in->level]));
    ++in;
    QZ_NEXT;
  do_for_begin: {
    // A header that fails leaves a loop that never began: under Resume Next its body runs
    // once and its Next raises.
    ForState& st = fors.data[in->slot];
    st.ints = false;
    st.begun = false;
    static_cast<ForStmt*>(in->node)->begin(f, st);
    st.begun = true;
    ++in;
    QZ_NEXT;
  }
  do_for_test: {
    // A whole-number loop's test without a call; any other as the tree does.
    ForState& st = fors.data[in->slot];
    bool more = st.ints ? st.counting() : static_cast<ForStmt*>(in->node)->more(f, st);
    in = more ? in + 1 : base + in->target;
    QZ_NEXT;
  }
  do_for_step: {
    // A whole-number counter in a variable known without a lookup steps here and takes the
    // loop's test itself (to the body's first instruction, or past the loop); anything else
    // steps as the tree does and goes back to the test.
    f.engine->tick();
    ForState& st = fors.data[in->slot];
    auto* loop = static_cast<ForStmt*>(in->node);
    Variant* cur = !st.ints       ? nullptr
                   : in->dst >= 0 ? &regs[in->dst]
                                  : plain_variable(static_cast<NameExpr*>(loop->var), f);
    const Instr* test = base + in->target;
    if (cur && small_int(cur->deref().type())) {
      step_counter(st, cur->deref());
      in = st.counting() ? test + 1 : base + test->target;
      QZ_NEXT;
    }
    if (!st.begun) runtime_error(kErrForNotInitialized);
    loop->advance(f, st);
    in = test;
    QZ_NEXT;
  }
  do_member_call:
    if (!call_member(f, code, *in, regs)) {
      auto* site = static_cast<MemberExpr*>(in->node);
      if (in->sense) site->call(f);
      else regs[in->dst] = site->eval(f);
    }
    ++in;
    QZ_NEXT;
  do_member_store:
    store_member(f, *in, take(in->a, regs));
    ++in;
    QZ_NEXT;
  do_me_call: {
    // The running frame keeps its instance alive.
    auto* site = static_cast<NameExpr*>(in->node);
    const ClassMember& m = f.me->cls()->members[static_cast<size_t>(site->slot)];
    Proc* p = m.get ? m.get : m.method;
    if (m.field < 0 && p && p->nparams() == static_cast<size_t>(in->nargs))
      call_bound(f, p, f.me, code, *in, regs, in->sense ? nullptr : &regs[in->dst]);
    else if (in->sense) site->call(f);
    else regs[in->dst] = site->eval(f);
    ++in;
    QZ_NEXT;
  }
  do_return:
    return;
#undef QZ_NEXT
  } catch (ScriptError& e) {
    next = absorb_error(f, code, in - base, e, true);
    if (next < 0) throw;
  } catch (const std::bad_alloc&) {
    ScriptError e(kErrOutOfMemory, std::u16string(kRuntimeSource), std::u16string(error_text(kErrOutOfMemory)));
    next = absorb_error(f, code, in - base, e, false);
    if (next < 0) throw e;
  } catch (const std::length_error&) {
    ScriptError e(kErrOutOfMemory, std::u16string(kRuntimeSource), std::u16string(error_text(kErrOutOfMemory)));
    next = absorb_error(f, code, in - base, e, false);
    if (next < 0) throw e;
  }
  in = base + next;
  }
}

}  // namespace qz::vbs
