#include "script/engine.h"
#include "script/frame_registers.h"
#include "script/proc_code.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <new>

#include "com/convert.h"
#include "script/class_instance.h"
#include "script/diagnostics.h"
#include "script/err_object.h"
#include "script/lexer.h"
#include "script/module_object.h"
#include "script/parser.h"
#include "script/proc_ref.h"
#include "script/script_control.h"

namespace qz {

using namespace vbs;

namespace {

// Steps between looks at the clock and the interrupt flag: at most, and right after entry.
constexpr int kStepsPerCheck = 4096;
constexpr int kFirstStepsPerCheck = 1;

// The lowest native stack address script calls may reach on this thread (with a margin for
// the frames below a check and for library code).
const char* thread_stack_limit() {
  thread_local const char* limit = []() -> const char* {
    // The main thread's stack grows on demand up to the stack limit: reckoned from where this
    // frame is (a little below its top, so a little stricter), without the process's memory map
    // that the thread attributes read for it.
    rlimit stack{};
    if (::gettid() == ::getpid() && ::getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY &&
        stack.rlim_cur >= (size_t{1} << 20) && stack.rlim_cur <= (size_t{1} << 32)) {
      const char* here = static_cast<const char*>(__builtin_frame_address(0));
      size_t size = static_cast<size_t>(stack.rlim_cur);
      size_t margin = std::max<size_t>(size / 4, size_t{256} << 10);
      return here - size + margin;
    }
    pthread_attr_t attr;
    void* addr = nullptr;
    size_t size = 0;
    const char* result = nullptr;
    if (pthread_getattr_np(pthread_self(), &attr) == 0) {
      if (pthread_attr_getstack(&attr, &addr, &size) == 0 && addr && size > 0) {
        size_t margin = std::max<size_t>(size / 4, size_t{256} << 10);
        if (margin > size / 2) margin = size / 2;
        result = static_cast<const char*>(addr) + margin;
      }
      pthread_attr_destroy(&attr);
    }
    return result;
  }();
  return limit;
}

// A procedure's locals: slots 1..nargs start as the arguments (by-reference cells only where
// the parameter is ByRef, values otherwise). `owned`: the caller gives the arguments away, so
// values move instead of being copied.
struct LocalSlots : FrameRegisters {
  LocalSlots(size_t count, Variant* args, size_t nargs, const std::vector<uint8_t>& byref, bool owned)
      : FrameRegisters(count) {
    for (size_t i = 0; i < nargs; ++i) {
      Variant& a = args[i];
      if (a.is_byref() && !byref[i]) data[i + 1] = a.deref();
      else if (owned) data[i + 1] = std::move(a);
      else data[i + 1] = a;
    }
  }
};

Variant make_fixed_array(const std::vector<ArrayDim>& dims, size_t limit) {
  size_t total = 1;
  for (const ArrayDim& d : dims) {
    total *= static_cast<size_t>(std::max(d.count, 0));
    if (total > limit) runtime_error(kErrOutOfMemory);
  }
  Variant v = Variant::new_array(dims);
  if (!dims.empty()) v.as_array()->fixed = true;
  return v;
}

}  // namespace

ScriptEngineImpl::ScriptEngineImpl(ScriptControl* control) : control_(control) {
  link_ = std::make_shared<EngineLink>();
  link_->engine = this;
  auto* err = new ErrObject();
  err_ref_ = Ref<Object>(err);
  err_ = err;
  auto global = std::make_shared<ModuleScope>();
  global->name = u"Global";
  global->is_global = true;
  modules_.push_back(global);
}

ScriptEngineImpl::~ScriptEngineImpl() {
  reset();
  link_->engine = nullptr;
}

Object* ScriptEngineImpl::err_object() { return err_ref_.get(); }

Variant ScriptEngineImpl::new_dim_array(const std::vector<ArrayDim>& dims) {
  return make_fixed_array(dims, max_array_elements);
}

Variant ScriptEngineImpl::module_object(ModuleScope* m) {
  Ref<Object>& o = module_objects_[m];
  if (!o) o = Ref<Object>(new ModuleObject(module_keep(m), link_));
  return Variant(o);
}

ModuleScope* ScriptEngineImpl::module_scope(size_t index) {
  return index < modules_.size() ? modules_[index].get() : nullptr;
}

ModuleScope* ScriptEngineImpl::add_module_scope(std::u16string_view name) {
  auto m = std::make_shared<ModuleScope>();
  m->name = std::u16string(name);
  modules_.push_back(m);
  return m.get();
}

std::shared_ptr<ModuleScope> ScriptEngineImpl::module_keep(ModuleScope* m) {
  for (auto& p : modules_)
    if (p.get() == m) return p;
  return nullptr;
}

void ScriptEngineImpl::add_object(std::u16string_view name, Ref<Object> object, bool add_members) {
  ChangingAdded changing(*this);
  std::u16string key = lower(name);
  auto b = std::make_unique<Binding>();
  b->kind = Binding::Var;
  b->name = std::u16string(name);
  b->value = Variant(object);
  object_names_[key] = std::move(b);
  objects_.push_back(AddedObject{std::u16string(name), object, add_members});
  global_cache_.clear();
  ++gen_;
}

size_t ScriptEngineImpl::added_references(const Object* o) const {
  if (changing_added_) return 0;
  size_t n = 0;
  for (const AddedObject& a : objects_) n += a.object.get() == o;
  for (const auto& [k, b] : object_names_) n += b->value.is_object() && b->value.as_object() == o;
  for (const auto& [k, b] : global_cache_) n += b->owner.get() == o;
  return n;
}

std::vector<Ref<Object>> ScriptEngineImpl::take_added(const Object* o) {
  ChangingAdded changing(*this);
  std::vector<Ref<Object>> taken;
  for (auto it = objects_.begin(); it != objects_.end();) {
    if (it->object.get() != o) { ++it; continue; }
    taken.push_back(std::move(it->object));
    it = objects_.erase(it);
  }
  for (auto it = object_names_.begin(); it != object_names_.end();) {
    const Variant& v = it->second->value;
    if (!v.is_object() || v.as_object() != o) { ++it; continue; }
    taken.emplace_back(v.as_object());
    it->second->value = Variant();   // the reference moved into taken (its count stays above 0)
    it = object_names_.erase(it);
  }
  for (auto& [k, b] : global_cache_)
    if (b->owner.get() == o) taken.push_back(std::move(b->owner));
  global_cache_.clear();
  ++gen_;
  return taken;
}

void ScriptEngineImpl::reset() {
  // Variables first, while code can still run Class_Terminate.
  // Module variables one at a time in the order they were made, while the added objects are
  // still there for Class_Terminate code. A variable holding an array whose element a running
  // call has by reference stays with its retired module until the run is over.
  std::vector<Binding*> vars;
  for (auto& m : modules_)
    for (auto& [k, b] : m->names)
      if (b->kind == Binding::Var) vars.push_back(b.get());
  for (auto& b : replaced_vars_) vars.push_back(b.get());
  std::sort(vars.begin(), vars.end(), [](Binding* a, Binding* b) { return a->seq < b->seq; });
  for (Binding* b : vars) {
    if (b->value.is_array() && b->value.as_array()->locks) continue;
    Variant dropped = std::move(b->value);
  }
  {
    ChangingAdded changing(*this);
    std::vector<Variant> dropped;
    for (auto& [k, b] : object_names_) dropped.push_back(std::move(b->value));
    dropped.clear();
    std::vector<AddedObject> objects = std::move(objects_);
    objects_.clear();
    objects.clear();
    object_names_.clear();
    global_cache_.clear();
  }
  // Then cycles between instances: fields dropped without running code.
  in_reset_ = true;
  std::vector<Ref<Object>> alive;
  for (ClassInstance* o = instances_; o; o = o->next)
    if (o->ref_count() > 0) alive.emplace_back(o);  // none waiting for a deferred release
  for (auto& r : alive) static_cast<ClassInstance*>(r.get())->clear_fields();
  alive.clear();
  in_reset_ = false;
  module_objects_.clear();
  // Code that may still be running (Reset from inside a script) stays until the run ends.
  for (auto& m : modules_) retired_modules_.push_back(m);
  modules_.clear();
  for (auto& b : replaced_vars_) retired_replaced_vars_.push_back(std::move(b));
  replaced_vars_.clear();
  if (entry_depth_ == 0) {
    retired_.clear();
    retired_modules_.clear();
    retired_replaced_vars_.clear();
  }
  auto global = std::make_shared<ModuleScope>();
  global->name = u"Global";
  global->is_global = true;
  modules_.push_back(global);
  err_->clear();
  ++gen_;
}

void ScriptEngineImpl::track(ClassInstance* o) {
  o->next = instances_;
  o->prev = nullptr;
  if (instances_) instances_->prev = o;
  instances_ = o;
}

void ScriptEngineImpl::untrack(ClassInstance* o) {
  if (o->prev) o->prev->next = o->next;
  else if (instances_ == o) instances_ = o->next;
  if (o->next) o->next->prev = o->prev;
  o->prev = o->next = nullptr;
}

// ---- lookup ----

Binding* ScriptEngineImpl::lookup(ModuleScope* m, const std::u16string& key) {
  if (m) {
    auto it = m->names.find(key);
    if (it != m->names.end()) return it->second.get();
    if (!m->is_global && !modules_.empty() && modules_[0].get() != m) {
      auto& g = modules_[0]->names;
      auto gi = g.find(key);
      if (gi != g.end() && gi->second->is_public) return gi->second.get();
    } else if (!m->is_global && !modules_.empty()) {
      // A module left over from before a Reset.
    }
  }
  auto oi = object_names_.find(key);
  if (oi != object_names_.end()) return oi->second.get();
  return lookup_global_names(key);
}

Binding* ScriptEngineImpl::lookup_global_names(const std::u16string& key) {
  auto ci = global_cache_.find(key);
  if (ci != global_cache_.end()) return ci->second.get();
  std::unique_ptr<Binding> b;
  for (auto& o : objects_) {
    if (!o.members || !o.object) continue;
    DispId id = o.object->find_member(key);
    if (id != kDispUnknown) {
      b = std::make_unique<Binding>();
      b->kind = Binding::ObjMember;
      b->owner = o.object;
      b->id = id;
      break;
    }
  }
  if (!b) {
    static const std::pair<std::u16string_view, int> intrinsics[] = {
        {u"err", kIntrErr}, {u"eval", kIntrEval}, {u"execute", kIntrExecute},
        {u"executeglobal", kIntrExecuteGlobal}, {u"getref", kIntrGetRef}, {u"vartype", kIntrVarType},
    };
    for (auto& [name, which] : intrinsics) {
      if (key == name) {
        b = std::make_unique<Binding>();
        b->kind = Binding::Intrinsic;
        b->intrinsic = which;
        break;
      }
    }
  }
  if (!b) {
    if (const BuiltinFunction* fn = find_builtin_function(key)) {
      b = std::make_unique<Binding>();
      b->kind = Binding::Builtin;
      b->fn = fn;
    } else if (const BuiltinConstant* c = find_builtin_constant(key)) {
      b = std::make_unique<Binding>();
      b->kind = Binding::Const;
      b->value = c->value;
    } else if (key == u"randomize") {
      b = std::make_unique<Binding>();
      b->kind = Binding::Intrinsic;
      b->intrinsic = kIntrRandomize;
    }
  }
  if (!b) return nullptr;
  b->name = key;
  Binding* raw = b.get();
  global_cache_.emplace(key, std::move(b));
  return raw;
}

Binding* ScriptEngineImpl::define_var(ModuleScope* m, const std::u16string& key, const std::u16string& name) {
  auto& slot = m->names[key];
  if (!slot) {
    slot = std::make_unique<Binding>();
    slot->kind = Binding::Var;
    slot->name = name;
    slot->seq = ++seq_;
  }
  ++gen_;
  return slot.get();
}

void ScriptEngineImpl::load_unit(ModuleScope* m, const std::shared_ptr<Unit>& u) {
  for (ModuleDecl& d : u->decls) {
    auto& slot = m->names[d.key];
    if (slot && slot->keep) retired_.push_back(slot->keep);
    if (slot && slot->kind == Binding::Var && d.kind != ModuleDecl::Var) replaced_vars_.push_back(std::move(slot));
    switch (d.kind) {
      case ModuleDecl::Var:
        if (!slot || slot->kind != Binding::Var) {
          slot = std::make_unique<Binding>();
          slot->kind = Binding::Var;
          slot->seq = ++seq_;
        }
        break;
      case ModuleDecl::Const:
        slot = std::make_unique<Binding>();
        slot->kind = Binding::Const;
        slot->value = d.value;
        break;
      case ModuleDecl::Procedure:
        slot = std::make_unique<Binding>();
        slot->kind = Binding::Procedure;
        slot->proc = d.proc;
        slot->keep = u;
        slot->seq = ++seq_;
        break;
      case ModuleDecl::Class:
        slot = std::make_unique<Binding>();
        slot->kind = Binding::Class;
        slot->cls = d.cls;
        slot->keep = u;
        break;
    }
    slot->name = d.name;
    slot->is_public = d.is_public;
  }
  ++gen_;
}

// ---- running ----

ScriptEngineImpl::EntryGuard::EntryGuard(ScriptEngineImpl& e, bool fresh_clock)
    : e(e), saved_deadline(e.deadline_), saved_has_deadline(e.has_deadline_) {
  if (e.entry_depth_++ == 0) {
    e.stack_limit_ = thread_stack_limit();
    e.aborting_ = false;
  } else if (!fresh_clock) {
    return;
  }
  if (e.control_) e.builtin_ctx_.allow_ui = e.control_->allow_ui();
  int32_t ms = e.control_ ? e.control_->timeout() : -1;
  e.has_deadline_ = ms >= 0 && e.timeouts_enabled;
  if (e.has_deadline_) e.deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  // A first look at once, then looks a step apart that spread out while steps are quick.
  e.budget_ = 1;
  e.steps_per_check_ = kFirstStepsPerCheck;
  e.last_check_ = {};
}

ScriptEngineImpl::EntryGuard::~EntryGuard() {
  e.deadline_ = saved_deadline;
  e.has_deadline_ = saved_has_deadline;
  if (--e.entry_depth_ == 0) {
    e.aborting_ = false;
    e.retired_modules_.clear();
    e.retired_replaced_vars_.clear();
  }
}

void ScriptEngineImpl::DepthGuard::too_deep() {
  --e.depth_;
  runtime_error(kErrOutOfStack);
}

namespace {
ScriptError timed_out() { return ScriptError(kErrTimeout, std::u16string(kRuntimeSource), u"Script timed out"); }
}  // namespace

void ScriptEngineImpl::check_timeout() {
  if (interrupt_ && *interrupt_) {
    budget_ = 1;   // anything that swallows it meets it again at the next check
    throw ScriptInterrupted();
  }
  const auto now = std::chrono::steady_clock::now();
  if (has_deadline_ && (aborting_ || now > deadline_)) {
    aborting_ = true;
    throw timed_out();
  }
  // The budget counts steps, not time. Where steps are slow (a long built-in call, an error
  // raised and absorbed in every statement) a fixed count would look at the clock and the
  // interrupt flag seconds apart: the steps between looks halve while looks are more than a
  // millisecond apart and double back, up to kStepsPerCheck, while they are not.
  if (last_check_ == std::chrono::steady_clock::time_point{}) {
    // The first look after entry: nothing to measure yet.
  } else if (now - last_check_ > std::chrono::milliseconds(1)) {
    steps_per_check_ = std::max(steps_per_check_ / 2, 1);
  } else {
    steps_per_check_ = std::min(steps_per_check_ * 2, kStepsPerCheck);
  }
  last_check_ = now;
  budget_ = steps_per_check_;
}

void ScriptEngineImpl::note_position(Frame& f, ScriptError& e, const Node* where) {
  if (!where) where = f.current;
  if (e.line != 0 || !where) return;
  e.line = where->line;
  e.column = where->col;
  last_error_text_ = f.unit ? f.unit->line_text(e.line) : std::u16string();
  last_error_unit_ = f.unit ? f.unit->id : 0;
}

bool ScriptEngineImpl::absorb(Frame& f, ScriptError& e) {
  // The time ran out where its error was swallowed (Class_Terminate's errors go nowhere): the
  // next error that leaves a statement ends the run as timed out, not as itself.
  if (aborting_ && e.number != kErrTimeout) e = timed_out();
  note_position(f, e);
  if (e.source.empty()) e.source = std::u16string(e.compile ? kCompileSource : kRuntimeSource);
  if (!f.resume_next || aborting_) return false;
  err_->set(e);
  return true;
}

void ScriptEngineImpl::compile_procedure(Proc* p) {
  p->code_tried = true;
  if (compile_code) p->code = compile_proc(*p);
}

Variant ScriptEngineImpl::call_proc(Proc* p, ClassInstance* me, Variant* args, size_t n, bool args_owned) {
  if (n != p->nparams()) runtime_error_named(kErrArgCount, p->name);
  DepthGuard depth(*this);
  tick();
  const ProcCode* code = code_of(p);
  LocalSlots slots(static_cast<size_t>(p->nslots + (code ? code->ntemps : 0)), args, n, p->byref, args_owned);
  Variant* locals = slots.data;
  for (const auto& [slot, value] : p->consts) locals[slot] = value;
  Frame fr;
  fr.engine = this;
  fr.locals = locals;
  fr.me = me;
  fr.fields = me ? me->fields.data() : nullptr;
  fr.proc = p;
  fr.module = p->module;
  fr.unit = p->unit;
  fr.caller = current_;
  CurrentFrame scope(*this, &fr);
  Ref<Object> keep(static_cast<Object*>(me));
  if (code) run_proc_code(fr, *code);
  else exec_block(fr, p->body);
  if (p->has_result()) return std::move(locals[0]);
  return Variant();
}

Variant ScriptEngineImpl::new_instance(ClassDef* cls, const std::shared_ptr<Unit>& keep) {
  auto* o = new ClassInstance(cls, link_, keep, module_keep(cls->module));
  Ref<Object> ref(o);
  if (cls->initialize) call_proc(cls->initialize, o, nullptr, 0);
  return Variant(ref);
}

void ScriptEngineImpl::run_top(const std::shared_ptr<Unit>& u, Frame* outer, ClassInstance* me) {
  DepthGuard depth(*this);
  Proc& top = u->top;
  // Code that Execute runs inside a procedure or a class sees their names: the tree runs it.
  if (outer || me) top.code_tried = true;
  const ProcCode* code = code_of(&top);
  FrameRegisters locals(static_cast<size_t>(std::max(top.nslots, 0) + (code ? code->ntemps : 0)));
  Frame fr;
  fr.engine = this;
  fr.locals = locals.data;
  fr.me = me;
  fr.fields = me ? me->fields.data() : nullptr;
  fr.proc = &top;
  fr.module = u->module;
  fr.unit = u.get();
  fr.outer = outer;
  fr.caller = current_;
  CurrentFrame scope(*this, &fr);
  if (code) run_proc_code(fr, *code);
  else exec_block(fr, top.body);
}

namespace {
// Runs fn; a ScriptError that leaves without a position is given the current statement's.
template <class F>
auto with_position(ScriptEngineImpl& e, F fn) -> decltype(fn()) {
  try {
    return fn();
  } catch (ScriptError& err) {
    if (err.source.empty()) err.source = std::u16string(err.compile ? kCompileSource : kRuntimeSource);
    if (err.line == 0 && e.current()) e.note_position(*e.current(), err);
    throw;
  } catch (const std::bad_alloc&) {
    throw ScriptError(kErrOutOfMemory, std::u16string(kRuntimeSource), std::u16string(error_text(kErrOutOfMemory)));
  }
}
}  // namespace

namespace {

// Line breaks as the lexer counts them: CR LF, a lone CR, a lone LF.
int line_breaks(std::u16string_view s) {
  int n = 0;
  for (size_t i = vbs::after_line_break(s, 0); i != std::u16string_view::npos; i = vbs::after_line_break(s, i)) ++n;
  return n;
}

std::u16string blank_lines(int n) {
  std::u16string out;
  out.reserve(static_cast<size_t>(n) * 2);
  for (int i = 0; i < n; ++i) out += u"\r\n";
  return out;
}

// Where `code` holds `shared` as whole lines of its own: at a line start that no continued
// line leads into, ending with a line break. npos when it does not. (A CR LF pair is one break:
// text that begins or ends between its two characters is no whole lines.)
size_t shared_code_at(std::u16string_view code, std::u16string_view shared) {
  if (shared.empty() || (shared.back() != u'\n' && shared.back() != u'\r')) return std::u16string_view::npos;
  for (size_t at = code.find(shared); at != std::u16string_view::npos; at = code.find(shared, at + 1)) {
    size_t end = at + shared.size();
    if (shared.back() == u'\r' && end < code.size() && code[end] == u'\n') continue;
    if (at == 0) return at;
    if (code[at - 1] != u'\n' && code[at - 1] != u'\r') continue;
    if (code[at - 1] == u'\r' && code[at] == u'\n') continue;
    // The line before must not continue into this one ("_" at its end).
    size_t e = at - 1;
    if (code[e] == u'\n' && e > 0 && code[e - 1] == u'\r') --e;
    while (e > 0 && (code[e - 1] == u' ' || code[e - 1] == u'\t')) --e;
    if (e > 0 && code[e - 1] == u'_') continue;
    return at;
  }
  return std::u16string_view::npos;
}

// Points a compiled unit at another module and forgets what its names found in the last one.
void rebind_unit(Unit& u, ModuleScope* m) {
  u.module = m;
  u.top.module = m;
  for (auto& p : u.procs) p->module = m;
  for (auto& c : u.classes) {
    c->module = m;
    c->serial = next_class_serial();
  }
  for (auto& n : u.nodes) {
    if (auto* name = dynamic_cast<NameExpr*>(n.get())) {
      name->scope = m;
      name->cached = nullptr;
      name->cached_gen = 0;
    } else if (auto* made = dynamic_cast<NewExpr*>(n.get())) {
      made->scope = m;
    } else if (auto* member = dynamic_cast<MemberExpr*>(n.get())) {
      member->cached_key = nullptr;
      member->cached_id = kDispUnknown;
      member->member_class = 0;
      member->member = nullptr;
    }
  }
}

}  // namespace

void ScriptEngineImpl::share_code(std::vector<std::u16string> texts) {
  std::vector<SharedCode> next;
  for (std::u16string& t : texts) {
    auto same = std::find_if(shared_.begin(), shared_.end(), [&](const SharedCode& s) { return s.text == t; });
    if (same != shared_.end()) {
      next.push_back(std::move(*same));
    } else {
      SharedCode s;
      s.text = std::move(t);
      next.push_back(std::move(s));
    }
  }
  shared_ = std::move(next);
}

std::shared_ptr<Unit> ScriptEngineImpl::shared_unit(SharedCode& s, int lines_before, bool explicit_vars,
                                                    ModuleScope* m) {
  std::shared_ptr<Unit>& kept = s.unit[explicit_vars];
  if (kept && s.lines_before[explicit_vars] == lines_before && kept.use_count() == 1) {
    // Nothing else holds it (no module, instance, GetRef or running code): it serves again.
    rebind_unit(*kept, m);
    return kept;
  }
  CompileContext ctx;
  ctx.module = m;
  ctx.option_explicit = explicit_vars;
  std::shared_ptr<Unit> u;
  try {
    // Blank lines before it give its lines the numbers they have in the text that holds it.
    u = compile(blank_lines(lines_before) + s.text, ctx);
  } catch (const ScriptError&) {
    s.usable = false;   // the text holding it reports the error where it is
    return nullptr;
  }
  ++shared_compilations_;
  // Statements of its own would run before the code ahead of it, variables of its own would
  // be made before that code's, and an Option Explicit of its own would cover the whole text
  // holding it: such code is compiled in place.
  if (!u->top.body.empty() || (u->option_explicit && !explicit_vars) ||
      std::any_of(u->decls.begin(), u->decls.end(), [](const ModuleDecl& d) { return d.kind == ModuleDecl::Var; })) {
    s.usable = false;
    return nullptr;
  }
  kept = u;
  s.lines_before[explicit_vars] = lines_before;
  s.names = declared_names(*u);
  return u;
}

std::shared_ptr<Unit> ScriptEngineImpl::compile_around_shared(std::u16string_view code, ModuleScope* m,
                                                              std::shared_ptr<Unit>& shared) {
  for (SharedCode& s : shared_) {
    if (!s.usable) continue;
    size_t at = shared_code_at(code, s.text);
    if (at == std::u16string_view::npos) continue;
    std::u16string_view before = code.substr(0, at);
    CompileContext ctx;
    ctx.module = m;
    try {
      // The code ahead must be whole statements at module level that declare no procedure or
      // class (which the shared code could replace) and leave Option Explicit off.
      std::shared_ptr<Unit> ahead = compile(before, ctx);
      if (ahead->option_explicit) return nullptr;
      for (const ModuleDecl& d : ahead->decls)
        if (d.kind == ModuleDecl::Procedure || d.kind == ModuleDecl::Class) return nullptr;
    } catch (const ScriptError&) {
      return nullptr;
    }
    const int lines_before = line_breaks(before);
    std::shared_ptr<Unit> first = shared_unit(s, lines_before, false, m);
    if (!first) continue;
    // The rest keeps every line where it was: the shared lines become blank ones.
    std::u16string rest(before);
    rest += blank_lines(line_breaks(s.text));
    rest += code.substr(at + s.text.size());
    ctx.predeclared = &s.names;
    std::shared_ptr<Unit> u;
    try {
      u = compile(rest, ctx);
    } catch (const ScriptError&) {
      return nullptr;   // compiled whole, the error is reported exactly where it is
    }
    // Option Explicit anywhere in a unit covers all of it, the shared code included.
    shared = u->option_explicit ? shared_unit(s, lines_before, true, m) : std::move(first);
    if (!shared) return nullptr;
    return u;
  }
  return nullptr;
}

void ScriptEngineImpl::add_code(ModuleScope* m, std::u16string_view code) {
  EntryGuard entry(*this);
  last_error_text_.clear();
  last_error_unit_ = 0;
  const uint64_t id = next_unit_id_++;
  std::shared_ptr<Unit> u, shared;
  try {
    CompileContext ctx;
    ctx.module = m;
    if (!shared_.empty()) {
      u = compile_around_shared(code, m, shared);
      if (u) shared->id = id;
    }
    if (!u) u = compile(code, ctx);
    u->id = id;
  } catch (ScriptError& e) {
    if (e.compile && e.line > 0) {
      last_error_unit_ = id;
      // The text of the failing line, from the source given.
      std::u16string_view s = code;
      size_t i = 0;
      for (int line = 1; line < e.line && i < s.size(); ++line)
        i = std::min(vbs::after_line_break(s, i), s.size());
      size_t j = i;
      while (j < s.size() && s[j] != u'\r' && s[j] != u'\n') ++j;
      last_error_text_ = std::u16string(s.substr(i, j - i));
    }
    throw;
  }
  if (shared) {
    load_unit(m, shared);
    m->units.push_back(shared);
  }
  load_unit(m, u);
  m->units.push_back(u);
  with_position(*this, [&] { run_top(u, nullptr, nullptr); });
}

Variant ScriptEngineImpl::eval(ModuleScope* m, std::u16string_view expression) {
  EntryGuard entry(*this);
  last_error_text_.clear();
  last_error_unit_ = 0;
  CompileContext ctx;
  ctx.module = m;
  ctx.mode = CompileMode::Expression;
  std::shared_ptr<Unit> u = compile(expression, ctx);
  return with_position(*this, [&] {
    DepthGuard depth(*this);
    Frame fr;
    fr.engine = this;
    fr.proc = &u->top;
    fr.module = m;
    fr.unit = u.get();
    fr.caller = current_;
    std::vector<Variant> locals(static_cast<size_t>(std::max(u->top.nslots, 0)));
    fr.locals = locals.data();
    CurrentFrame scope(*this, &fr);
    return u->expression->eval(fr);
  });
}

void ScriptEngineImpl::execute(ModuleScope* m, std::u16string_view code) {
  EntryGuard entry(*this);
  last_error_text_.clear();
  last_error_unit_ = 0;
  CompileContext ctx;
  ctx.module = m;
  std::shared_ptr<Unit> u = compile(code, ctx);
  load_unit(m, u);
  with_position(*this, [&] { run_top(u, nullptr, nullptr); });
}

Proc* ScriptEngineImpl::find_procedure(ModuleScope* m, std::u16string_view name) {
  Binding* b = lookup(m, lower(name));
  return b && b->kind == Binding::Procedure ? b->proc : nullptr;
}

Variant ScriptEngineImpl::run(ModuleScope* m, std::u16string_view name, Args args) {
  Proc* p = find_procedure(m, name);
  if (!p) runtime_error_named(kErrProcNotDefined, name);
  EntryGuard entry(*this);
  last_error_text_.clear();
  last_error_unit_ = 0;
  return with_position(*this, [&] { return call_proc(p, nullptr, args.data(), args.size()); });
}

// ---- intrinsics ----

Variant ScriptEngineImpl::intrinsic(Frame& f, int which, Variant* args, size_t n, const std::u16string& name) {
  auto need = [&](size_t k) {
    if (n != k) runtime_error_named(kErrArgCount, name);
  };
  // The frame whose locals Eval and Execute see.
  Frame* local = (f.proc && f.proc->kind != Proc::TopLevel) ? &f : f.outer;
  switch (which) {
    case kIntrErr:
      if (n != 0) runtime_error_named(kErrArgCount, name);
      return Variant(err_ref_.get());
    case kIntrRandomize:
      if (const BuiltinFunction* fn = find_builtin_function(u"randomize")) return fn->fn(builtin_ctx_, Args(args, n));
      return Variant();
    case kIntrVarType: {
      // A script class instance is an object whatever its default member gives.
      if (n == 1 && args[0].deref().is_object() && dynamic_cast<ClassInstance*>(args[0].deref().as_object()))
        return Variant(static_cast<int16_t>(9));
      const BuiltinFunction* fn = find_builtin_function(u"vartype");
      if (!fn) runtime_error_named(kErrProcNotDefined, name);
      if (n != 1) runtime_error_named(kErrArgCount, name);
      return fn->fn(builtin_ctx_, Args(args, n));
    }
    case kIntrGetRef: {
      need(1);
      Variant named = value_of(args[0]);
      if (!named.is_string()) runtime_error(kErrTypeMismatch);
      std::u16string proc_name(named.str_view());
      Binding* b = lookup(f.module, lower(proc_name));
      if (!b || b->kind != Binding::Procedure) runtime_error(kErrIllegalCall);
      return Variant(Ref<Object>(new ProcRef(b->proc, b->keep, link_)));
    }
    case kIntrEval: case kIntrExecute: case kIntrExecuteGlobal: {
      need(1);
      std::u16string code = to_u16(value_of(args[0]));
      CompileContext ctx;
      ctx.module = f.module;
      ctx.option_explicit = f.unit && f.unit->option_explicit;
      if (which != kIntrExecuteGlobal) {
        ctx.outer_proc = local ? local->proc : nullptr;
        ctx.outer_class = f.me ? f.me->cls() : nullptr;
      }
      ctx.mode = which == kIntrEval ? CompileMode::Expression : CompileMode::Program;
      std::shared_ptr<Unit> u;
      try {
        u = compile(code, ctx);
      } catch (ScriptError& e) {
        // Reported at the statement that ran the code.
        e.line = 0;
        e.column = 0;
        throw;
      }
      Frame* outer = which == kIntrExecuteGlobal ? nullptr : local;
      ClassInstance* me = which == kIntrExecuteGlobal ? nullptr : f.me;
      if (which == kIntrEval) {
        DepthGuard depth(*this);
        Frame fr;
        fr.engine = this;
        fr.proc = &u->top;
        fr.module = f.module;
        fr.unit = u.get();
        fr.outer = outer;
        fr.me = me;
        fr.fields = me ? me->fields.data() : nullptr;
        fr.caller = current_;
        std::vector<Variant> locals(static_cast<size_t>(std::max(u->top.nslots, 0)));
        fr.locals = locals.data();
        CurrentFrame scope(*this, &fr);
        return u->expression->eval(fr);
      }
      if (outer && !u->local_decls.empty()) {
        if (!outer->dynamic) outer->dynamic = std::make_unique<DynamicLocals>();
        for (const ModuleDecl& d : u->local_decls) {
          auto [it, made] = outer->dynamic->try_emplace(d.key);
          if (d.kind == ModuleDecl::Const) it->second = d.value;
          else if (made && d.is_array) it->second = make_fixed_array(d.dims, max_array_elements);
        }
      }
      load_unit(f.module, u);
      run_top(u, outer, me);
      return Variant();
    }
  }
  return Variant();
}

}  // namespace qz
