// The shared input patterns keep the promises that the sort tests and the benchmarks
// rely on: the requested length, values in [0, size), reproducibility from the seed,
// and the shape that each pattern's name announces.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <numeric>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "support/input_patterns.h"

namespace sorting_patterns {
namespace {

constexpr std::size_t kSizes[] = {0, 1, 2, 3, 15, 16, 17, 100, 1001, 4000};

TEST(InputPatterns, HaveTheRequestedLengthAndValuesBelowIt) {
  for (const PatternEntry& pattern : kPatterns) {
    for (std::size_t size : kSizes) {
      const std::vector<int> values = MakePattern(pattern.pattern, size, 7);
      ASSERT_EQ(values.size(), size) << pattern.name;
      for (int value : values) {
        ASSERT_GE(value, 0) << pattern.name << ", size " << size;
        ASSERT_LT(value, static_cast<int>(size)) << pattern.name << ", size " << size;
      }
    }
  }
}

// Every algorithm in a benchmark must get the same input for a pattern and size.
TEST(InputPatterns, AreReproducibleFromTheSeed) {
  for (const PatternEntry& pattern : kPatterns) {
    EXPECT_EQ(MakePattern(pattern.pattern, 1000, 7), MakePattern(pattern.pattern, 1000, 7))
        << pattern.name;
  }
  EXPECT_NE(MakePattern(Pattern::kShuffled, 1000, 7), MakePattern(Pattern::kShuffled, 1000, 8));
  EXPECT_NE(MakePattern(Pattern::kShuffled16, 1000, 7), MakePattern(Pattern::kShuffled16, 1000, 8));
}

// Programs, pages and file names find a pattern by its name, so each names one.
TEST(InputPatterns, AreFoundByTheirOwnNames) {
  for (const PatternEntry& pattern : kPatterns)
    EXPECT_EQ(FindPattern(pattern.name), &pattern) << pattern.name;
  EXPECT_EQ(FindPattern("zigzag"), nullptr);
  EXPECT_EQ(FindPattern(""), nullptr);
}

std::vector<int> Iota(std::size_t size) {
  std::vector<int> values(size);
  std::iota(values.begin(), values.end(), 0);
  return values;
}

TEST(InputPatterns, HaveTheShapeTheirNamesAnnounce) {
  for (std::size_t size : kSizes) {
    SCOPED_TRACE(testing::Message() << "size " << size);
    const std::vector<int> ascending = MakePattern(Pattern::kAscending, size);
    EXPECT_EQ(ascending, Iota(size));

    std::vector<int> descending = MakePattern(Pattern::kDescending, size);
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(descending, Iota(size));

    std::vector<int> shuffled = MakePattern(Pattern::kShuffled, size);
    if (size >= 100) {
      EXPECT_FALSE(std::is_sorted(shuffled.begin(), shuffled.end()));
    }
    std::sort(shuffled.begin(), shuffled.end());
    EXPECT_EQ(shuffled, Iota(size));

    const std::vector<int> all_equal = MakePattern(Pattern::kAllEqual, size);
    EXPECT_LE(std::set<int>(all_equal.begin(), all_equal.end()).size(), 1u);

    // At most 16 distinct values, and all 16 once there are enough draws to find them.
    const std::vector<int> sixteen = MakePattern(Pattern::kShuffled16, size);
    const std::size_t distinct = std::set<int>(sixteen.begin(), sixteen.end()).size();
    EXPECT_LE(distinct, 16u);
    if (size >= 1000) {
      EXPECT_EQ(distinct, 16u);
    }

    // Pipe organ: rises to its largest value, then falls.
    const std::vector<int> organ = MakePattern(Pattern::kPipeOrgan, size);
    const auto peak = std::max_element(organ.begin(), organ.end());
    EXPECT_TRUE(std::is_sorted(organ.begin(), peak));
    EXPECT_TRUE(std::is_sorted(peak, organ.end(), std::greater<int>()));
    if (size >= 3) {
      EXPECT_TRUE(peak != organ.begin() && peak != organ.end() - 1) << "no rise or no fall";
    }

    // Push front and push middle: ascending but for one element moved to the end.
    if (size >= 2) {
      const std::vector<int> front = MakePattern(Pattern::kPushFront, size);
      EXPECT_TRUE(std::is_sorted(front.begin(), front.end() - 1));
      EXPECT_EQ(front.back(), 0);
      EXPECT_FALSE(std::is_sorted(front.begin(), front.end()));

      const std::vector<int> middle = MakePattern(Pattern::kPushMiddle, size);
      EXPECT_TRUE(std::is_sorted(middle.begin(), middle.end() - 1));
      EXPECT_EQ(middle.back(), static_cast<int>(size / 2));
    }

    // Sawtooth: ascending runs of 32 values, each starting again from 0.
    const std::vector<int> saw = MakePattern(Pattern::kSawtooth, size);
    for (std::size_t i = 0; i < size; ++i)
      ASSERT_EQ(saw[i], i % 32 == 0 ? 0 : saw[i - 1] + 1) << "index " << i;
  }
}

}  // namespace
}  // namespace sorting_patterns
