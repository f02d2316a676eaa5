#include "script/script_control.h"

#include <algorithm>

#include "com/convert.h"
#include "com/progid.h"
#include "script/diagnostics.h"
#include "script/engine.h"
#include "script/script_control_objects.h"
#if __has_include("script/regexp/regexp_object.h")
#include "script/regexp/regexp_object.h"
#define QZ_HAVE_REGEXP_PROGID 1
#endif
#if __has_include("script/objects/dictionary.h")
#include "script/objects/dictionary.h"
#endif

namespace qz {

using namespace vbs;

namespace {

void register_script_progids() {
  static bool done = false;
  if (done) return;
  done = true;
  register_progid(u"MSScriptControl.ScriptControl", [] { return Ref<Object>(new ScriptControl()); });
#ifdef QZ_HAVE_REGEXP_PROGID
  register_regexp_progid();
#endif
#if __has_include("script/objects/dictionary.h")
  register_dictionary_progid();
#endif
}

}  // namespace

// ---- ScriptModule ----

ScriptModule::ScriptModule(ScriptControl* owner, std::u16string name, int index)
    : owner_(owner), name_(std::move(name)), index_(index) {}

namespace {
// Errors that leave the control to a calling script carry no position: the caller's statement
// gives it, while the Error object keeps the position inside the control's code.
template <class F>
Variant for_script(F fn) {
  try {
    return fn();
  } catch (ScriptError& e) {
    e.line = 0;
    e.column = 0;
    e.compile = false;
    throw;
  }
}

ModuleScope* scope_of(ScriptControl* owner, int index) {
  ModuleScope* m = owner ? owner->impl().module_scope(static_cast<size_t>(index - 1)) : nullptr;
  if (!m) runtime_error(kErrIllegalCall);
  return m;
}
}  // namespace

void ScriptModule::add_code(std::u16string_view code) {
  ModuleScope* m = scope_of(owner_, index_);
  try {
    owner_->impl_->add_code(m, code);
  } catch (const ScriptError& e) {
    owner_->report_error(e);
    throw;
  }
}

Variant ScriptModule::eval(std::u16string_view expression) {
  ModuleScope* m = scope_of(owner_, index_);
  try {
    return owner_->impl_->eval(m, expression);
  } catch (const ScriptError& e) {
    owner_->report_error(e);
    throw;
  }
}

void ScriptModule::execute_statement(std::u16string_view statement) {
  ModuleScope* m = scope_of(owner_, index_);
  try {
    owner_->impl_->execute(m, statement);
  } catch (const ScriptError& e) {
    owner_->report_error(e);
    throw;
  }
}

bool ScriptModule::has_procedure(std::u16string_view name) const {
  ModuleScope* m = owner_ ? owner_->impl_->module_scope(static_cast<size_t>(index_ - 1)) : nullptr;
  return m && owner_->impl_->find_procedure(m, name) != nullptr;
}

Variant ScriptModule::run(std::u16string_view name, Args args) {
  ModuleScope* m = scope_of(owner_, index_);
  if (!owner_->impl_->find_procedure(m, name)) runtime_error_named(kErrProcNotDefined, name);
  try {
    return owner_->impl_->run(m, name, args);
  } catch (const ScriptError& e) {
    owner_->report_error(e);
    throw;
  }
}

Ref<Object> ScriptModule::code_object() {
  return Ref<Object>(new CodeObject(owner_->impl_->link(), owner_->impl_->module_keep(scope_of(owner_, index_))));
}

std::vector<ScriptModule::ProcedureInfo> ScriptModule::procedures() const {
  std::vector<std::pair<uint32_t, ProcedureInfo>> found;
  ModuleScope* m = owner_ ? owner_->impl_->module_scope(static_cast<size_t>(index_ - 1)) : nullptr;
  if (!m) return {};
  for (auto& [key, b] : m->names) {
    if (b->kind != Binding::Procedure) continue;
    found.push_back({b->seq, ProcedureInfo{b->proc->name, static_cast<int>(b->proc->nparams()), b->proc->has_result()}});
  }
  std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.first < b.first; });
  std::vector<ProcedureInfo> out;
  for (auto& f : found) out.push_back(std::move(f.second));
  return out;
}

