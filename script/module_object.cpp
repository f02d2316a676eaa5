#include "script/module_object.h"

#include "com/convert.h"
#include "script/diagnostics.h"
#include "script/engine.h"

namespace qz::vbs {

namespace {
// The procedure the module has under `key` now (a later definition may have replaced it).
Binding* procedure_binding(ScriptEngineImpl& e, ModuleScope* m, const std::u16string& key) {
  Binding* b = e.lookup(m, key);
  return b && b->kind == Binding::Procedure ? b : nullptr;
}
}  // namespace

DispId ModuleObject::find_member(std::u16string_view name) {
  ScriptEngineImpl* e = link_->engine;
  std::u16string key = lower(name);
  if (!e || !procedure_binding(*e, module_.get(), key)) return kDispUnknown;
  for (size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == key) return static_cast<DispId>(i + 1);
  names_.push_back(std::move(key));
  return static_cast<DispId>(names_.size());
}

Variant ModuleObject::invoke(DispId id, CallKind kind, Args args) {
  if (id < 1 || static_cast<size_t>(id) > names_.size() || !(kind & (kMethod | kGet))) runtime_error(kErrNoSuchMember);
  ScriptEngineImpl* e = link_->engine;
  if (!e) runtime_error(kErrIllegalCall);
  Binding* b = procedure_binding(*e, module_.get(), names_[static_cast<size_t>(id - 1)]);
  if (!b) runtime_error(kErrNoSuchMember);
  std::shared_ptr<Unit> keep = b->keep;
  ScriptEngineImpl::EntryGuard entry(*e, false);
  return e->call_proc(b->proc, nullptr, args.data(), args.size());
}

std::u16string ModuleObject::member_name(DispId id) const {
  return id >= 1 && static_cast<size_t>(id) <= names_.size() ? names_[static_cast<size_t>(id - 1)] : std::u16string();
}

}  // namespace qz::vbs
