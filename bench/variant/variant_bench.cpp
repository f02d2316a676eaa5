// Micro-benchmarks of the operations every script statement leans on: copying values, integer
// arithmetic through Variant and string concatenation.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "com/convert.h"
#include "com/variant.h"

namespace qz {
namespace {

// Integer + the way the interpreter's fast path does it: Integer/Long stay unboxed, a Long
// overflow widens to Double, anything else falls back to the conversion rules.
Variant add(const Variant& a, const Variant& b) {
  if (a.is(VT::Long) && b.is(VT::Long)) {
    int32_t r;
    if (!__builtin_add_overflow(a.as_long(), b.as_long(), &r)) return Variant(r);
    return Variant(static_cast<double>(a.as_long()) + b.as_long());
  }
  if (a.is(VT::Integer) && b.is(VT::Integer)) {
    int32_t r = a.as_integer() + b.as_integer();
    if (r >= INT16_MIN && r <= INT16_MAX) return Variant(static_cast<int16_t>(r));
    return Variant(r);
  }
  return Variant(to_double(a) + to_double(b));
}

void BM_CopyLong(benchmark::State& state) {
  Variant v(int32_t{42});
  for (auto _ : state) {
    Variant c(v);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_CopyLong);

void BM_CopyString(benchmark::State& state) {
  Variant v(u"a string long enough not to be trivial to copy by value");
  for (auto _ : state) {
    Variant c(v);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_CopyString);

void BM_CopyArray(benchmark::State& state) {
  Variant v = Variant::new_array({ArrayDim{0, 1000}});
  for (auto _ : state) {
    Variant c(v);
    benchmark::DoNotOptimize(c);
  }
}
BENCHMARK(BM_CopyArray);

void BM_AssignVector(benchmark::State& state) {
  std::vector<Variant> src(256, Variant(u"text"));
  std::vector<Variant> dst(256);
  for (auto _ : state) {
    for (size_t i = 0; i < src.size(); ++i) dst[i] = src[i];
    benchmark::DoNotOptimize(dst.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(src.size()));
}
BENCHMARK(BM_AssignVector);

void BM_AddLong(benchmark::State& state) {
  Variant sum(int32_t{0});
  Variant one(int32_t{1});
  for (auto _ : state) {
    sum = add(sum, one);
    if (sum.as_long() > 1000000000) sum = Variant(int32_t{0});
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddLong);

void BM_AddMixedDouble(benchmark::State& state) {
  Variant sum(0.0);
  Variant one(int16_t{1});
  for (auto _ : state) {
    sum = add(sum, one);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_AddMixedDouble);

void BM_AddNumericString(benchmark::State& state) {
  Variant a(u"12.5");
  Variant b(int32_t{3});
  for (auto _ : state) {
    Variant r = add(a, b);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_AddNumericString);

void BM_ConcatShort(benchmark::State& state) {
  Str a(u"Hello, ");
  Str b(u"world");
  for (auto _ : state) {
    Str r = Str::concat(a, b);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_ConcatShort);

// s = s & "x" in a loop: the pattern scripts use to build output.
void BM_ConcatGrow(benchmark::State& state) {
  const int64_t n = state.range(0);
  Str piece(u"0123456789");
  for (auto _ : state) {
    Str s;
    for (int64_t i = 0; i < n; ++i) s = Str::concat(s, piece);
    benchmark::DoNotOptimize(s);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ConcatGrow)->Arg(100)->Arg(1000);

void BM_CStrDouble(benchmark::State& state) {
  Variant v(1.0 / 3.0);
  for (auto _ : state) {
    Str s = to_str(v);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_CStrDouble);

}  // namespace
}  // namespace qz
