#include <gtest/gtest.h>

#include "builtin_call.h"
#include "script/builtins/random.h"

namespace qz::test {
namespace {

// The generator's own state, restored after each test: Rnd is process-wide.
class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = script_random().state(); script_random().set_state(ScriptRandom::kInitialState); }
  void TearDown() override { script_random().set_state(saved_); }
  uint32_t saved_ = 0;
};

TEST_F(RandomTest, FirstValuesWithoutRandomize) {
  EXPECT_EQ(run(u"Rnd", {}), "Single:0.7055475");
  EXPECT_EQ(run(u"Rnd", {}), "Single:0.533424");
  EXPECT_EQ(run(u"Rnd", {i16(1)}), "Single:0.5795186");
  EXPECT_EQ(run(u"Rnd", {}), "Single:0.2895625");
  EXPECT_EQ(run(u"Rnd", {}), "Single:0.301948");
}

TEST_F(RandomTest, ZeroRepeatsAndNegativeReseeds) {
  std::string first = run(u"Rnd", {});
  EXPECT_EQ(run(u"Rnd", {i16(0)}), first);
  EXPECT_EQ(run(u"Rnd", {i16(0)}), first);
  // A negative argument gives the same value every time, whatever came before.
  std::string a = run(u"Rnd", {i16(-1)});
  run(u"Rnd", {});
  EXPECT_EQ(run(u"Rnd", {i16(-1)}), a);
  EXPECT_EQ(a, "Single:0.224007");
  EXPECT_NE(run(u"Rnd", {i16(-2)}), a);
}

TEST_F(RandomTest, RandomizeWithASeedAfterNegativeRndRepeats) {
  auto sequence = [] {
    call_builtin(u"Rnd", {i16(-1)});
    call_builtin(u"Randomize", {i16(10)});
    std::string s;
    for (int i = 0; i < 3; ++i) s += run(u"Rnd", {}) + " ";
    return s;
  };
  std::string first = sequence();
  EXPECT_EQ(sequence(), first);
  // Randomize keeps the state's low byte, so the same seed alone does not restart a sequence.
  call_builtin(u"Randomize", {i16(10)});
  std::string again;
  for (int i = 0; i < 3; ++i) again += run(u"Rnd", {}) + " ";
  EXPECT_NE(again, first);
}

TEST_F(RandomTest, ReseedDependsOnTheValueAlone) {
  ScriptRandom a, b;
  b.next();
  b.next();
  EXPECT_EQ(a.reseed(0.0f), b.reseed(0.0f));
  EXPECT_EQ(a.reseed(-37.0f), b.reseed(-37.0f));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(a.next(), b.next());
  float v = a.next();
  EXPECT_GE(v, 0.0f);
  EXPECT_LT(v, 1.0f);
}

}  // namespace
}  // namespace qz::test
