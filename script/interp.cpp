// Evaluation of expression and statement nodes.
#include <cmath>
#include <cstring>
#include <new>

#include "com/convert.h"
#include "script/bound_names.h"
#include "script/class_instance.h"
#include "script/diagnostics.h"
#include "script/engine.h"
#include "script/err_object.h"
#include "script/member_sites.h"
#include "script/operators.h"
#include "script/value_ops.h"
#if __has_include("script/regexp/regexp_object.h")
#include "script/regexp/regexp_object.h"
#define QZ_HAVE_REGEXP_OBJECT 1
#endif
#include "com/progid.h"

namespace qz::vbs {
namespace {

// Arguments evaluated for a call: by-reference cells for variables and array elements when
// by_ref, values otherwise; left-out arguments are Missing.
struct ArgPack {
  // Storage for a few arguments without constructing (and destroying) unused Variants.
  alignas(Variant) unsigned char small[6 * sizeof(Variant)];
  std::unique_ptr<unsigned char[]> big;
  Variant* data = reinterpret_cast<Variant*>(small);
  size_t n = 0;
  LockList locks;

  ArgPack() = default;
  ArgPack(const ArgPack&) = delete;
  ArgPack& operator=(const ArgPack&) = delete;
  [[gnu::always_inline]] inline ~ArgPack() {
    // Arrays unlock before the values go (a value's release may run script code).
    if (!locks.reps.empty()) {
      for (ArrayRep* r : locks.reps) --r->locks;
      locks.reps.clear();
    }
    for (size_t i = 0; i < n; ++i) data[i].~Variant();
  }

