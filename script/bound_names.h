// Reading what a name was bound to, without the general lookup, while that binding holds.
#pragma once
#include "script/ast.h"
#include "script/engine.h"

namespace qz::vbs {

// What a Global name was bound to, while that binding holds (the lookup generation is the one
// it was found in) and no local made by Execute hides it; null when the name must be looked up.
[[gnu::always_inline]] inline Binding* bound_binding(NameExpr* n, Frame& f) {
  Binding* b = n->cached;
  if (!b || n->cached_gen != f.engine->generation() || n->dynamic_local(f)) return nullptr;
  return b;
}

// The module variable (or, for reading, constant) a name was bound to; null otherwise.
[[gnu::always_inline]] inline Variant* bound_value(NameExpr* n, Frame& f, bool constants_too) {
  Binding* b = bound_binding(n, f);
  if (!b || (b->kind != Binding::Var && !(constants_too && b->kind == Binding::Const))) return nullptr;
  return &b->value;
}

// The variable a name stands for when that is known without a lookup: a local, a field, or a
// bound module variable (or, for reading, constant); null otherwise. (Its arguments, if any, are
// the caller's business.)
[[gnu::always_inline]] inline Variant* known_variable(NameExpr* n, Frame& f, bool constants_too = false) {
  switch (n->kind) {
    case NameExpr::Local: return &f.locals[n->slot];
    case NameExpr::Field: return &f.fields[n->slot];
    case NameExpr::Global: return bound_value(n, f, constants_too);
    default: return nullptr;
  }
}

// The same for a plain name (no parentheses, no arguments).
[[gnu::always_inline]] inline Variant* plain_variable(NameExpr* n, Frame& f, bool constants_too = false) {
  if (n->has_parens || !n->args.empty()) return nullptr;
  return known_variable(n, f, constants_too);
}

}  // namespace qz::vbs
