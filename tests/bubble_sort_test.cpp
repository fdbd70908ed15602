// What is BubbleSort's own: its pass structure, seen through comparator calls.

#include <numeric>
#include <vector>

#include <gtest/gtest.h>

#include "tests/sort_test_support.h"

namespace sorting_test {
namespace {

std::vector<int> Ascending(int n) {
  std::vector<int> values(n);
  std::iota(values.begin(), values.end(), 0);
  return values;
}

long CallsToSort(std::vector<int> values) {
  comparator_calls = 0;
  sorting::BubbleSort(values.data(), values.data() + values.size() - 1, CountingLess);
  return comparator_calls;
}

TEST(BubbleSort, SortedInputCostsOnePass) {
  EXPECT_EQ(CallsToSort(Ascending(50)), 49);
}

TEST(BubbleSort, EqualNeighboursNeverReachTheComparator) {
  EXPECT_EQ(CallsToSort(std::vector<int>(50, 7)), 0);
}

TEST(BubbleSort, ReversedInputCostsNFullPasses) {
  // Every pass scans the whole range, and the last one exchanges nothing.
  std::vector<int> reversed = Ascending(50);
  std::reverse(reversed.begin(), reversed.end());
  EXPECT_EQ(CallsToSort(reversed), 50 * 49);
}

}  // namespace
}  // namespace sorting_test
