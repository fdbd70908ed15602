#ifndef SORTING_SUPPORT_INPUT_PATTERNS_H
#define SORTING_SUPPORT_INPUT_PATTERNS_H

// The input distributions that sorting algorithms are judged on, in one table
// shared by the tests, the benchmarks, the fuzzer and the trace recorder (native
// and WebAssembly), which shows their names and descriptions to its users.
// Every pattern is reproducible from (pattern, size, seed) and holds values in
// [0, size). The random patterns draw from std::mt19937 directly, whose output
// the standard fixes, and shuffle and pick by hand: std::shuffle and
// std::uniform_int_distribution differ between standard libraries, and the
// recorder must make the same input under libstdc++ and libc++.
//
// A new pattern is an enumerator, a row of kPatterns in the same place, and a
// case in MakePattern; everything else finds it through the table.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

namespace sorting_patterns {

enum class Pattern {
  kShuffled,
  kShuffled16,
  kAllEqual,
  kAscending,
  kDescending,
  kPipeOrgan,
  kPushFront,
  kPushMiddle,
  kSawtooth,
  kShuffled4,
};

struct PatternEntry {
  Pattern pattern;
  const char* name;         // how programs, pages and file names refer to it
  const char* description;  // one line for people
};

// Every pattern, in the order of the enumeration (checked below).
inline constexpr PatternEntry kPatterns[] = {
    {Pattern::kShuffled, "shuffled", "a random permutation of 0 to n-1"},
    {Pattern::kShuffled16, "shuffled_16_values", "random values drawn from 16 distinct ones"},
    {Pattern::kAllEqual, "all_equal", "n copies of one value"},
    {Pattern::kAscending, "ascending", "0 to n-1, already sorted"},
    {Pattern::kDescending, "descending", "n-1 down to 0, sorted the other way"},
    {Pattern::kPipeOrgan, "pipe_organ", "rises to the middle, then falls"},
    {Pattern::kPushFront, "push_front", "ascending, with the smallest value moved to the end"},
    {Pattern::kPushMiddle, "push_middle", "ascending, with the middle value moved to the end"},
    {Pattern::kSawtooth, "sawtooth", "the run 0 to 31, repeated"},
    {Pattern::kShuffled4, "shuffled_4_values",
     "random values drawn from 4 distinct ones: equal values to tell a stable sort by"},
};

constexpr bool ListedInEnumerationOrder() {
  for (std::size_t k = 0; k < std::size(kPatterns); ++k) {
    if (kPatterns[k].pattern != static_cast<Pattern>(k))
      return false;
  }
  return true;
}
static_assert(ListedInEnumerationOrder(),
              "kPatterns must list every Pattern once, in the order of the enumeration");

constexpr const PatternEntry& EntryOf(Pattern pattern) {
  return kPatterns[static_cast<std::size_t>(pattern)];
}

constexpr const char* PatternName(Pattern pattern) {
  return EntryOf(pattern).name;
}

// The pattern called `name`, or null when there is none.
inline const PatternEntry* FindPattern(const char* name) {
  for (const PatternEntry& entry : kPatterns) {
    if (std::strcmp(entry.name, name) == 0)
      return &entry;
  }
  return nullptr;
}

// Whether `names`, pattern names separated by spaces (such as a sort's
// quadratic_on in the library's table of sorts), holds the name of `pattern`.
inline bool ListsPattern(const char* names, Pattern pattern) {
  const char* const name = PatternName(pattern);
  const std::size_t length = std::strlen(name);
  for (const char* word = names; *word != '\0';) {
    const std::size_t word_length = std::strcspn(word, " ");
    if (word_length == length && std::strncmp(word, name, length) == 0)
      return true;
    word += word_length;
    word += std::strspn(word, " ");
  }
  return false;
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

// Fills `values` with draws from `distinct` values (fewer for fewer elements)
// spread evenly over [0, n).
inline void DrawFrom(std::vector<int>& values, std::mt19937& random, int distinct) {
  const int n = static_cast<int>(values.size());
  if (n == 0)
    return;
  distinct = std::min(n, distinct);
  for (int& value : values)
    value = static_cast<int>(Draw(random, static_cast<std::uint32_t>(distinct))) * (n / distinct);
}

// No default case: a pattern without its case here is a warning, an error in CI.
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
    case Pattern::kShuffled16:
      DrawFrom(values, random, 16);
      break;
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
    case Pattern::kShuffled4:
      DrawFrom(values, random, 4);
      break;
  }
  return values;
}

}  // namespace sorting_patterns

#endif  // SORTING_SUPPORT_INPUT_PATTERNS_H
