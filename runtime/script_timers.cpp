#include "runtime/script_timers.h"

#include <utility>

namespace qz {

namespace {

// The upper bound of a one-dimensional array; false when `v` is not one.
bool upper_bound(const Variant& v, int64_t& ubound) {
  const Variant& a = v.deref();
  if (!a.is_array() || !a.as_array() || a.as_array()->dims.size() != 1) return false;
  const ArrayRep* rep = a.as_array();
  ubound = static_cast<int64_t>(rep->dims[0].lbound) + rep->dims[0].count - 1;
  return true;
}

}  // namespace

ScriptTimerTable::ScriptTimerTable(EventLoop& loop, Runner runner)
    : loop_(loop), runner_(std::move(runner)) {
  entries_.resize(1);
  loop_timers_.resize(1, 0);
}

ScriptTimerTable::~ScriptTimerTable() {
  for (size_t i = 0; i < loop_timers_.size(); ++i) stop(i);
}

void ScriptTimerTable::stop(size_t id) {
  if (id < loop_timers_.size() && loop_timers_[id]) {
    loop_.kill_timer(loop_timers_[id]);
    loop_timers_[id] = 0;
  }
}

bool ScriptTimerTable::running(size_t id) const {
  return id < loop_timers_.size() && loop_timers_[id] && loop_.has_timer(loop_timers_[id]);
}

size_t ScriptTimerTable::set(int32_t interval_ms, std::u16string_view name, int16_t module, Args args) {
  size_t id = 0;
  while (id < entries_.size() && !entries_[id].proc_name.empty()) ++id;
  if (id == entries_.size()) {
    entries_.emplace_back();
    loop_timers_.push_back(0);
  }
  // Module variables stay references (they live until Reset, which clears this table too);
  // anything else, a procedure's local above all, is kept as a value. Past four arguments the
  // procedure gets them as one array, which holds values only.
  bool keep_references = args.size() <= 4;
  std::vector<Variant> values;
  values.reserve(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    const Variant& cell = args.data()[i];
    if (keep_references && cell.ref_lasting()) values.push_back(cell);
    else values.push_back(args[i]);
  }

  ScriptTimerEntry& e = entries_[id];
  e.proc_name = lower(name);
  e.module_index = module;
  e.args = Variant::from_vector(std::move(values));
  e.generation = ++next_generation_;

  stop(id);  // the same id set again replaces its timer
  uint32_t interval = static_cast<uint32_t>(interval_ms);
  loop_timers_[id] = loop_.set_timer(interval, [this, id] { dispatch(id); });
  return id;
}

void ScriptTimerTable::off(std::u16string_view name) {
  std::u16string key = lower(name);
  for (size_t id = 0; id < entries_.size(); ++id) {
    if (entries_[id].proc_name != key) continue;
    ScriptTimerEntry& e = entries_[id];
    e.proc_name.clear();
    e.module_index = 0;
    e.args = Variant();
    e.generation = ++next_generation_;
    stop(id);
  }
}

void ScriptTimerTable::reset() {
  for (size_t i = 0; i < loop_timers_.size(); ++i) stop(i);
  entries_.clear();
  entries_.resize(1);
  loop_timers_.assign(1, 0);
  ++next_generation_;
}

void ScriptTimerTable::dispatch(size_t id) {
  if (id >= entries_.size() || entries_[id].proc_name.empty()) return;
  // The procedure may free or reuse this entry, or set timers that grow the table: work on
  // copies and write the arguments back only when the entry is still the one we ran.
  const uint64_t generation = entries_[id].generation;
  const std::u16string name = entries_[id].proc_name;
  const int16_t module = entries_[id].module_index;
  Variant stored = entries_[id].args;

  int64_t n = 0;
  if (!upper_bound(stored, n)) {
    n = 0;  // no argument array: element 0 cannot be read, nothing runs
    return;
  }
  if (n < 0) {
    runner_(module, name, Args());
    return;
  }
  if (n <= 3) {
    const ArrayRep* rep = stored.as_array();
    std::vector<Variant> values(rep->items.begin(), rep->items.begin() + (n + 1));
    std::vector<Variant> cells;
    for (auto& v : values) cells.push_back(v.ref_lasting() ? v : Variant::by_ref(&v));
    runner_(module, name, Args(cells));
    if (id < entries_.size() && entries_[id].generation == generation)
      entries_[id].args = Variant::from_vector(std::move(values));
    return;
  }
  Variant cell = Variant::by_ref(&stored);
  runner_(module, name, Args(&cell, 1));
  if (id < entries_.size() && entries_[id].generation == generation) entries_[id].args = stored;
}

}  // namespace qz
