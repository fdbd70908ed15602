// What is MergeSort's own: the buffer-free Merge and the order it gives ties.

#include <vector>

#include <gtest/gtest.h>

#include "support/sort_checks.h"

namespace sorting_test {
namespace {

TEST(Merge, CarriesRightRunElementsDownToTheirPlace) {
  std::vector<int> values = {1, 4, 2, 3};
  comparator_calls = 0;
  sorting::Merge(values.data(), values.data() + 2, values.data() + 3, CountingLess);
  EXPECT_EQ(values, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(comparator_calls, 3);  // 1 < 2, then 4 against 2, then 4 against 3
}

TEST(Merge, ChangesNothingWhenMidIsOutOfOrder) {
  std::vector<int> values = {4, 3, 2, 1};
  int* first = values.data();
  int* last = values.data() + 2;  // the range [4, 3, 2]; 1 stands outside
  comparator_calls = 0;
  sorting::Merge(first + 1, first, last, CountingLess);  // first after mid
  sorting::Merge(first, last + 1, last, CountingLess);   // mid after last
  EXPECT_EQ(values, (std::vector<int>{4, 3, 2, 1}));
  EXPECT_EQ(comparator_calls, 0);
}

// Ties go to the right run: of two equivalent records on both sides of a split,
// the right one is carried in front of the left one.
TEST(MergeSort, MovesTheRightOfTwoEquivalentElementsFirst) {
  std::vector<Record> pair = {{2, 0}, {2, 1}};
  sorting::MergeSort(pair.data(), pair.data() + 1, ByKey);
  EXPECT_EQ(pair, (std::vector<Record>{{2, 1}, {2, 0}}));

  std::vector<Record> runs = {{1, 0}, {2, 1}, {2, 2}, {3, 3}};
  sorting::Merge(runs.data(), runs.data() + 2, runs.data() + 3, ByKey);
  EXPECT_EQ(runs, (std::vector<Record>{{1, 0}, {2, 2}, {2, 1}, {3, 3}}));
}

}  // namespace
}  // namespace sorting_test
