// The benchmark suite: the library's five sorts, and std::sort and std::stable_sort as
// baselines, over the shared input patterns at sizes from 16 to 2^20 elements. Every
// algorithm is timed with a function-pointer comparator, as the demonstration calls it;
// the five sorts and std::sort also with a lambda the compiler inlines, in the families
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
#include <vector>

#include <benchmark/benchmark.h>

#include "tests/input_patterns.h"
#include "tests/sort_test_support.h"

namespace sorting_bench {
namespace {

using sorting_test::Pattern;

constexpr std::uint32_t kSeed = 2026;
constexpr std::int64_t kMinSize = 16;
constexpr std::int64_t kMaxSize = std::int64_t{1} << 20;
// Not a power of two: the README's table of comparator calls is taken at this size.
constexpr std::int64_t kTableSize = 4000;
// Where the quadratic cases stop: BubbleSort needs about 0.6 s for one sort of 2^14
// shuffled values here, and 16 times that at 2^16.
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

// The baselines, with the library's inclusive range and the same comparator type.
void StdSort(int* first, int* last, sorting::Comparator<int> comp) {
  std::sort(first, last + 1, comp);
}
void StdStableSort(int* first, int* last, sorting::Comparator<int> comp) {
  std::stable_sort(first, last + 1, comp);
}

struct Algorithm {
  const char* name;
  sorting_test::SortFunction<int> sort;
  // The same sort with kInlinedLess; null where there is no lambda series.
  void (*inlined)(int* first, int* last);
  // Patterns on which the cost grows as n^2, so the case stops at the quadratic limit.
  // Found by doubling n from 2048 to 4096: comparator calls grow 3.4- to 4-fold for
  // BubbleSort and QuickSort there, against about 2.2-fold for n log n. MergeSort's
  // calls stay n log n, but its in-place merge moves each element of a right run past
  // every larger element of the left run, so its element moves grow as n^2.
  std::vector<Pattern> quadratic_on;
};

const Algorithm kAlgorithms[] = {
    {"std::sort",
     StdSort,
     [](int* first, int* last) { std::sort(first, last + 1, kInlinedLess); },
     {}},
    {"std::stable_sort", StdStableSort, nullptr, {}},
    {"BubbleSort",
     sorting::BubbleSort<int>,
     [](int* first, int* last) { sorting::BubbleSort(first, last, kInlinedLess); },
     {Pattern::kShuffled, Pattern::kShuffled16, Pattern::kDescending, Pattern::kPipeOrgan,
      Pattern::kPushFront, Pattern::kPushMiddle, Pattern::kSawtooth}},
    // Every pattern but a shuffle of distinct values drives its last-element pivot to an
    // end, or makes many partitions of runs of equal values.
    {"QuickSort",
     sorting::QuickSort<int>,
     [](int* first, int* last) { sorting::QuickSort(first, last, kInlinedLess); },
     {Pattern::kShuffled16, Pattern::kAllEqual, Pattern::kAscending, Pattern::kDescending,
      Pattern::kPipeOrgan, Pattern::kPushFront, Pattern::kPushMiddle, Pattern::kSawtooth}},
    {"HeapSort",
     sorting::HeapSort<int>,
     [](int* first, int* last) { sorting::HeapSort(first, last, kInlinedLess); },
     {}},
    {"MergeSort",
     sorting::MergeSort<int>,
     [](int* first, int* last) { sorting::MergeSort(first, last, kInlinedLess); },
     {Pattern::kShuffled, Pattern::kShuffled16, Pattern::kAllEqual, Pattern::kDescending,
      Pattern::kPipeOrgan, Pattern::kSawtooth}},
    {"IntroSort",
     sorting::IntroSort<int>,
     [](int* first, int* last) { sorting::IntroSort(first, last, kInlinedLess); },
     {}},
};

// One case: `algorithm` on `pattern` at n = state.range(0), with its lambda when
// `inlined` and with the function pointer Less otherwise. Only the sorts are timed
// (manual time): copying the inputs in, counting comparator calls and checking the
// results happen outside the timed region.
void SortCase(benchmark::State& state, const Algorithm& algorithm, Pattern pattern, bool inlined) {
  const std::int64_t n = state.range(0);
  const std::int64_t copies = std::max<std::int64_t>(1, kPoolElements / n);
  std::vector<int> inputs;
  inputs.reserve(copies * n);
  for (std::int64_t copy = 0; copy < copies; ++copy) {
    const std::vector<int> input =
        sorting_test::MakePattern(pattern, n, kSeed + static_cast<std::uint32_t>(copy));
    inputs.insert(inputs.end(), input.begin(), input.end());
  }

  std::vector<int> work(inputs.begin(), inputs.begin() + n);
  sorting_test::comparator_calls = 0;
  algorithm.sort(&work[0], &work[n - 1], sorting_test::CountingLess);
  const double calls = static_cast<double>(sorting_test::comparator_calls);

  work.resize(inputs.size());
  double seconds = 0;
  while (state.KeepRunningBatch(copies)) {
    std::copy(inputs.begin(), inputs.end(), work.begin());
    const auto start = std::chrono::steady_clock::now();
    for (std::int64_t first = 0; first < copies * n; first += n) {
      if (inlined)
        algorithm.inlined(&work[first], &work[first + n - 1]);
      else
        algorithm.sort(&work[first], &work[first + n - 1], Less);
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

// Registers one family per algorithm and pattern, named "Algorithm/pattern", and one
// named "Algorithm_lambda/pattern" where the algorithm has a lambda series, over the
// powers of two from kMinSize to its limit, plus kTableSize.
void RegisterCases(bool full) {
  for (Pattern pattern : sorting_test::kAllPatterns) {
    for (const Algorithm& algorithm : kAlgorithms) {
      const bool quadratic =
          std::count(algorithm.quadratic_on.begin(), algorithm.quadratic_on.end(), pattern) > 0;
      const std::int64_t max_size = !quadratic ? kMaxSize
                                    : full     ? kQuadraticMaxFull
                                               : kQuadraticMax;
      for (const bool inlined : {false, true}) {
        if (inlined && algorithm.inlined == nullptr)
          continue;
        const std::string name = std::string(algorithm.name) + (inlined ? "_lambda/" : "/") +
                                 sorting_test::PatternName(pattern);
        benchmark::internal::Benchmark* family =
            benchmark::RegisterBenchmark(name.c_str(), SortCase, algorithm, pattern, inlined);
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
