#include "runtime/native/callback_bridge.h"

#include <array>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "com/convert.h"
#include "com/error.h"
#include "runtime/engine_link.h"
#include "script/script_control.h"

namespace qz {

namespace {

constexpr int kArities = 11;

struct Binding {
  std::u16string name;  // as the script wrote it
  int32_t module = 0;
  Ref<ScriptControl> control;
  std::thread::id thread;
};

std::array<Binding, kArities>& bindings() {
  static auto* table = new std::array<Binding, kArities>();  // never destroyed: entries may run late
  return *table;
}

Variant word_value(int64_t w) {
  if (w >= INT32_MIN && w <= INT32_MAX) return Variant(static_cast<int32_t>(w));
  return Variant(w);
}

// Set when a callback's script function failed: its error has been reported once, and later
// calls of the same native call return 0 without running script code, until the native call
// returns and the calling script ends (take_callback_failure).
bool& callback_failed() {
  static bool failed = false;
  return failed;
}

int64_t run_bound(int arity, const int64_t* words) {
  const Binding& b = bindings()[static_cast<size_t>(arity)];
  if (!b.control || b.name.empty()) return 0;
  if (callback_failed()) return 0;
  if (std::this_thread::get_id() != b.thread) {
    std::fputs("quazel: a native callback came from another thread and was ignored\n", stderr);
    return 0;
  }
  try {
    Ref<ScriptControl> control = b.control;
    std::u16string name = b.name;
    ScriptModule* module = control->module(static_cast<size_t>(b.module));
    if (!module) return 0;
    std::vector<Variant> copies;
    for (int i = 0; i < arity; ++i) copies.push_back(word_value(words[i]));
    std::vector<Variant> cells;
    for (Variant& c : copies) cells.push_back(Variant::by_ref(&c));
    Variant result = module->run(name, Args(cells));
    return to_longlong(result.deref());
  } catch (const ScriptError&) {
    callback_failed() = true;  // reported by the control's error event already
    return 0;
  } catch (const RunEnded&) {
    callback_failed() = true;  // the run ended under the callback
    return 0;
  } catch (...) {
    return 0;
  }
}

using W = int64_t;
W entry0() { return run_bound(0, nullptr); }
W entry1(W a) { W w[] = {a}; return run_bound(1, w); }
W entry2(W a, W b) { W w[] = {a, b}; return run_bound(2, w); }
W entry3(W a, W b, W c) { W w[] = {a, b, c}; return run_bound(3, w); }
W entry4(W a, W b, W c, W d) { W w[] = {a, b, c, d}; return run_bound(4, w); }
W entry5(W a, W b, W c, W d, W e) { W w[] = {a, b, c, d, e}; return run_bound(5, w); }
W entry6(W a, W b, W c, W d, W e, W f) { W w[] = {a, b, c, d, e, f}; return run_bound(6, w); }
W entry7(W a, W b, W c, W d, W e, W f, W g) { W w[] = {a, b, c, d, e, f, g}; return run_bound(7, w); }
W entry8(W a, W b, W c, W d, W e, W f, W g, W h) { W w[] = {a, b, c, d, e, f, g, h}; return run_bound(8, w); }
W entry9(W a, W b, W c, W d, W e, W f, W g, W h, W i) {
  W w[] = {a, b, c, d, e, f, g, h, i};
  return run_bound(9, w);
}
W entry10(W a, W b, W c, W d, W e, W f, W g, W h, W i, W j) {
  W w[] = {a, b, c, d, e, f, g, h, i, j};
  return run_bound(10, w);
}

const void* const kEntries[kArities] = {
    reinterpret_cast<const void*>(&entry0), reinterpret_cast<const void*>(&entry1),
    reinterpret_cast<const void*>(&entry2), reinterpret_cast<const void*>(&entry3),
    reinterpret_cast<const void*>(&entry4), reinterpret_cast<const void*>(&entry5),
    reinterpret_cast<const void*>(&entry6), reinterpret_cast<const void*>(&entry7),
    reinterpret_cast<const void*>(&entry8), reinterpret_cast<const void*>(&entry9),
    reinterpret_cast<const void*>(&entry10),
};

}  // namespace

bool take_callback_failure() {
  const bool failed = callback_failed();
  callback_failed() = false;
  return failed;
}

const void* callback_entry(int arity) {
  return arity >= 0 && arity < kArities ? kEntries[arity] : nullptr;
}

int64_t bind_callback(ScriptControl& control, std::u16string_view name, int32_t module) {
  if (module < 1 || static_cast<size_t>(module) > control.module_count()) return 0;
  ScriptModule* m = control.module(static_cast<size_t>(module));
  if (!m) return 0;
  std::u16string wanted = lower(name);
  for (const ScriptModule::ProcedureInfo& p : m->procedures()) {
    if (!p.has_return_value || lower(p.name) != wanted) continue;
    if (p.num_args < 0 || p.num_args >= kArities) return 0;
    Binding& b = bindings()[static_cast<size_t>(p.num_args)];
    b.name = std::u16string(name);
    b.module = module;
    b.control = Ref<ScriptControl>(&control);
    b.thread = std::this_thread::get_id();
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(kEntries[p.num_args]));
  }
  return 0;
}

}  // namespace qz
