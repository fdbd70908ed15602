// What is QuickSort's and IntroSort's own: the Partition step, comparator-call
// counts, IntroSort's depth budget, and the stack both use.

#include <pthread.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "support/input_patterns.h"
#include "support/sort_checks.h"

namespace sorting_test {
namespace {

using sorting_patterns::MakePattern;
using sorting_patterns::Pattern;

TEST(Partition, MovesSmallerElementsBeforeTheLastElementAsPivot) {
  std::vector<int> values = {5, 1, 4, 2, 3};
  comparator_calls = 0;
  int* pivot = sorting::Partition(values.data(), values.data() + 4, CountingLess);
  EXPECT_EQ(values, (std::vector<int>{1, 2, 3, 5, 4}));
  EXPECT_EQ(pivot, values.data() + 2);
  EXPECT_EQ(comparator_calls, 4);
}

TEST(Partition, PutsElementsEquivalentToThePivotAfterIt) {
  std::vector<Record> records = {{1, 0}, {2, 1}, {0, 2}, {1, 3}};
  Record* pivot = sorting::Partition(records.data(), records.data() + 3, ByKey);
  EXPECT_EQ(pivot, records.data() + 1);
  EXPECT_EQ(records, (std::vector<Record>{{0, 2}, {1, 3}, {1, 0}, {2, 1}}));
}

// Sorted input makes every partition peel off only its pivot: n - 1 partitions
// of count - 1 comparator calls each.
TEST(QuickSort, CallsTheComparatorCountMinusOneTimesPerPartition) {
  constexpr long n = 500;
  std::vector<int> values = MakePattern(Pattern::kAscending, n);
  comparator_calls = 0;
  sorting::QuickSort(values.data(), values.data() + n - 1, CountingLess);
  EXPECT_EQ(comparator_calls, n * (n - 1) / 2);
  EXPECT_EQ(values, MakePattern(Pattern::kAscending, n));
}

long HeapSortCalls(int n) {
  std::vector<int> values = MakePattern(Pattern::kAscending, n);
  comparator_calls = 0;
  sorting::HeapSort(values.data(), values.data() + n - 1, CountingLess);
  return comparator_calls;
}

// On sorted distinct values each partition peels off only its pivot, the
// largest element, until the budget of trunc(2 ln n) levels is spent; HeapSort
// then sorts the rest. The comparator-call count shows how many partitions ran.
TEST(IntroSort, PartitionsSortedInputUntilTheDepthBudgetIsSpent) {
  const struct {
    int count;
    int depth;
  } cases[] = {{3, 2}, {11, 4}, {100, 9}, {4000, 16}};
  for (const auto& c : cases) {
    long expected = 0;
    for (int k = c.count; k > c.count - c.depth; --k)
      expected += k - 1;
    expected += HeapSortCalls(c.count - c.depth);

    std::vector<int> values = MakePattern(Pattern::kAscending, c.count);
    comparator_calls = 0;
    sorting::IntroSort(values.data(), values.data() + c.count - 1, CountingLess);
    EXPECT_EQ(comparator_calls, expected) << "count " << c.count << ", depth " << c.depth;
    EXPECT_EQ(values, MakePattern(Pattern::kAscending, c.count));
  }
}

// The budget is int(2.0 * std::log(double(n))) for every count a std::ptrdiff_t
// holds. It comes from a table of the counts at which it grows: at each of them
// and one below it must agree with std::log, and in between neither changes, as
// the logarithm only grows.
TEST(IntroSort, DepthLimitIsTwiceTheLogarithmTruncatedForEveryCount) {
  const auto log_depth = [](std::ptrdiff_t n) {
    return static_cast<int>(2.0 * std::log(static_cast<double>(n)));
  };
  int depth = 0;
  for (const long long step : sorting::detail::kDepthSteps) {
    ++depth;
    const auto n = static_cast<std::ptrdiff_t>(step);
    EXPECT_EQ(log_depth(n), depth) << n;
    EXPECT_EQ(log_depth(n - 1), depth - 1) << n - 1;
    EXPECT_EQ(sorting::detail::DepthLimit(n), depth) << n;
    EXPECT_EQ(sorting::detail::DepthLimit(n - 1), depth - 1) << n - 1;
  }
  // No step is missing at the end.
  const std::ptrdiff_t largest = std::numeric_limits<std::ptrdiff_t>::max();
  EXPECT_EQ(log_depth(largest), depth);
  EXPECT_EQ(sorting::detail::DepthLimit(largest), depth);
}

TEST(IntroSort, PartitionsTwoElementsOnceWithoutHeapSort) {
  int values[] = {2, 1};
  comparator_calls = 0;
  sorting::IntroSort(values, values + 1, CountingLess);
  EXPECT_EQ(comparator_calls, 1);
  EXPECT_EQ(values[0], 1);
  EXPECT_EQ(values[1], 2);
}

// Sorted and all-equal input drive the pivot to an end at every partition. The
// stack must still hold only about log2(n) frames: the sort runs on a thread
// with a 256 KiB stack, where n - 1 nested calls would overflow.
struct StackCase {
  SortFunction<int> sort;
  std::vector<int> values;
};

void* SortOnThisThread(void* arg) {
  auto* c = static_cast<StackCase*>(arg);
  c->sort(c->values.data(), c->values.data() + c->values.size() - 1,
          [](int a, int b) { return a < b; });
  return nullptr;
}

TEST(PartitionSorts, KeepTheStackLogarithmicOnSortedAndEqualInput) {
  constexpr int n = 20000;
  for (SortFunction<int> sort :
       {SortFunction<int>{sorting::QuickSort<int>}, SortFunction<int>{sorting::IntroSort<int>}}) {
    for (const std::vector<int>& input :
         {MakePattern(Pattern::kAscending, n), std::vector<int>(n, 7)}) {
      StackCase c{sort, input};
      pthread_attr_t attributes;
      pthread_attr_init(&attributes);
      pthread_attr_setstacksize(&attributes, std::size_t{256} * 1024);
      pthread_t thread;
      ASSERT_EQ(pthread_create(&thread, &attributes, SortOnThisThread, &c), 0);
      pthread_join(thread, nullptr);
      pthread_attr_destroy(&attributes);
      EXPECT_TRUE(std::is_sorted(c.values.begin(), c.values.end()));
    }
  }
}

}  // namespace
}  // namespace sorting_test
