// The script timer table and its dispatcher, with a runner that records what a tick would run.
#include "runtime/script_timers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/convert.h"

namespace qz {
namespace {

struct Call {
  int16_t module;
  std::u16string name;
  std::vector<Variant> args;  // the values the procedure saw
};

struct Fixture {
  std::unique_ptr<EventLoop> loop = make_poll_event_loop();
  std::vector<Call> calls;
  // What the "procedure" does with its arguments; by default nothing.
  std::function<void(Args)> body;
  ScriptTimerTable table{*loop, [this](int16_t module, std::u16string_view name, Args args) {
                           Call c{module, std::u16string(name), {}};
                           for (size_t i = 0; i < args.size(); ++i) c.args.push_back(args[i]);
                           calls.push_back(std::move(c));
                           if (body) body(args);
                         }};
};

std::vector<Variant> longs(std::initializer_list<int32_t> v) {
  std::vector<Variant> out;
  for (int32_t x : v) out.emplace_back(x);
  return out;
}

TEST(ScriptTimers, IdsAreSlotsAndFreedSlotsAreReused) {
  Fixture f;
  EXPECT_EQ(f.table.set(1000, u"Tick", 1, Args()), 0u);
  EXPECT_EQ(f.table.set(500, u"tock", 1, Args()), 1u);
  EXPECT_EQ(f.table.entry(0).proc_name, u"tick");  // stored lower-cased
  f.table.off(u"TICK");
  EXPECT_TRUE(f.table.entry(0).proc_name.empty());
  EXPECT_FALSE(f.table.running(0));
  EXPECT_TRUE(f.table.running(1));
  EXPECT_EQ(f.table.set(100, u"again", 2, Args()), 0u);
  EXPECT_EQ(f.table.entry(0).module_index, 2);
}

TEST(ScriptTimers, ArgumentCountDecidesTheShapeOfTheCall) {
  struct Case {
    std::vector<Variant> given;
    size_t expected_args;  // what the procedure receives
    bool one_array;
  };
  const Case cases[] = {
      {{}, 0, false},
      {longs({7}), 1, false},
      {longs({1, 2, 3, 4}), 4, false},
      {longs({1, 2, 3, 4, 5}), 1, true},
  };
  for (const Case& c : cases) {
    Fixture f;
    std::vector<Variant> given = c.given;
    size_t id = f.table.set(1000, u"p", 1, Args(given));
    f.table.dispatch(id);
    ASSERT_EQ(f.calls.size(), 1u);
    ASSERT_EQ(f.calls[0].args.size(), c.expected_args) << c.given.size() << " arguments";
    if (c.one_array) {
      ASSERT_TRUE(f.calls[0].args[0].is_array());
      EXPECT_EQ(f.calls[0].args[0].as_array()->items.size(), c.given.size());
    } else {
      for (size_t i = 0; i < c.expected_args; ++i) EXPECT_EQ(to_long(f.calls[0].args[i]), to_long(c.given[i]));
    }
  }
}

TEST(ScriptTimers, ChangedArgumentsAreSeenByTheNextTick) {
  Fixture f;
  f.body = [](Args a) { a.ref(0) = Variant(to_long(a[0]) + 1); };
  std::vector<Variant> given = longs({0});
  size_t id = f.table.set(1000, u"count", 1, Args(given));
  for (int i = 0; i < 3; ++i) f.table.dispatch(id);
  ASSERT_EQ(f.calls.size(), 3u);
  EXPECT_EQ(to_long(f.calls[0].args[0]), 0);
  EXPECT_EQ(to_long(f.calls[1].args[0]), 1);
  EXPECT_EQ(to_long(f.calls[2].args[0]), 2);
}

TEST(ScriptTimers, FiveArgumentsTravelAsOneArrayThatKeepsItsChanges) {
  Fixture f;
  f.body = [](Args a) {
    Variant& arr = a.ref(0);
    arr.array_mut()->items[4] = Variant(to_long(arr.as_array()->items[4]) * 2);
  };
  std::vector<Variant> given = longs({1, 2, 3, 4, 5});
  size_t id = f.table.set(1000, u"p", 1, Args(given));
  f.table.dispatch(id);
  f.table.dispatch(id);
  EXPECT_EQ(to_long(f.calls[1].args[0].as_array()->items[4]), 10);
}

TEST(ScriptTimers, ArgumentPassedByReferenceIsHeldAsAValue) {
  Fixture f;
  size_t id;
  {
    Variant local(int32_t{41});  // a procedure's local that dies when it returns
    Variant cell = Variant::by_ref(&local);
    id = f.table.set(1000, u"p", 1, Args(&cell, 1));
    local = Variant(int32_t{99});
  }
  f.table.dispatch(id);
  ASSERT_EQ(f.calls.size(), 1u);
  EXPECT_EQ(to_long(f.calls[0].args[0]), 41);
}

TEST(ScriptTimers, ProcedureThatFreesOrReusesItsEntryKeepsTheNewEntry) {
  Fixture f;
  std::vector<Variant> given = longs({0});
  size_t id = f.table.set(1000, u"p", 1, Args(given));
  f.body = [&](Args a) {
    a.ref(0) = Variant(int32_t{123});
    f.table.off(u"p");
    std::vector<Variant> other = longs({5});
    f.table.set(1000, u"q", 1, Args(other));  // takes the same slot
  };
  f.table.dispatch(id);
  EXPECT_EQ(f.table.entry(id).proc_name, u"q");
  EXPECT_EQ(to_long(f.table.entry(id).args.as_array()->items[0]), 5);
}

TEST(ScriptTimers, TicksForUnknownOrFreeEntriesRunNothing) {
  Fixture f;
  size_t id = f.table.set(1000, u"p", 1, Args());
  f.table.dispatch(id + 7);
  f.table.off(u"p");
  f.table.dispatch(id);
  EXPECT_TRUE(f.calls.empty());
}

TEST(ScriptTimers, SameNameTwiceFiresTwiceAndOneOffStopsBoth) {
  Fixture f;
  f.table.set(10, u"Blink", 3, Args());
  f.table.set(10, u"blink", 3, Args());
  EventLoop::TimerId stop = 0;
  stop = f.loop->set_timer(35, [&] {
    f.table.off(u"BLINK");
    f.loop->kill_timer(stop);
  });
  EXPECT_FALSE(f.loop->run());  // ends once both are off
  EXPECT_GE(f.calls.size(), 4u);
  EXPECT_FALSE(f.table.running(0));
  EXPECT_FALSE(f.table.running(1));
  for (const Call& c : f.calls) EXPECT_EQ(c.module, 3);
}

TEST(ScriptTimers, ResetStopsEveryTimerAndLeavesOneFreeEntry) {
  Fixture f;
  f.table.set(10, u"a", 1, Args());
  f.table.set(10, u"b", 1, Args());
  f.table.reset();
  EXPECT_EQ(f.table.size(), 1u);
  EXPECT_TRUE(f.table.entry(0).proc_name.empty());
  EXPECT_FALSE(f.loop->run());  // no timer is left in the loop
  EXPECT_TRUE(f.calls.empty());
}

}  // namespace
}  // namespace qz
