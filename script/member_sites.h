// A member site (obj.Name) on an instance of a script class: the class member its cache holds,
// for the tree's member nodes and the compiled member instructions alike.
#pragma once
#include "script/ast.h"
#include "script/bound_names.h"
#include "script/class_instance.h"
#include "script/engine.h"

namespace qz::vbs {

inline const ClassMember* MemberExpr::class_member(Frame& f, Object* o) {
  ClassInstance* inst = as_class_instance(o);
  if (!inst) return nullptr;
  // An instance made by another engine runs its code there.
  if (inst->link() != f.engine->link().get()) return nullptr;
  const ClassDef* cls = inst->cls();
  const ClassMember* m = cls->serial == member_class ? member : find_class_member(cls);
  if (m && !m->is_public) {
    // Private members answer only code running in the instance itself.
    Frame* running = f.engine->current();
    if (!running || running->me != inst) return nullptr;
  }
  return m;
}

// The script class instance a site's object holds when the object is a variable known without
// a lookup (a local, a field, a bound module variable): found without running any code. Null
// for anything else, which the member node handles whole.
[[gnu::always_inline]] inline ClassInstance* site_instance(MemberExpr* site, Frame& f) {
  Expr* object = site->object;
  if (!object) return nullptr;
  const Variant* var = object->local_slot >= 0 ? &f.locals[object->local_slot]
                       : object->may_ref       ? plain_variable(static_cast<NameExpr*>(object), f, true)
                                               : nullptr;
  if (!var) return nullptr;
  const Variant& d = var->deref();
  if (!d.is_object() || !d.as_object()) return nullptr;
  return as_class_instance(d.as_object());
}

}  // namespace qz::vbs
