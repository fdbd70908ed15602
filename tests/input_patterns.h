#ifndef SORTING_TESTS_INPUT_PATTERNS_H
#define SORTING_TESTS_INPUT_PATTERNS_H

// The input distributions that sorting algorithms are judged on, shared by the
// tests, the benchmarks and the trace recorder (native and WebAssembly). Every
// pattern is reproducible from (pattern, size, seed) and holds values in
// [0, size). The random patterns draw from std::mt19937 directly, whose output
// the standard fixes, and shuffle and pick by hand: std::shuffle and
// std::uniform_int_distribution differ between standard libraries, and the
// recorder must make the same input under libstdc++ and libc++.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

namespace sorting_test {

enum class Pattern {
  kShuffled,    // a random permutation of 0 .. n-1
  kShuffled16,  // random values drawn from 16 distinct ones
  kAllEqual,    // n copies of one value
  kAscending,   // 0 .. n-1
  kDescending,  // n-1 .. 0
  kPipeOrgan,   // rises to the middle, then falls
  kPushFront,   // ascending, with the smallest element moved to the end
  kPushMiddle,  // ascending, with the middle element moved to the end
  kSawtooth,    // the run 0 .. 31, repeated
};

inline constexpr Pattern kAllPatterns[] = {
    Pattern::kShuffled,  Pattern::kShuffled16, Pattern::kAllEqual,
    Pattern::kAscending, Pattern::kDescending, Pattern::kPipeOrgan,
    Pattern::kPushFront, Pattern::kPushMiddle, Pattern::kSawtooth,
};

inline const char* PatternName(Pattern pattern) {
  switch (pattern) {
    case Pattern::kShuffled:
      return "shuffled";
    case Pattern::kShuffled16:
      return "shuffled_16_values";
    case Pattern::kAllEqual:
      return "all_equal";
    case Pattern::kAscending:
      return "ascending";
    case Pattern::kDescending:
      return "descending";
    case Pattern::kPipeOrgan:
      return "pipe_organ";
    case Pattern::kPushFront:
      return "push_front";
    case Pattern::kPushMiddle:
      return "push_middle";
    case Pattern::kSawtooth:
      return "sawtooth";
  }
  return "unknown";
}

// A uniform draw from [0, bound), bound > 0: raw outputs at or above the largest
// multiple of `bound` are rejected, so the remainder has no bias.
inline std::uint32_t Draw(std::mt19937& random, std::uint32_t bound) {
  const std::uint64_t range = std::uint64_t{1} << 32;
  const std::uint64_t limit = range - range % bound;
  std::uint64_t raw;
  do {
    raw = random();
  } while (raw >= limit);
  return static_cast<std::uint32_t>(raw % bound);
}

inline std::vector<int> MakePattern(Pattern pattern, std::size_t size, std::uint32_t seed = 1) {
  const int n = static_cast<int>(size);
  std::vector<int> values(size);
  std::iota(values.begin(), values.end(), 0);
  std::mt19937 random(seed);
  switch (pattern) {
    case Pattern::kShuffled:
      // Fisher-Yates, from the back.
      for (std::size_t i = size; i > 1; --i)
        std::swap(values[i - 1], values[Draw(random, static_cast<std::uint32_t>(i))]);
      break;
    case Pattern::kShuffled16: {
      if (n == 0)
        break;
      const int distinct = std::min(n, 16);
      for (int& value : values)
        value =
            static_cast<int>(Draw(random, static_cast<std::uint32_t>(distinct))) * (n / distinct);
      break;
    }
    case Pattern::kAllEqual:
      std::fill(values.begin(), values.end(), n / 2);
      break;
    case Pattern::kAscending:
      break;
    case Pattern::kDescending:
      std::reverse(values.begin(), values.end());
      break;
    case Pattern::kPipeOrgan:
      for (int i = 0; i < n; ++i)
        values[i] = i < n / 2 ? i : n - 1 - i;
      break;
    case Pattern::kPushFront:
      if (n > 0)
        std::rotate(values.begin(), values.begin() + 1, values.end());
      break;
    case Pattern::kPushMiddle:
      if (n > 0)
        std::rotate(values.begin() + n / 2, values.begin() + n / 2 + 1, values.end());
      break;
    case Pattern::kSawtooth:
      for (int i = 0; i < n; ++i)
        values[i] = i % 32;
      break;
  }
  return values;
}

}  // namespace sorting_test

#endif  // SORTING_TESTS_INPUT_PATTERNS_H