void ScriptModule::define(Members<ScriptModule>& m) {
  m.getter(u"Name", [](ScriptModule& s, Args) { return Variant(s.name_); });
  m.method(u"AddCode", [](ScriptModule& s, Args a) {
    return for_script([&] { s.add_code(to_u16(a[0])); return Variant(); });
  });
  m.method(u"Eval", [](ScriptModule& s, Args a) { return for_script([&] { return s.eval(to_u16(a[0])); }); });
  m.method(u"ExecuteStatement", [](ScriptModule& s, Args a) {
    return for_script([&] { s.execute_statement(to_u16(a[0])); return Variant(); });
  });
  m.method(u"Run", [](ScriptModule& s, Args a) {
    if (a.size() < 1) raise(kErrArgCount);
    return for_script([&] { return s.run(to_u16(a[0]), Args(a.data() + 1, a.size() - 1)); });
  });
  m.getter(u"CodeObject", [](ScriptModule& s, Args) { return Variant(s.code_object()); });
  m.getter(u"Procedures", [](ScriptModule& s, Args) { return Variant(new_procedures_object(s.procedures())); });
}

// ---- ScriptControl ----

ScriptControl::ScriptControl() {
  register_script_progids();
  impl_ = std::make_unique<ScriptEngineImpl>(this);
  modules_.push_back(Ref<ScriptModule>(new ScriptModule(this, u"Global", 1)));
}

ScriptControl::~ScriptControl() {
  impl_->reset();
  for (auto& m : modules_) m->owner_ = nullptr;
  impl_.reset();
}

void ScriptControl::report_error(const ScriptError& e) {
  error_ = ScriptErrorInfo();
  error_.number = e.number;
  error_.source = e.source.empty() ? std::u16string(e.compile ? kCompileSource : kRuntimeSource) : e.source;
  error_.description = e.description;
  error_.line = e.line;
  error_.column = e.column;
  error_.text = e.line > 0 ? impl_->last_error_text() : std::u16string();
  error_.unit = e.line > 0 ? impl_->last_error_unit() : 0;
  if (on_error) on_error(error_);
}

void ScriptControl::set_interrupt_request(const volatile sig_atomic_t* flag) {
  impl_->set_interrupt_request(flag);
}

void ScriptControl::reset() {
  impl_->reset();
  for (size_t i = 1; i < modules_.size(); ++i) modules_[i]->owner_ = nullptr;
  modules_.resize(1);
  error_ = ScriptErrorInfo();
}

void ScriptControl::add_object(std::u16string_view name, Ref<Object> object, bool add_members) {
  if (object.get() == this) added_to_itself_ = true;
  impl_->add_object(name, std::move(object), add_members);
}

uint32_t ScriptControl::Release() {
  uint32_t r = NativeObject<ScriptControl>::Release();
  if (r == 0 || !added_to_itself_ || dropping_itself_ || r != impl_->added_references(this)) return r;
  // Nothing outside holds the control any more. The last of these references deletes it, so
  // nothing here touches a member after `taken` goes.
  dropping_itself_ = true;
  std::vector<Ref<Object>> taken = impl_->take_added(this);
  taken.clear();
  return 0;
}

void ScriptControl::add_code(std::u16string_view code) { modules_[0]->add_code(code); }
Variant ScriptControl::eval(std::u16string_view expression) { return modules_[0]->eval(expression); }
void ScriptControl::execute_statement(std::u16string_view statement) { modules_[0]->execute_statement(statement); }
Variant ScriptControl::eval_quietly(std::u16string_view expression) { return impl_->eval(scope_of(this, 1), expression); }
Variant ScriptControl::run(std::u16string_view name, Args args) { return modules_[0]->run(name, args); }

