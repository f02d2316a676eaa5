#include "script/class_instance.h"

#include "com/convert.h"
#include "script/deferred_release.h"
#include "script/diagnostics.h"
#include "script/engine.h"

namespace qz::vbs {

ClassInstance::ClassInstance(ClassDef* cls, std::shared_ptr<EngineLink> link, std::shared_ptr<Unit> unit,
                             std::shared_ptr<ModuleScope> module)
    : cls_(cls), link_(std::move(link)), unit_(std::move(unit)), module_(std::move(module)) {
  fields.resize(static_cast<size_t>(cls->nfields));
  for (const FixedArray& fa : cls->arrays) {
    Variant v = Variant::new_array(fa.dims);
    if (!fa.dims.empty()) v.as_array()->fixed = true;
    fields[static_cast<size_t>(fa.slot)] = std::move(v);
  }
  if (ScriptEngineImpl* e = engine()) e->track(this);
}

ClassInstance::~ClassInstance() {
  if (ScriptEngineImpl* e = engine()) e->untrack(this);
}

ScriptEngineImpl* ClassInstance::engine() const { return link_ ? link_->engine : nullptr; }

void ClassInstance::clear_fields() {
  // Emptied in place: a running call may hold a field by reference. An array with an element
  // passed by reference stays until that call is over.
  std::vector<Variant> old;
  old.reserve(fields.size());
  for (Variant& v : fields) {
    if (v.is_array() && v.as_array()->locks) continue;
    old.push_back(std::move(v));
  }
  old.clear();
}

DispId ClassInstance::find_member(std::u16string_view name) {
  auto it = cls_->index.find(lower(name));
  if (it == cls_->index.end()) return kDispUnknown;
  return it->second + 1;
}

std::u16string ClassInstance::member_name(DispId id) const {
  if (id == kDispValue) id = cls_->default_member + 1;
  if (id < 1 || static_cast<size_t>(id) > cls_->members.size()) return {};
  return cls_->members[static_cast<size_t>(id - 1)].name;
}

Variant ClassInstance::invoke(DispId id, CallKind kind, Args args) {
  ScriptEngineImpl* e = engine();
  if (!e) runtime_error(kErrIllegalCall);
  if (id == kDispValue) {
    if (cls_->default_member < 0) runtime_error(kErrNoSuchMember);
    id = cls_->default_member + 1;
  }
  if (id < 1 || static_cast<size_t>(id) > cls_->members.size()) runtime_error(kErrNoSuchMember);
  const ClassMember& m = cls_->members[static_cast<size_t>(id - 1)];
  if (!m.is_public) {
    Frame* f = e->current();
    if (!f || f->me != this) runtime_error_named(kErrNoSuchMember, m.name);
  }
  if (m.field >= 0) {
    Variant& v = fields[static_cast<size_t>(m.field)];
    if (kind & (kMethod | kGet)) {
      if (args.empty()) return v;
      return apply_args(v, args);
    }
    if (args.size() == 1) {
      assign_value(v, Variant(args.value()), (kind & kSet) != 0);
      return Variant();
    }
    assign_indexed(v, args.indices(), Variant(args.value()), (kind & kSet) != 0);
    return Variant();
  }
  Proc* p = nullptr;
  if (kind & (kMethod | kGet)) p = m.get ? m.get : m.method;
  else if (kind & kLet) p = m.let ? m.let : m.set;
  else if (kind & kSet) p = m.set;   // Set needs a Property Set
  if (!p && (kind & (kLet | kSet)) && args.size() > 1 && m.get && m.get->nparams() == 0) {
    // x.Items("k") = v with Items a Property Get without parameters: the assignment goes to
    // the default member of the object it returns.
    Variant result = e->call_proc(m.get, this, nullptr, 0);
    assign_indexed(result, args.indices(), Variant(args.value()), (kind & kSet) != 0);
    return Variant();
  }
  if (!p) {
    // A property read with arguments where only Let exists, or a Let on a method.
    runtime_error_named(kErrNoSuchMember, m.name);
  }
  if ((kind & kGet) && !args.empty() && p->nparams() == 0 && (p == m.get || p->has_result())) {
    // A property or function without parameters: the arguments go to what it returns (the
    // default member of an object, the elements of an array).
    Variant result = e->call_proc(p, this, nullptr, 0);
    if (!result.is_object() && !result.is_array()) runtime_error_named(kErrArgCount, m.name);
    return apply_args(result, args);
  }
  return e->call_proc(p, this, args.data(), args.size());
}

void ClassInstance::destroy() {
  release_flat(this, [](Object* o) { static_cast<ClassInstance*>(o)->finish(); });
}

void ClassInstance::finish() {
  ScriptEngineImpl* e = engine();
  if (cls_->terminate && e && e->terminating_allowed()) {
    refs_ = 1;  // alive while Class_Terminate runs
    try {
      ScriptEngineImpl::EntryGuard entry(*e, false);
      e->call_proc(cls_->terminate, this, nullptr, 0);
    } catch (...) {
      // Errors in Class_Terminate do not reach whoever dropped the last reference.
    }
    if (--refs_ != 0) return;  // the object was stored somewhere again
  }
  delete this;
}

}  // namespace qz::vbs
