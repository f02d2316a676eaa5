// Reading what a name was bound to, without the general lookup, while that binding holds.
#pragma once
#include "script/ast.h"
#include "script/engine.h"

namespace qz::vbs {

// The module variable (or, for reading, constant) a plain name was bound to, while that binding
// holds and no local made by Execute hides it; null otherwise.
[[gnu::always_inline]] inline Variant* bound_value(NameExpr* n, Frame& f, bool constants_too) {
  Binding* b = n->cached;
  if (!b || n->cached_gen != f.engine->generation()) return nullptr;
  if (b->kind != Binding::Var && !(constants_too && b->kind == Binding::Const)) return nullptr;
  if (n->dynamic_local(f)) return nullptr;
  return &b->value;
}

// The variable a plain name (no parentheses) stands for when that is known without a lookup:
// a local, a field, or a bound module variable; null otherwise.
[[gnu::always_inline]] inline Variant* plain_variable(NameExpr* n, Frame& f) {
  if (n->has_parens || !n->args.empty()) return nullptr;
  switch (n->kind) {
    case NameExpr::Local: return &f.locals[n->slot];
    case NameExpr::Field: return &f.fields[n->slot];
    case NameExpr::Global: return bound_value(n, f, false);
    default: return nullptr;
  }
}

}  // namespace qz::vbs
