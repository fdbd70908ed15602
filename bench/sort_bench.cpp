// The benchmark suite: the library's sorts, and std::sort and std::stable_sort as
// baselines, over the shared input patterns at sizes from 16 to 2^20 elements. Every
// algorithm is timed with a function-pointer comparator, as the demonstration calls it;
// the library's sorts and std::sort also with a lambda the compiler inlines, in the families
// named "<algorithm>_lambda". Each case reports its time and comparator calls per
// element; each family of one algorithm on one pattern also reports the growth that
// Google Benchmark fits to its times.
//
//   sort_bench [--full] [Google Benchmark flags, e.g. --benchmark_out=bench.csv]
//
// --full lets the quadratic cases run up to 2^16 elements instead of 2^14.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <string>
#include <type_traits>
#include <vector>

#include <benchmark/benchmark.h>
#include <sorting/sort_table.h>

#include "support/input_patterns.h"
#include "support/sort_checks.h"

namespace sorting_bench {
namespace {

using sorting::SortFunction;
using sorting_patterns::Pattern;

constexpr std::uint32_t kSeed = 2026;
constexpr std::int64_t kMinSize = 16;
constexpr std::int64_t kMaxSize = std::int64_t{1} << 20;
// Not a power of two: the README's table of comparator calls is taken at this size.
constexpr std::int64_t kTableSize = 4000;
// Where the quadratic cases (the patterns a sort's quadratic_on names in the library's
// table) stop: BubbleSort needs about 0.6 s for one sort of 2^14 shuffled values here,
// and 16 times that at 2^16.
constexpr std::int64_t kQuadraticMax = std::int64_t{1} << 14;
constexpr std::int64_t kQuadraticMaxFull = std::int64_t{1} << 16;
// Each case sorts a pool of different inputs of its pattern, made from the seeds kSeed,
// kSeed + 1, ..., with at least this many elements in all. A branch predictor learns the
// comparisons of one input sorted over and over: here std::sort ran 1024 shuffled values
// 2.5 times faster when it sorted the same input each time than over 64 different ones,
// and pools larger than 2^16 elements changed its time by less than a tenth. Timing the
// whole pool at once also keeps reading the clock a negligible part of the timed region.
constexpr std::int64_t kPoolElements = std::int64_t{1} << 16;

bool Less(int a, int b) {
  return a < b;
}
// The same order as a lambda: its type names the function, so the sort's instantiation
// calls it directly and the compiler inlines it.
constexpr auto kInlinedLess = [](int a, int b) { return a < b; };
using InlinedLess = std::remove_const_t<decltype(kInlinedLess)>;

// The baselines, with the library's inclusive range and the same comparator types.
void StdSort(int* first, int* last, sorting::Comparator<int> comp) {
  std::sort(first, last + 1, comp);
}
void StdSortInlined(int* first, int* last, InlinedLess comp) {
  std::sort(first, last + 1, comp);
}
void StdStableSort(int* first, int* last, sorting::Comparator<int> comp) {
  std::stable_sort(first, last + 1, comp);
}

// What is timed: a baseline, or a sort of the library's table.
struct Contender {
  std::string name;
  SortFunction<int> sort;
  // The same sort with kInlinedLess; null where there is no lambda series.
  SortFunction<int, InlinedLess> inlined;
  // Pattern names, as in the table: the cases on these stop at the quadratic limit.
  const char* quadratic_on;
};

std::vector<Contender> Contenders() {
  std::vector<Contender> contenders = {{"std::sort", StdSort, StdSortInlined, ""},
                                       {"std::stable_sort", StdStableSort, nullptr, ""}};
  for (std::size_t k = 0; k < std::size(sorting::kSorts<int>); ++k) {
    const auto& entry = sorting::kSorts<int>[k];
    contenders.push_back(
        {entry.name, entry.sort, sorting::kSorts<int, InlinedLess>[k].sort, entry.quadratic_on});
  }
  return contenders;
}

// One case: `contender` on `pattern` at n = state.range(0), with its lambda when
// `inlined` and with the function pointer Less otherwise. Only the sorts are timed
// (manual time): copying the inputs in, counting comparator calls and checking the
// results happen outside the timed region.
void SortCase(benchmark::State& state, const Contender& contender, Pattern pattern, bool inlined) {
  const std::int64_t n = state.range(0);
  const std::int64_t copies = std::max<std::int64_t>(1, kPoolElements / n);
  std::vector<int> inputs;
  inputs.reserve(copies * n);
  for (std::int64_t copy = 0; copy < copies; ++copy) {
    const std::vector<int> input =
        sorting_patterns::MakePattern(pattern, n, kSeed + static_cast<std::uint32_t>(copy));
    inputs.insert(inputs.end(), input.begin(), input.end());
  }

  std::vector<int> work(inputs.begin(), inputs.begin() + n);
  sorting_test::comparator_calls = 0;
  contender.sort(&work[0], &work[n - 1], sorting_test::CountingLess);
  const double calls = static_cast<double>(sorting_test::comparator_calls);

  work.resize(inputs.size());
  double seconds = 0;
  while (state.KeepRunningBatch(copies)) {
    std::copy(inputs.begin(), inputs.end(), work.begin());
    const auto start = std::chrono::steady_clock::now();
    for (std::int64_t first = 0; first < copies * n; first += n) {
      if (inlined)
        contender.inlined(&work[first], &work[first + n - 1], kInlinedLess);
      else
        contender.sort(&work[first], &work[first + n - 1], Less);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());
    seconds += elapsed.count();
  }

  for (std::int64_t first = 0; first < copies * n; first += n) {
    if (!std::is_sorted(work.data() + first, work.data() + first + n, Less)) {
      state.SkipWithError("the output is not sorted");
      return;
    }
  }
  const double elements = static_cast<double>(state.iterations()) * static_cast<double>(n);
  state.counters["ns_per_element"] = seconds * 1e9 / elements;
  state.counters["calls_per_element"] = calls / static_cast<double>(n);
  state.SetComplexityN(n);
}

// Registers one family per contender and pattern, named "Algorithm/pattern", and one
// named "Algorithm_lambda/pattern" where the contender has a lambda series, over the
// powers of two from kMinSize to its limit, plus kTableSize.
void RegisterCases(bool full) {
  // Google Benchmark keeps a copy of every argument of a family.
  const std::vector<Contender> contenders = Contenders();
  for (const sorting_patterns::PatternEntry& entry : sorting_patterns::kPatterns) {
    const Pattern pattern = entry.pattern;
    for (const Contender& contender : contenders) {
      const bool quadratic = sorting_patterns::ListsPattern(contender.quadratic_on, pattern);
      const std::int64_t max_size = !quadratic ? kMaxSize
                                    : full     ? kQuadraticMaxFull
                                               : kQuadraticMax;
      for (const bool inlined : {false, true}) {
        if (inlined && contender.inlined == nullptr)
          continue;
        const std::string name = contender.name + (inlined ? "_lambda/" : "/") + entry.name;
        benchmark::internal::Benchmark* family =
            benchmark::RegisterBenchmark(name.c_str(), SortCase, contender, pattern, inlined);
        family->UseManualTime()->Complexity()->Unit(benchmark::kMicrosecond);
        for (std::int64_t n = kMinSize; n <= max_size; n *= 2) {
          family->Arg(n);
          if (n < kTableSize && kTableSize < 2 * n)
            family->Arg(kTableSize);
        }
      }
    }
  }
}

}  // namespace
}  // namespace sorting_bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  bool full = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--full") == 0) {
      full = true;
    } else {
      std::cerr << "sort_bench: unknown argument " << argv[i] << '\n';
      return 2;
    }
  }
  sorting_bench::RegisterCases(full);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
