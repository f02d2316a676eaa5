// The engine-wide table of script timers (sys.OnTimer, OnTimer2, OffTimer) and the dispatcher
// that runs a timer's procedure on every tick. An entry's index is its timer id; the table never
// shrinks between resets, freed entries are reused.
//
// Arguments are kept as values owned by the entry, except module-level variables passed by
// reference (lasting by-reference cells, valid until Reset, which clears this table as well):
// those stay references, so the procedure changes the script's variable. A local of a
// procedure that has returned can never be reached. Each tick passes the stored values by
// reference, so a procedure that changes its parameter sees the changed value on the next tick.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "com/object.h"
#include "platform/event_loop.h"

namespace qz {

struct ScriptTimerEntry {
  std::u16string proc_name;   // lower-cased; empty marks a free entry
  int16_t module_index = 0;   // script module number (1 = main)
  Variant args;               // zero-based Variant array; Empty in a free entry
  uint64_t generation = 0;    // changes whenever the entry is filled or freed
};

class ScriptTimerTable {
 public:
  // Runs procedure `name` of module `module` with `args` (by-reference cells). Whatever it
  // raises is the runner's to swallow: a tick never reports.
  using Runner = std::function<void(int16_t module, std::u16string_view name, Args args)>;

  ScriptTimerTable(EventLoop& loop, Runner runner);
  ~ScriptTimerTable();
  ScriptTimerTable(const ScriptTimerTable&) = delete;
  ScriptTimerTable& operator=(const ScriptTimerTable&) = delete;

  // Fills the first free entry (or a new one) and starts its timer; returns the id.
  // The interval is taken as the unsigned number the platform's timers take.
  size_t set(int32_t interval_ms, std::u16string_view name, int16_t module, Args args);
  // Frees every entry whose name matches without regard to case and stops its timer.
  void off(std::u16string_view name);
  // Stops every timer and leaves one free entry (a new run starts).
  void reset();
  // One tick of timer `id`.
  void dispatch(size_t id);

  size_t size() const { return entries_.size(); }
  const ScriptTimerEntry& entry(size_t id) const { return entries_.at(id); }
  bool running(size_t id) const;

 private:
  void stop(size_t id);

  EventLoop& loop_;
  Runner runner_;
  std::vector<ScriptTimerEntry> entries_;
  std::vector<EventLoop::TimerId> loop_timers_;  // per entry; 0 when none runs
  uint64_t next_generation_ = 0;
};

}  // namespace qz