  [[gnu::always_inline]] void build(Frame& f, const std::vector<Expr*>& exprs, bool by_ref, size_t extra = 0) {
    size_t count = exprs.size();
    if (count + extra > 6) {
      big.reset(new unsigned char[(count + extra) * sizeof(Variant)]);
      data = reinterpret_cast<Variant*>(big.get());
    }
    for (size_t i = 0; i < count; ++i) {
      Expr* e = exprs[i];
      if (!e) { new (&data[n]) Variant(Variant::missing()); ++n; continue; }
      if (by_ref && e->may_ref) {
        if (Variant* r = e->ref(f, locks)) { new (&data[n]) Variant(reference_cell(e, f, r)); ++n; continue; }
      }
      new (&data[n]) Variant(operand_value(e, f));
      ++n;
    }
  }
  void push(Variant v) { new (&data[n]) Variant(std::move(v)); ++n; }
  Args args() { return Args(data, n); }
};

// A script procedure called with `exprs` as its arguments (by-reference cells for variables
// and array elements): the callee's locals are made from them in place. Plain procedure calls
// and the member calls a site's class cache resolved share it.
[[gnu::always_inline]] inline Variant call_with_args(Frame& f, Proc* proc, ClassInstance* me,
                                                     const std::vector<Expr*>& exprs) {
  ArgPack p;
  p.build(f, exprs, true);
  return f.engine->call_proc(proc, me, p.data, p.n);
}

[[gnu::always_inline]] inline size_t array_offset(ArrayRep* rep, Args indices) {
  size_t n = indices.size();
  if (n == 0 || n > 64) runtime_error(kErrSubscript);
  const Variant* given = indices.data();
  int32_t subs[64];
  for (size_t i = 0; i < n; ++i) {
    const Variant& x = given[i].deref();
    subs[i] = x.is(VT::Integer) ? x.as_integer() : x.is(VT::Long) ? x.as_long() : to_long(x);
  }
  return rep->offset(subs, n);
}

Variant let_value(Variant v) {
  if (v.is_byref()) v = Variant(v.deref());
  if (v.is_object()) return value_of(v);
  return v;
}

// The value a Let hands to a member of `o`: other objects than script classes get the value.
Variant member_let_value(Object* o, Variant v) {
  if (as_class_instance(o)) return class_let_value(std::move(v));
  return let_value(std::move(v));
}

}  // namespace

// ---- helpers shared with class instances ----

namespace {
// A copy of a Dim'd array is an ordinary dynamic array: ReDim may resize it.
[[gnu::noinline]] Variant dynamic_copy(const Variant& v) {
  auto* rep = new ArrayRep(*v.as_array());
  rep->refs = 0;
  rep->locks = 0;
  rep->fixed = false;
  return Variant::array(rep);
}
}  // namespace

void assign_value(Variant& dst, Variant v, bool is_set) {
  if (v.is_byref()) v = Variant(v.deref());
  if (is_set) {
    if (!v.is_object()) runtime_error(kErrObjectRequired);
  } else if (v.is_object()) {
    v = value_of(v);
  }
  if (dst.is_array() && dst.as_array()->locks) runtime_error(kErrFixedArray);
  if (v.is_array() && v.as_array()->fixed) v = dynamic_copy(v);
  dst = std::move(v);
}

Variant apply_args(Variant& v, Args args) {
  Variant& d = v.deref();
  if (d.is_array()) {
    ArrayRep* rep = d.as_array();
    size_t off = array_offset(rep, args);
    if (rep->elem == VT::Byte) return Variant(rep->bytes[off]);
    return rep->items[off];
  }
  if (d.is_object()) {
    Object* o = d.as_object();
    if (!o) runtime_error(kErrNotObjectVar);
    Ref<Object> keep(o);
    return o->invoke(kDispValue, static_cast<CallKind>(kMethod | kGet), args);
  }
  if (args.empty()) return d;
  runtime_error(kErrTypeMismatch);
}

Variant* array_element(Variant& arr, Args indices, LockList* locks) {
  Variant& d = arr.deref();
  ArrayRep* rep = d.array_mut();
  size_t off = array_offset(rep, indices);
  if (rep->elem == VT::Byte) return nullptr;
  if (locks) {
    // Locked, not shared: a write to another element must not copy the array away from
    // the reference. ReDim, Erase and assigning the variable are refused while locked.
    ++rep->locks;
    locks->reps.push_back(rep);
  }
  return &rep->items[off];
}

void assign_indexed(Variant& target, Args indices, Variant v, bool is_set) {
  Variant& d = target.deref();
  if (d.is_array()) {
    ArrayRep* rep = d.array_mut();
    size_t off = array_offset(rep, indices);
    if (rep->elem == VT::Byte) {
      if (is_set) runtime_error(kErrObjectRequired);
      rep->bytes[off] = to_byte(let_value(std::move(v)));
      return;
    }
    assign_value(rep->items[off], std::move(v), is_set);
    return;
  }
  if (d.is_object()) {
    Object* o = d.as_object();
    if (!o) runtime_error(kErrNotObjectVar);
    Ref<Object> keep(o);
    std::vector<Variant> all(indices.data(), indices.data() + indices.size());
    if (is_set) {
      if (!v.deref().is_object()) runtime_error(kErrObjectRequired);
      all.push_back(Variant(v.deref()));
    } else {
      all.push_back(member_let_value(o, std::move(v)));
    }
    o->invoke(kDispValue, is_set ? kSet : kLet, Args(all));
    return;
  }
  runtime_error(kErrTypeMismatch);
}

void Expr::assign(Frame&, Variant, bool) { runtime_error(kErrIllegalAssign); }

Variant MeExpr::eval(Frame& f) {
  if (!f.me) return f.engine->module_object(f.module);
  return Variant(static_cast<Object*>(f.me));
}

// ---- names ----

Binding* NameExpr::binding(Frame& f) {
  uint32_t g = f.engine->generation();
  if (cached_gen == g) return cached;
  cached = f.engine->lookup(scope, key);
  cached_gen = f.engine->generation();
  return cached;
}

namespace {
// The procedure frame whose locals this code sees: its own, or for code that Execute or Eval
// runs inside a procedure, the procedure's. Null at module level.
inline Frame* procedure_frame(Frame& f) {
  return f.proc && f.proc->kind != Proc::TopLevel ? &f : f.outer;
}
}  // namespace

Variant& NameExpr::implicit_var(Frame& f) {
  if (implicit_slot >= 0) return (implicit_outer ? f.outer->locals : f.locals)[implicit_slot];
  if (Frame* p = procedure_frame(f)) {
    // Execute code inside a procedure: a new name is the procedure's local.
    if (!p->dynamic) p->dynamic = std::make_unique<DynamicLocals>();
    return (*p->dynamic)[key];
  }
  Binding* b = f.engine->define_var(scope, key, name);
  cached = b;
  cached_gen = f.engine->generation();
  return b->value;
}

Variant* NameExpr::other_variable(Frame& f) {
  switch (kind) {
    case Local: return &f.locals[slot];
    case OuterLocal: return &f.outer->locals[slot];
    case Field: return &f.fields[slot];
    case MeMember: case Global: return nullptr;
  }
  return nullptr;
}

Variant NameExpr::eval_indexed(Frame& f, Variant& var) {
  if (args.size() == 1 && args[0] && var.deref().is_array()) {
    // One subscript of an array: no argument pack (the index is a value, never a reference).
    Variant index = args[0]->eval(f);
    Variant& d = var.deref();
    if (d.is_array()) {
      ArrayRep* rep = d.as_array();
      size_t off = array_offset(rep, Args(&index, 1));
      if (rep->elem == VT::Byte) return Variant(rep->bytes[off]);
      return rep->items[off];
    }
    return apply_args(var, Args(&index, 1));
  }
  ArgPack p;
  p.build(f, args, var.deref().is_object());
  return apply_args(var, p.args());
}

Variant NameExpr::invoke(Frame& f, bool want_value) {
  Binding* b = binding(f);
  if (!b) {
    if (explicit_vars) runtime_error_named(kErrUndefined, name);
    if (has_parens) {
      // An undeclared local holding an array; anything else (empty parentheses too) is a call
      // of an unknown name.
      if (implicit_slot >= 0) {
        Variant& v = implicit_var(f);
        if (v.deref().is_array()) return eval_variable(f, v);
      }
      runtime_error_named(kErrTypeMismatch, name);
    }
    return implicit_var(f);
  }
  switch (b->kind) {
    case Binding::Var: case Binding::Const: {
      if (!has_parens && args.empty()) {
        if (!want_value) {
          // Used as a statement: an object's default member runs; a plain value is no call.
          if (!b->value.deref().is_object()) runtime_error_named(kErrTypeMismatch, name);
          ArgPack p;
          return apply_args(b->value, p.args());
        }
        return b->value.deref();
      }
      ArgPack p;
      p.build(f, args, b->value.deref().is_object());
      return apply_args(b->value, p.args());
    }
    case Binding::Procedure:
      return call_procedure(f, b->proc);
    case Binding::ObjMember: {
      ArgPack p;
      p.build(f, args, true);
      Ref<Object> keep(b->owner);
      return keep->invoke(b->id, want_value ? static_cast<CallKind>(kMethod | kGet) : kMethod, p.args());
    }
    case Binding::Builtin: {
      const BuiltinFunction* fn = b->fn;
      if (!want_value && fn->use == BuiltinUse::Value) runtime_error_named(kErrUnsupportedType, name);
      if (want_value && fn->use == BuiltinUse::Statement) runtime_error_named(kErrTypeMismatch, name);
      ArgPack p;
      p.build(f, args, false);
      if (static_cast<int>(p.n) < fn->min_args || (fn->max_args >= 0 && static_cast<int>(p.n) > fn->max_args))
        runtime_error_named(kErrArgCount, name);
      return fn->fn(f.engine->builtin_context(), p.args());
    }
    case Binding::Intrinsic: {
      ArgPack p;
      p.build(f, args, false);
      return f.engine->intrinsic(f, b->intrinsic, p.data, p.n, name);
    }
    case Binding::Class:
      runtime_error_named(kErrTypeMismatch, name);
  }
  return Variant();
}

Variant NameExpr::eval(Frame& f) {
  // A plain local is most of what names read: it goes without the frame the other kinds need.
  if (kind == Local && !has_parens && args.empty()) return f.locals[slot].deref();
  // A name bound before (and that no local made by Execute hides): a script procedure is
  // called straight away, a module variable read.
  if (Binding* b = kind == Global ? bound_binding(this, f) : nullptr) {
    if (b->kind == Binding::Procedure) return call_procedure(f, b->proc);
    // A module variable or constant named plainly: its value.
    if ((b->kind == Binding::Var || b->kind == Binding::Const) && !has_parens && args.empty())
      return b->value.deref();
  }
  return eval_other(f);
}

Variant NameExpr::call_procedure(Frame& f, Proc* proc) { return call_with_args(f, proc, nullptr, args); }

Variant NameExpr::eval_other(Frame& f) {
  switch (kind) {
    case Local: return eval_variable(f, f.locals[slot]);
    case OuterLocal: return eval_variable(f, f.outer->locals[slot]);
    case Field: return eval_variable(f, f.fields[slot]);
    case MeMember: {
      ArgPack p;
      p.build(f, args, true);
      Ref<Object> keep(f.me);
      return f.me->invoke(slot + 1, static_cast<CallKind>(kMethod | kGet), p.args());
    }
    case Global:
      if (Variant* d = dynamic_local(f)) return eval_variable(f, *d);
      return invoke(f, true);
  }
  return Variant();
}

void NameExpr::call(Frame& f) {
  if (kind == MeMember) {
    ArgPack p;
    p.build(f, args, true);
    Ref<Object> keep(f.me);
    f.me->invoke(slot + 1, kMethod, p.args());
    return;
  }
  Variant* v = variable(f);
  if (!v) {
    Binding* b = binding(f);
    if (!b && !explicit_vars) runtime_error_named(kErrTypeMismatch, name);
    invoke(f, false);
    return;
  }
  if (args.empty() && !has_parens) {
    // A variable holding an object as a statement calls its default member; any other value
    // cannot be called.
    if (!v->deref().is_object()) runtime_error_named(kErrTypeMismatch, name);
    Variant holder = v->deref();
    ArgPack p;
    apply_args(holder, p.args());
    return;
  }
  eval_variable(f, *v);
}

Variant* NameExpr::ref(Frame& f, LockList& locks) {
  Variant* v = variable(f);
  if (!v) {
    if (kind != Global) return nullptr;
    Binding* b = binding(f);
    if (!b) {
      if ((explicit_vars && !declares) || has_parens) return nullptr;
      v = &implicit_var(f);
    } else {
      if (b->kind != Binding::Var) return nullptr;
      v = &b->value;
    }
  }
  Variant& d = v->deref();
  if (!has_parens) return &d;
  if (!d.is_array()) return nullptr;
  ArgPack p;
  p.build(f, args, false);
  return array_element(d, p.args(), &locks);
}

bool NameExpr::names_module_variable(Frame& f, const Variant* target) {
  if (has_parens) return false;   // an array element moves when the array is resized
  switch (kind) {
    case Global: {
      if (dynamic_local(f)) return false;
      Binding* b = binding(f);
      return b && b->kind == Binding::Var && &b->value == target;
    }
    case Local: case OuterLocal: {
      Variant* v = other_variable(f);
      return v && v->ref_lasting();   // a parameter that was handed a module variable
    }
    default: return false;
  }
}

void NameExpr::assign(Frame& f, Variant v, bool is_set) {
  Variant* target = variable(f);
  if (!target) {
    if (kind == MeMember) {
      ArgPack p;
      p.build(f, args, false, 1);
      p.push(is_set ? std::move(v) : member_let_value(f.me, std::move(v)));
      if (is_set && !p.data[p.n - 1].is_object()) runtime_error(kErrObjectRequired);
      Ref<Object> keep(f.me);
      f.me->invoke(slot + 1, is_set ? kSet : kLet, p.args());
      return;
    }
    Binding* b = binding(f);
    if (!b) {
      if (explicit_vars) runtime_error_named(kErrUndefined, name);
      target = &implicit_var(f);
    } else if (b->kind == Binding::Var) {
      target = &b->value;
    } else if (b->kind == Binding::ObjMember) {
      ArgPack p;
      p.build(f, args, false, 1);
      p.push(is_set ? std::move(v) : let_value(std::move(v)));
      Ref<Object> keep(b->owner);
      keep->invoke(b->id, is_set ? kSet : kLet, p.args());
      return;
    } else {
      runtime_error_named(kErrIllegalAssign, name);
    }
  }
  Variant& dst = target->deref();
  if (!has_parens || args.empty()) {
    assign_value(dst, std::move(v), is_set);
    return;
  }
  if (args.size() == 1 && args[0]) {
    Variant index = args[0]->eval(f);
    assign_indexed(dst, Args(&index, 1), std::move(v), is_set);
    return;
  }
  ArgPack p;
  p.build(f, args, false);
  assign_indexed(dst, p.args(), std::move(v), is_set);
}

// ---- members ----

inline MemberTarget::~MemberTarget() {
  if (instance) instance->Release();
}

Object* MemberExpr::target(Frame& f, MemberTarget& t) {
  // A plain name: a script instance it holds is referenced without copying the Variant.
  const Variant* var;
  if (!object) {
    if (with_slot < 0) runtime_error(kErrUnqualifiedRef);
    var = &f.locals[with_slot];
  } else {
    var = object_variable(object, f);
  }
  if (var) {
    const Variant& d = var->deref();
    if (d.is_object() && d.as_object() && (t.instance = as_class_instance(d.as_object()))) {
      t.instance->AddRef();
      return t.instance;
    }
    t.holder = d;
  } else {
    t.holder = object->eval(f);
  }
  const Variant& d = t.holder.deref();
  if (!d.is_object()) runtime_error_named(kErrObjectRequired, name);
  Object* o = d.as_object();
  if (!o) runtime_error_named(kErrObjectRequired, name);   // Nothing has no members
  return o;
}

namespace {
// How an error message names a member access: "obj.Member", "Me.Member", "a.b.Member"; only
// the member's name when the object is something else (a call's result, a With object).
bool describe_path(const Expr* e, std::u16string& out) {
  if (auto* n = dynamic_cast<const NameExpr*>(e)) {
    if (n->has_parens) return false;
    out += n->name;
    return true;
  }
  if (dynamic_cast<const MeExpr*>(e)) {
    out += u"Me";
    return true;
  }
  if (auto* m = dynamic_cast<const MemberExpr*>(e)) {
    if (m->has_parens || !m->object || !describe_path(m->object, out)) return false;
    out += u".";
    out += m->name;
    return true;
  }
  return false;
}

[[noreturn, gnu::noinline]] void no_such_member(const Expr* object, const std::u16string& name) {
  std::u16string path;
  if (object && describe_path(object, path)) runtime_error_named(kErrNoSuchMember, path + u"." + name);
  runtime_error_named(kErrNoSuchMember, name);
}
}  // namespace

DispId MemberExpr::resolve(Object* o) {
  const void* key = o->member_key();
  if (key && key == cached_key) return cached_id;
  DispId id = o->find_member(name);
  if (id == kDispUnknown) no_such_member(object, name);
  if (key) {
    cached_key = key;
    cached_id = id;
  }
  return id;
}

const ClassMember* MemberExpr::find_class_member(const ClassDef* cls) {
  auto it = cls->index.find(lower(name));
  if (it == cls->index.end()) return nullptr;   // the general path reports it
  member_class = cls->serial;
  member = &cls->members[static_cast<size_t>(it->second)];
  return member;
}

// A member of a script class instance found in the site's cache goes straight to its field or
// procedure; whatever the procedure's signature does not fit as written (arguments for what a
// property returns, a count that does not match) takes the general path, which also raises the
// errors.

Variant MemberExpr::eval(Frame& f) {
  MemberTarget held;
  Object* o = target(f, held);
  if (const ClassMember* m = class_member(f, o)) {
    auto* inst = static_cast<ClassInstance*>(o);
    if (m->field >= 0) {
      if (args.empty()) return inst->fields[static_cast<size_t>(m->field)];
    } else if (Proc* p = m->get ? m->get : m->method; p && p->nparams() == args.size()) {
      return call_with_args(f, p, inst, args);
    }
  }
  DispId id = resolve(o);
  ArgPack p;
  p.build(f, args, true);
  return o->invoke(id, static_cast<CallKind>(kMethod | kGet), p.args());
}

void MemberExpr::call(Frame& f) {
  MemberTarget held;
  Object* o = target(f, held);
  if (const ClassMember* m = class_member(f, o)) {
    Proc* p = m->get ? m->get : m->method;
    if (m->field < 0 && p && p->nparams() == args.size()) {
      call_with_args(f, p, static_cast<ClassInstance*>(o), args);
      return;
    }
  }
  DispId id = resolve(o);
  ArgPack p;
  p.build(f, args, true);
  o->invoke(id, kMethod, p.args());
}

namespace {
// The value an assignment hands to a member of `o`: an object for Set (anything else raises),
// what member_let_value gives for Let.
Variant assigned_value(Object* o, Variant v, bool is_set) {
  if (!is_set) return member_let_value(o, std::move(v));
  if (v.is_byref()) v = Variant(v.deref());
  if (!v.is_object()) runtime_error(kErrObjectRequired);
  return v;
}
}  // namespace

void MemberExpr::assign(Frame& f, Variant v, bool is_set) {
  MemberTarget held;
  Object* o = target(f, held);
  const ClassMember* m = class_member(f, o);
  if (m && args.empty()) {
    // x.P = v: the field, or the Property Let / Set, takes the value without an argument pack.
    Variant value = is_set ? assigned_value(o, std::move(v), true) : class_let_value(std::move(v));
    auto* inst = static_cast<ClassInstance*>(o);
    if (m->field >= 0) {
      assign_value(inst->fields[static_cast<size_t>(m->field)], std::move(value), is_set);
      return;
    }
    Proc* proc = is_set ? m->set : m->let ? m->let : m->set;
    if (proc && proc->nparams() == 1) {
      f.engine->call_proc(proc, inst, &value, 1);
      return;
    }
    ArgPack p;
    p.push(std::move(value));
    o->invoke(resolve(o), is_set ? kSet : kLet, p.args());
    return;
  }
  DispId id = resolve(o);
  ArgPack p;
  p.build(f, args, false, 1);
  p.push(assigned_value(o, std::move(v), is_set));
  if (m) {
    // With index arguments: x.P(i) = v.
    Proc* proc = nullptr;
    if (m->field < 0) proc = is_set ? m->set : m->let ? m->let : m->set;
    if (proc && proc->nparams() == p.n) {
      f.engine->call_proc(proc, static_cast<ClassInstance*>(o), p.data, p.n);
      return;
    }
  }
  o->invoke(id, is_set ? kSet : kLet, p.args());
}

Variant IndexExpr::eval(Frame& f) {
  Variant base_value = base->eval(f);
  ArgPack p;
  p.build(f, args, base_value.is_object());
  return apply_args(base_value, p.args());
}

namespace {
// The variable or value a base expression of an assignment through indexes names.
bool locate_base(Expr* base, Frame& f, LockList& locks, Variant*& at, Variant& value) {
  if (auto* inner = dynamic_cast<IndexExpr*>(base)) return inner->locate(f, locks, at, value);
  at = base->ref(f, locks);
  return at != nullptr;
}
}  // namespace

bool IndexExpr::locate(Frame& f, LockList& locks, Variant*& at, Variant& value) {
  Variant* inner = nullptr;
  Variant inner_value;
  if (!locate_base(base, f, locks, inner, inner_value)) return false;
  Variant& holder = inner ? *inner : inner_value;
  ArgPack p;
  p.build(f, args, false);
  if (holder.deref().is_array()) {
    at = array_element(holder, p.args(), &locks);
    if (at) return true;
  }
  at = nullptr;
  value = apply_args(holder, p.args());
  return true;
}

void IndexExpr::assign(Frame& f, Variant v, bool is_set) {
  {
    LockList locks;
    Variant* inner = nullptr;
    Variant inner_value;
    if (locate_base(base, f, locks, inner, inner_value)) {
      ArgPack p;
      p.build(f, args, false);
      assign_indexed(inner ? *inner : inner_value, p.args(), std::move(v), is_set);
      return;
    }
  }
  Variant base_value = base->eval(f);
  if (!base_value.deref().is_object()) runtime_error(kErrTypeMismatch);
  ArgPack p;
  p.build(f, args, false);
  assign_indexed(base_value, p.args(), std::move(v), is_set);
}

Variant NewExpr::eval(Frame& f) {
  // The built-in class wins over a script class of the same name.
  if (key == u"regexp") {
#ifdef QZ_HAVE_REGEXP_OBJECT
    return Variant(new_regexp_object());
#else
    return Variant(create_object(u"VBScript.RegExp"));
#endif
  }
  Binding* b = f.engine->lookup(scope, key);
  if (b && b->kind == Binding::Class) return f.engine->new_instance(b->cls, b->keep);
  runtime_error_named(kErrClassNotDefined, name);
}

// ---- operators ----

Variant UnaryExpr::eval(Frame& f) {
  Variant v = operand->eval(f);
  if (op == Op::Plus && v.deref().is_object()) return Variant(v.deref());   // +o is o itself
  if (op == Op::Not && v.is(VT::Boolean)) return Variant(!v.as_bool());
  if (op == Op::Neg && v.is(VT::Long) && v.as_long() != INT32_MIN) return Variant(static_cast<int32_t>(-v.as_long()));
  return unary_op(op, v);
}

Variant BinaryExpr::eval(Frame& f) {
  // Locals and literals are read in place: integer arithmetic on them copies no Variant.
  if (const Variant* px = operand_in_place(a, f)) {
    if (const Variant* py = operand_in_place(b, f)) {
      if (small_int(px->type()) && small_int(py->type())) {
        if (Variant r; small_int_result(op, *px, *py, r)) return r;
      }
    }
  }
  Variant x = operand_value(a, f);
  Variant y = operand_value(b, f);
  return binary_values(op, x, y);
}

// Only this file calls it: inlined into test and eval, which saves a call per condition.
[[gnu::always_inline]] inline int CompareExpr::order(Frame& f) {
  if (const Variant* px = operand_in_place(a, f)) {
    // Values whose comparison runs no script code (objects' default members could).
    if (const Variant* py = operand_in_place(b, f); py && !px->is_object() && !py->is_object())
      return compare_order(*px, *py, literal_side);
  }
  Variant x = operand_value(a, f);
  Variant y = operand_value(b, f);
  return compare_order(x, y, literal_side);
}

Variant CompareExpr::eval(Frame& f) { return compare_result(op, order(f)); }

bool CompareExpr::test(Frame& f) { return order_passes(op, order(f)); }

bool Expr::test(Frame& f) { return truth(eval(f)); }

// ---- statements ----

Flow exec_block(Frame& f, const Block& b) {
  for (Stmt* s : b) {
    f.current = s;
    try {
      Flow r = s->exec(f);
      if (r != Flow::Normal) return r;
    } catch (ScriptError& e) {
      if (!f.engine->absorb(f, e)) throw;
    } catch (const std::bad_alloc&) {
      ScriptError e(kErrOutOfMemory, std::u16string(kRuntimeSource), std::u16string(error_text(kErrOutOfMemory)));
      if (!f.engine->absorb(f, e)) throw e;
    } catch (const std::length_error&) {
      ScriptError e(kErrOutOfMemory, std::u16string(kRuntimeSource), std::u16string(error_text(kErrOutOfMemory)));
      if (!f.engine->absorb(f, e)) throw e;
    }
  }
  return Flow::Normal;
}

Flow AssignStmt::exec(Frame& f) {
  if (append_head) return exec_append(f);
  if (plain_name && plain_name->kind == NameExpr::Local) {
    Variant v = operand_value(value, f);
    Variant& dst = f.locals[plain_name->slot].deref();
    // Anything that needs a default value, a copy of a fixed array or the lock check takes the
    // general path.
    if (stores_plainly(v, dst)) {
      dst = std::move(v);
      return Flow::Normal;
    }
    target->assign(f, std::move(v), false);
    return Flow::Normal;
  }
  target->assign(f, value->eval(f), is_set);
  return Flow::Normal;
}

// Evaluates as `value` would, operand by operand; when every operand was plain text and the
// variable still holds the string the chain started from, the tails go onto it in place.
Flow AssignStmt::exec_append(Frame& f) {
  Variant r = append_head->eval(f);
  bool fast = r.is_string();
  Variant small[4];
  std::vector<Variant> more;
  size_t n = 0;
  auto fold = [&] {
    for (size_t i = 0; i < n; ++i) r = binary_values(Op::Concat, r, i < 4 ? small[i] : more[i - 4]);
    n = 0;
  };
  for (Expr* e : append_tails) {
    Variant t = e->eval(f);
    if (fast && plain_text_operand(t)) {
      if (n < 4) small[n] = std::move(t);
      else more.push_back(std::move(t));
      ++n;
      continue;
    }
    if (fast) { fold(); fast = false; }
    r = binary_values(Op::Concat, r, t);
  }
  if (fast) {
    LockList none;
    Variant* var = append_head->ref(f, none);
    if (var && var->is_string() && var->str_view().data() == r.str_view().data() && !r.str_view().empty()) {
      // Each tail becomes its text where it is held (no list of its own per statement).
      size_t units = r.str_view().size();
      for (size_t i = 0; i < n; ++i) {
        Variant& t = i < 4 ? small[i] : more[i - 4];
        if (!t.is_string() && !small_int(t.type())) t = Variant(TextPiece(t).str());
        units += t.is_string() ? t.str_view().size() : 24;   // a whole number: at most its digits
      }
      if (units > (size_t{1} << 30)) runtime_error(kErrOutOfStringSpace);
      Str head = r.as_str();
      r = Variant();
      *var = Variant();   // head is now the only owner unless someone else holds the text
      try {
        for (size_t i = 0; i < n; ++i) {
          TextPiece tail(i < 4 ? small[i] : more[i - 4]);   // a whole number's digits in place
          head = Str::append(std::move(head), tail.bytes(), tail.byte_size());
        }
      } catch (...) {
        *var = Variant(std::move(head));
        throw;
      }
      *var = Variant(std::move(head));
      return Flow::Normal;
    }
    fold();
  }
  target->assign(f, std::move(r), false);
  return Flow::Normal;
}

Flow CallStmt::exec(Frame& f) {
  target->call(f);
  return Flow::Normal;
}

namespace {
// An error raised while a construct tests its condition. Under On Error Resume Next execution
// goes on with the next statement, which is the first one inside the construct: the caller
// then treats the test as passed. Otherwise the error leaves with the construct's position.
void condition_failed(Frame& f, Stmt* s, const Node* where, ScriptError& e) {
  f.current = s;
  // Reported at the statement, or at the line of an ElseIf, Case or Loop test.
  f.engine->note_position(f, e, where->line == s->line ? s : where);
  if (!f.engine->absorb(f, e)) throw;
}

// An error in a For or For Each header. Under On Error Resume Next the body runs once, as the
// statements that follow the header; then its Next finds a loop that never started and
// raises `at_next` (taken by Resume Next in turn).
Flow loop_header_failed(Frame& f, Stmt* s, const Block& body, ScriptError& e, int32_t at_next) {
  condition_failed(f, s, s, e);
  Flow r = exec_block(f, body);
  if (r == Flow::ExitFor) return Flow::Normal;
  if (r != Flow::Normal) return r;
  f.current = s;
  runtime_error(at_next);
}
}  // namespace

Flow IfStmt::exec(Frame& f) {
  for (auto& arm : arms) {
    bool pass;
    try {
      pass = arm.first->test(f);
    } catch (ScriptError& e) {
      condition_failed(f, this, &arm_at[static_cast<size_t>(&arm - arms.data())], e);
      pass = true;
    }
    if (pass) return exec_block(f, arm.second);
  }
  return exec_block(f, otherwise);
}

Flow SelectStmt::exec(Frame& f) {
  Variant v;
  try {
    v = test->eval(f);
    if (v.is_object()) v = value_of(v);
  } catch (ScriptError& e) {
    condition_failed(f, this, test, e);
    return Flow::Normal;   // no Case runs, not even Case Else
  }
  for (auto& c : cases) {
    for (Expr* e : c.values) {
      bool match;
      try {
        Variant x = e->eval(f);
        match = compare_values(v, x, e->is_literal() ? 2 : 0) == 0;
      } catch (ScriptError& err) {
        condition_failed(f, this, e, err);
        match = true;
      }
      if (match) return exec_block(f, c.body);
    }
  }
  return exec_block(f, otherwise);
}

namespace {
// For Each's enumerator over an object (the caller handles arrays).
Ref<Enumerator> enumerator_of(const Variant& c) {
  if (!c.is_object()) runtime_error(kErrNotCollection);
  Object* o = c.as_object();
  if (!o) runtime_error(kErrNotObjectVar);
  Ref<Enumerator> en;
  try {
    en = o->enumerate();
  } catch (const ScriptError& e) {
    if (e.number == kErrNoSuchMember) runtime_error(kErrNotCollection);
    throw;
  }
  if (!en) runtime_error(kErrNotCollection);
  return en;
}
}  // namespace

void ForStmt::begin(Frame& f, ForState& st) {
  Variant start;
  start = let_value(from->eval(f));
  st.end = let_value(to->eval(f));
  st.inc = step ? let_value(step->eval(f)) : Variant(static_cast<int16_t>(1));
  for (const Variant* v : {&start, &st.end, &st.inc}) {
    if (v->is_null()) runtime_error(kErrInvalidNull);
    if (v->is_string()) { double d; if (!parse_number(v->str_view(), d)) runtime_error(kErrTypeMismatch); }
    else if (v->is_array() || v->is(VT::Error) || v->is_object()) runtime_error(kErrTypeMismatch);
  }
  if (start.is_string()) start = Variant(to_double(start));
  if (st.end.is_string()) st.end = Variant(to_double(st.end));
  if (st.inc.is_string()) st.inc = Variant(to_double(st.inc));
  st.ints = small_int(start.type()) && small_int(st.end.type()) && small_int(st.inc.type());
  st.both = start.is(VT::Integer) && st.inc.is(VT::Integer);
  var->assign(f, st.ints ? int_or_wider(small_value(start), st.both) : start, false);
  st.up = compare_values(st.inc, Variant(static_cast<int16_t>(0)), 0) >= 0;
  if (st.ints) {
    st.i = small_value(start);
    st.e = small_value(st.end);
    st.s = small_value(st.inc);
  }
}

bool ForStmt::more(Frame& f, ForState& st) {
  if (st.ints) return st.counting();
  Variant cur = var->eval(f);
  int c = compare_values(cur, st.end, 0);
  if (c == 2) runtime_error(kErrInvalidNull);
  return st.up ? c <= 0 : c >= 0;
}

void ForStmt::advance(Frame& f, ForState& st) {
  if (st.ints) {
    // Integer counters: no boxing per round; the variable is found again each time (the body
    // may create or replace it), and a body that stored another kind of value in it turns the
    // loop into the general one.
    LockList none;
    auto* name = static_cast<NameExpr*>(var);
    Variant* cur = plain_variable(name, f);
    cur = cur ? &cur->deref() : name->ref(f, none);
    if (cur && small_int(cur->type())) {
      step_counter(st, *cur);
      return;
    }
    st.ints = false;
  }
  var->assign(f, binary_op(Op::Add, var->eval(f), st.inc), false);
}

Flow ForStmt::exec(Frame& f) {
  ForState st;
  try {
    begin(f, st);
  } catch (ScriptError& e) {
    return loop_header_failed(f, this, body, e, kErrForNotInitialized);
  }
  // The test and the step belong to the For statement (the body moved the current one on).
  while (more(f, st)) {
    Flow r = exec_block(f, body);
    if (r == Flow::ExitFor) return Flow::Normal;
    if (r != Flow::Normal) return r;
    f.engine->tick();
    f.current = this;
    advance(f, st);
  }
  return Flow::Normal;
}

Flow ForEachStmt::exec(Frame& f) {
  Variant coll;
  Ref<Enumerator> en;
  try {
    coll = collection->eval(f);
    Variant& c = coll.deref();
    if (!c.is_array()) en = enumerator_of(c);
  } catch (ScriptError& e) {
    return loop_header_failed(f, this, body, e, kErrNotCollection);
  }
  Variant& c = coll.deref();
  if (c.is_array()) {
    ArrayRep* rep = c.as_array();
    size_t total = rep->elem == VT::Byte ? rep->bytes.size() : rep->items.size();
    for (size_t i = 0; i < total; ++i) {
      Variant item = rep->elem == VT::Byte ? Variant(rep->bytes[i]) : rep->items[i];
      bool obj = item.is_object();
      var->assign(f, std::move(item), obj);
      Flow r = exec_block(f, body);
      if (r == Flow::ExitFor) return Flow::Normal;
      if (r != Flow::Normal) return r;
      f.engine->tick();
    }
    return Flow::Normal;
  }
  Variant item;
  while (en->next(item)) {
    bool obj = item.is_object();
    var->assign(f, std::move(item), obj);
    item = Variant();
    Flow r = exec_block(f, body);
    if (r == Flow::ExitFor) return Flow::Normal;
    if (r != Flow::Normal) return r;
    f.engine->tick();
  }
  return Flow::Normal;
}

namespace {
// The loop's test: true when it ends the loop. A failing test under Resume Next counts as
// `on_error` (go on into the body at the top; leave the loop at the bottom).
[[gnu::always_inline]] inline bool loop_ends(Frame& f, Stmt* s, Expr* cond, bool until, bool on_error) {
  try {
    return cond->test(f) == until;
  } catch (ScriptError& e) {
    condition_failed(f, s, cond, e);
    return on_error;
  }
}
}  // namespace

Flow DoStmt::exec(Frame& f) {
  while (true) {
    if (cond && test_first && loop_ends(f, this, cond, until, false)) break;
    Flow r = exec_block(f, body);
    if (r == Flow::ExitDo) return Flow::Normal;
    if (r != Flow::Normal) return r;
    f.engine->tick();
    if (cond && !test_first && loop_ends(f, this, cond, until, true)) break;
  }
  return Flow::Normal;
}

Flow WithStmt::exec(Frame& f) {
  // Under On Error Resume Next a failing header still runs the body, with no object.
  try {
    Variant v = object->eval(f);
    if (!v.deref().is_object()) runtime_error(kErrObjectRequired);
    f.locals[slot] = std::move(v);
  } catch (ScriptError& e) {
    f.locals[slot] = Variant();
    condition_failed(f, this, this, e);
  }
  struct Clear {
    Variant& v;
    ~Clear() { v = Variant(); }
  } clear{f.locals[slot]};
  return exec_block(f, body);
}

Flow ReDimStmt::exec(Frame& f) {
  for (auto& item : items) {
    LockList locks;
    Variant* target = item.target->ref(f, locks);
    if (!target) runtime_error(kErrTypeMismatch);
    // A fixed-size array refuses before its new bounds are looked at.
    if (const Variant& held = target->deref(); held.is_array() && (held.as_array()->fixed || held.as_array()->locks))
      runtime_error(kErrFixedArray);
    std::vector<ArrayDim> dims;
    size_t total = 1;
    for (Expr* e : item.bounds) {
      int32_t ub = to_long(let_value(e->eval(f)));
      if (ub < -1) runtime_error(kErrSubscript);
      dims.push_back(ArrayDim{0, ub + 1});
      total *= static_cast<size_t>(ub + 1);
      if (total > f.engine->max_array_elements) runtime_error(kErrOutOfMemory);
    }
    Variant& cur = target->deref();
    if (cur.is_array()) {
      ArrayRep* rep = cur.as_array();
      if (rep->fixed || rep->locks) runtime_error(kErrFixedArray);
    }
    if (preserve && cur.is_array() && !cur.as_array()->dims.empty()) {
      ArrayRep* old = cur.as_array();
      if (old->dims.size() != dims.size()) runtime_error(kErrSubscript);
      for (size_t d = 0; d + 1 < dims.size(); ++d)
        if (old->dims[d].count != dims[d].count) runtime_error(kErrSubscript);
      if (old->refs == 1) {
        // The only owner: only the last bound changes, and it is the slowest-varying one, so
        // the kept elements are a prefix. The vector grows geometrically, which keeps a loop
        // of ReDim Preserve a(i) linear.
        if (old->elem == VT::Byte) {
          old->bytes.resize(total);
          if (total < old->bytes.capacity() / 4) old->bytes.shrink_to_fit();
        } else {
          old->items.resize(total);
          if (total < old->items.capacity() / 4) old->items.shrink_to_fit();
        }
        old->dims = std::move(dims);
        continue;
      }
      Variant grown = Variant::new_array(dims, old->elem);
      ArrayRep* rep = grown.as_array();
      size_t keep = std::min(total, old->elem == VT::Byte ? old->bytes.size() : old->items.size());
      if (old->elem == VT::Byte) std::memcpy(rep->bytes.data(), old->bytes.data(), keep);
      else for (size_t i = 0; i < keep; ++i) rep->items[i] = old->items[i];
      cur = std::move(grown);
    } else {
      cur = Variant::new_array(dims);
    }
  }
  return Flow::Normal;
}

Flow DimArrayStmt::exec(Frame& f) {
  for (const Item& item : items) {
    LockList locks;
    Variant* v = item.target->ref(f, locks);
    if (!v) runtime_error(kErrTypeMismatch);
    if (!v->is_array()) *v = f.engine->new_dim_array(item.dims);
  }
  return Flow::Normal;
}

Flow EraseStmt::exec(Frame& f) {
  for (Expr* t : targets) {
    LockList locks;
    Variant* target = t->ref(f, locks);
    if (!target) {
      t->eval(f);   // an undeclared name under Option Explicit reports that first
      runtime_error(kErrTypeMismatch);
    }
    Variant& cur = target->deref();
    if (!cur.is_array()) runtime_error(kErrTypeMismatch);
    ArrayRep* rep = cur.as_array();
    if (rep->locks) runtime_error(kErrFixedArray);
    if (rep->fixed) {
      ArrayRep* m = cur.array_mut();
      for (auto& v : m->items) v = Variant();
      std::fill(m->bytes.begin(), m->bytes.end(), 0);
    } else {
      cur = Variant::new_array({});
    }
  }
  return Flow::Normal;
}

Flow OnErrorStmt::exec(Frame& f) {
  f.resume_next = resume_next;
  f.engine->err().clear();
  return Flow::Normal;
}

}  // namespace qz::vbs
