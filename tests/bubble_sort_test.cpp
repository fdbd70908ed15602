// What is BubbleSort's own: its pass structure, seen through comparator calls.

#include <vector>

#include <gtest/gtest.h>

#include "support/input_patterns.h"
#include "support/sort_checks.h"

namespace sorting_test {
namespace {

using sorting_patterns::MakePattern;
using sorting_patterns::Pattern;

long CallsToSort(std::vector<int> values) {
  comparator_calls = 0;
  sorting::BubbleSort(values.data(), values.data() + values.size() - 1, CountingLess);
  return comparator_calls;
}

TEST(BubbleSort, SortedInputCostsOnePass) {
  EXPECT_EQ(CallsToSort(MakePattern(Pattern::kAscending, 50)), 49);
}

TEST(BubbleSort, EqualNeighboursNeverReachTheComparator) {
  EXPECT_EQ(CallsToSort(std::vector<int>(50, 7)), 0);
}

TEST(BubbleSort, ReversedInputCostsNFullPasses) {
  // Every pass scans the whole range, and the last one exchanges nothing.
  EXPECT_EQ(CallsToSort(MakePattern(Pattern::kDescending, 50)), 50 * 49);
}

}  // namespace
}  // namespace sorting_test
