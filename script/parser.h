// The parser: tokens to the resolved tree of ast.h. Declarations at module level become
// ModuleDecls that the engine applies when the unit is loaded; names inside procedures are
// resolved to local slots or class members at the end of the unit.
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "script/ast.h"

namespace qz::vbs {

enum class CompileMode { Program, Expression };

struct CompileContext {
  ModuleScope* module = nullptr;
  CompileMode mode = CompileMode::Program;
  // Execute/Eval inside a procedure: its names are visible as outer locals.
  Proc* outer_proc = nullptr;
  ClassDef* outer_class = nullptr;
  bool option_explicit = false;
  // Module-level names that code compiled before this one in the same text declared (true:
  // a procedure, which a later one may replace; any other name clashes).
  const std::unordered_map<std::u16string, bool>* predeclared = nullptr;
};

// The module-level names a unit declares, as `predeclared` takes them.
std::unordered_map<std::u16string, bool> declared_names(const Unit& u);

// Raises a compilation ScriptError with line and column on bad source.
std::shared_ptr<Unit> compile(std::u16string_view source, const CompileContext& ctx);

}  // namespace qz::vbs