ScriptModule* ScriptControl::add_module(std::u16string_view name) {
  if (ScriptModule* existing = module(name)) {
    (void)existing;
    raise(kErrKeyExists);
  }
  impl_->add_module_scope(name);
  modules_.push_back(Ref<ScriptModule>(new ScriptModule(this, std::u16string(name), static_cast<int>(modules_.size() + 1))));
  return modules_.back().get();
}

size_t ScriptControl::module_count() const { return modules_.size(); }

uint64_t ScriptControl::next_unit_id() const { return impl_->next_unit_id(); }

void ScriptControl::share_code(std::vector<std::u16string> texts) { impl_->share_code(std::move(texts)); }

uint64_t ScriptControl::shared_code_compilations() const { return impl_->shared_code_compilations(); }

ScriptModule* ScriptControl::module(size_t index) {
  if (index < 1 || index > modules_.size()) return nullptr;
  return modules_[index - 1].get();
}

ScriptModule* ScriptControl::module(std::u16string_view name) {
  for (auto& m : modules_)
    if (iequals(m->name(), name)) return m.get();
  return nullptr;
}

void ScriptControl::define(Members<ScriptControl>& m) {
  m.property(u"Language", [](ScriptControl& c, Args) { return Variant(c.language()); },
             [](ScriptControl&, Args, const Variant& v) {
               if (!iequals(to_u16(v), u"VBScript")) raise(kErrIllegalCall);
             });
  m.property(u"AllowUI", [](ScriptControl& c, Args) { return Variant(c.allow_ui()); },
             [](ScriptControl& c, Args, const Variant& v) { c.set_allow_ui(to_bool(v)); });
  m.property(u"Timeout", [](ScriptControl& c, Args) { return Variant(c.timeout()); },
             [](ScriptControl& c, Args, const Variant& v) { c.set_timeout(to_long(v)); });
  m.property(u"UseSafeSubset", [](ScriptControl& c, Args) { return Variant(c.use_safe_subset()); },
             [](ScriptControl& c, Args, const Variant& v) { c.set_use_safe_subset(to_bool(v)); });
  m.getter(u"State", [](ScriptControl&, Args) { return Variant(static_cast<int32_t>(1)); });
  m.method(u"AddCode", [](ScriptControl& c, Args a) {
    return for_script([&] { c.add_code(to_u16(a[0])); return Variant(); });
  });
  m.method(u"AddObject", [](ScriptControl& c, Args a) {
    if (a.size() < 2) raise(kErrArgCount);
    const Variant& o = a[1];
    if (!o.is_object() || !o.as_object()) raise(kErrObjectRequired);
    c.add_object(to_u16(a[0]), Ref<Object>(o.as_object()), a.has(2) && to_bool(a[2]));
    return Variant();
  });
  m.method(u"Eval", [](ScriptControl& c, Args a) { return for_script([&] { return c.eval(to_u16(a[0])); }); });
  m.method(u"ExecuteStatement", [](ScriptControl& c, Args a) {
    return for_script([&] { c.execute_statement(to_u16(a[0])); return Variant(); });
  });
  m.method(u"Run", [](ScriptControl& c, Args a) {
    if (a.size() < 1) raise(kErrArgCount);
    return for_script([&] { return c.run(to_u16(a[0]), Args(a.data() + 1, a.size() - 1)); });
  });
  m.method(u"Reset", [](ScriptControl& c, Args) {
    c.reset();
    return Variant();
  });
  m.getter(u"Modules", [](ScriptControl& c, Args) { return Variant(new_modules_object(&c)); });
  m.getter(u"Error", [](ScriptControl& c, Args) { return Variant(new_error_info_object(&c)); });
  m.getter(u"CodeObject", [](ScriptControl& c, Args) { return Variant(c.module(1)->code_object()); });
  m.getter(u"Procedures", [](ScriptControl& c, Args) { return Variant(new_procedures_object(c.module(1)->procedures())); });
}

}  // namespace qz
