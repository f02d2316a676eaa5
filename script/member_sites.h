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

// The variable a site's object names when it is one known without a lookup (a local, a field, a
// bound module variable or constant): read without running any code. Null for anything else.
[[gnu::always_inline]] inline const Variant* object_variable(Expr* object, Frame& f) {
  if (object->local_slot >= 0) return &f.locals[object->local_slot];
  if (object->may_ref) return plain_variable(static_cast<NameExpr*>(object), f, true);   // only names may_ref
  return nullptr;
}

// The script class instance such a variable holds. Null for anything else, which the member
// node handles whole.
[[gnu::always_inline]] inline ClassInstance* site_instance(MemberExpr* site, Frame& f) {
  if (!site->object) return nullptr;
  const Variant* var = object_variable(site->object, f);
  if (!var) return nullptr;
  const Variant& d = var->deref();
  if (!d.is_object() || !d.as_object()) return nullptr;
  return as_class_instance(d.as_object());
}

}  // namespace qz::vbs
