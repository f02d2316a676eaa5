#include "script/proc_ref.h"

#include "script/diagnostics.h"
#include "script/engine.h"

namespace qz::vbs {

Variant ProcRef::invoke(DispId id, CallKind kind, Args args) {
  if (id != kDispValue || !(kind & (kMethod | kGet))) runtime_error(kErrNoSuchMember);
  ScriptEngineImpl* e = link_->engine;
  if (!e) runtime_error(kErrIllegalCall);
  ScriptEngineImpl::EntryGuard entry(*e, false);
  return e->call_proc(proc_, nullptr, args.data(), args.size());
}

}  // namespace qz::vbs
