#include "script/script_control_objects.h"

#include "com/convert.h"
#include "script/class_instance.h"
#include "script/diagnostics.h"
#include "script/engine.h"

namespace qz {

using namespace vbs;

// ---- CodeObject ----

DispId CodeObject::find_member(std::u16string_view name) {
  std::u16string key = lower(name);
  auto it = module_->names.find(key);
  if (it == module_->names.end() || !it->second->is_public) return kDispUnknown;
  if (it->second->kind != Binding::Var && it->second->kind != Binding::Procedure) return kDispUnknown;
  for (size_t i = 0; i < names_.size(); ++i)
    if (names_[i] == key) return static_cast<DispId>(i + 1);
  names_.push_back(key);
  return static_cast<DispId>(names_.size());
}

std::u16string CodeObject::member_name(DispId id) const {
  if (id < 1 || static_cast<size_t>(id) > names_.size()) return {};
  return names_[static_cast<size_t>(id - 1)];
}

Variant CodeObject::invoke(DispId id, CallKind kind, Args args) {
  ScriptEngineImpl* e = link_->engine;
  if (!e || id < 1 || static_cast<size_t>(id) > names_.size()) runtime_error(kErrNoSuchMember);
  auto it = module_->names.find(names_[static_cast<size_t>(id - 1)]);
  if (it == module_->names.end()) runtime_error(kErrNoSuchMember);
  Binding* b = it->second.get();
  if (b->kind == Binding::Procedure) {
    if (!(kind & (kMethod | kGet))) runtime_error(kErrIllegalAssign);
    ScriptEngineImpl::EntryGuard entry(*e, false);
    return e->call_proc(b->proc, nullptr, args.data(), args.size());
  }
  if (b->kind != Binding::Var) runtime_error(kErrNoSuchMember);
  if (kind & (kMethod | kGet)) {
    if (args.empty()) return b->value.deref();
    return apply_args(b->value, args);
  }
  if (args.size() == 1) assign_value(b->value.deref(), Variant(args.value()), (kind & kSet) != 0);
  else assign_indexed(b->value, args.indices(), Variant(args.value()), (kind & kSet) != 0);
  return Variant();
}

namespace {

// ---- Modules ----

class ModulesObject final : public NativeObject<ModulesObject> {
 public:
  explicit ModulesObject(ScriptControl* c) : control(c) {}
  std::u16string type_name() const override { return u"Modules"; }
  static void define(Members<ModulesObject>& m) {
    m.getter(u"Count", [](ModulesObject& o, Args) { return Variant(static_cast<int32_t>(o.control->module_count())); });
    m.method(u"Item", [](ModulesObject& o, Args a) {
      ScriptModule* mod = nullptr;
      const Variant& key = a[0];
      if (key.is_string()) mod = o.control->module(key.str_view());
      else mod = o.control->module(static_cast<size_t>(std::max(0, to_long(key))));
      if (!mod) raise(kErrSubscript);
      return Variant(static_cast<Object*>(mod));
    });
    m.default_member(u"Item");
    m.method(u"Add", [](ModulesObject& o, Args a) {
      return Variant(static_cast<Object*>(o.control->add_module(to_u16(a[0]))));
    });
  }
  Ref<Enumerator> enumerate() override {
    std::vector<Variant> items;
    for (size_t i = 1; i <= control->module_count(); ++i) items.emplace_back(static_cast<Object*>(control->module(i)));
    return Ref<Enumerator>(new VectorEnumerator(std::move(items)));
  }
  Ref<ScriptControl> control;
};

// ---- Error ----

class ErrorInfoObject final : public NativeObject<ErrorInfoObject> {
 public:
  explicit ErrorInfoObject(ScriptControl* c) : control(c) {}
  std::u16string type_name() const override { return u"Error"; }
  static void define(Members<ErrorInfoObject>& m) {
    m.getter(u"Number", [](ErrorInfoObject& o, Args) { return Variant(o.control->error().number); });
    m.default_member(u"Number");
    m.getter(u"Source", [](ErrorInfoObject& o, Args) { return Variant(o.control->error().source); });
    m.getter(u"Description", [](ErrorInfoObject& o, Args) { return Variant(o.control->error().description); });
    m.getter(u"Text", [](ErrorInfoObject& o, Args) { return Variant(o.control->error().text); });
    m.getter(u"Line", [](ErrorInfoObject& o, Args) { return Variant(static_cast<int32_t>(o.control->error().line)); });
    m.getter(u"Column", [](ErrorInfoObject& o, Args) { return Variant(static_cast<int32_t>(o.control->error().column)); });
    m.getter(u"HelpFile", [](ErrorInfoObject&, Args) { return Variant(u""); });
    m.getter(u"HelpContext", [](ErrorInfoObject&, Args) { return Variant(static_cast<int32_t>(0)); });
    m.method(u"Clear", [](ErrorInfoObject& o, Args) {
      o.control->clear_error();
      return Variant();
    });
  }
  Ref<ScriptControl> control;
};

// ---- Procedures ----

class ProcedureObject final : public NativeObject<ProcedureObject> {
 public:
  explicit ProcedureObject(ScriptModule::ProcedureInfo i) : info(std::move(i)) {}
  std::u16string type_name() const override { return u"Procedure"; }
  static void define(Members<ProcedureObject>& m) {
    m.getter(u"Name", [](ProcedureObject& p, Args) { return Variant(p.info.name); });
    m.default_member(u"Name");
    m.getter(u"NumArgs", [](ProcedureObject& p, Args) { return Variant(static_cast<int32_t>(p.info.num_args)); });
    m.getter(u"HasReturnValue", [](ProcedureObject& p, Args) { return Variant(p.info.has_return_value); });
  }
  ScriptModule::ProcedureInfo info;
};

class ProceduresObject final : public NativeObject<ProceduresObject> {
 public:
  explicit ProceduresObject(std::vector<ScriptModule::ProcedureInfo> p) : procs(std::move(p)) {}
  std::u16string type_name() const override { return u"Procedures"; }
  static void define(Members<ProceduresObject>& m) {
    m.getter(u"Count", [](ProceduresObject& o, Args) { return Variant(static_cast<int32_t>(o.procs.size())); });
    m.method(u"Item", [](ProceduresObject& o, Args a) {
      const Variant& key = a[0];
      if (key.is_string()) {
        for (auto& p : o.procs)
          if (iequals(p.name, key.str_view())) return Variant(Ref<Object>(new ProcedureObject(p)));
        raise(kErrSubscript);
      }
      int32_t i = to_long(key);
      if (i < 1 || static_cast<size_t>(i) > o.procs.size()) raise(kErrSubscript);
      return Variant(Ref<Object>(new ProcedureObject(o.procs[static_cast<size_t>(i - 1)])));
    });
    m.default_member(u"Item");
  }
  Ref<Enumerator> enumerate() override {
    std::vector<Variant> items;
    for (auto& p : procs) items.emplace_back(Ref<Object>(new ProcedureObject(p)));
    return Ref<Enumerator>(new VectorEnumerator(std::move(items)));
  }
  std::vector<ScriptModule::ProcedureInfo> procs;
};

}  // namespace

Ref<Object> new_modules_object(ScriptControl* control) { return Ref<Object>(new ModulesObject(control)); }
Ref<Object> new_error_info_object(ScriptControl* control) { return Ref<Object>(new ErrorInfoObject(control)); }
Ref<Object> new_procedures_object(std::vector<ScriptModule::ProcedureInfo> procs) {
  return Ref<Object>(new ProceduresObject(std::move(procs)));
}

}  // namespace qz
