// Properties that every sort of the library shares, checked for each of them.

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "tests/input_patterns.h"
#include "tests/sort_test_support.h"

namespace sorting_test {
namespace {

bool Less(int a, int b) {
  return a < b;
}
bool Greater(int a, int b) {
  return a > b;
}

class SortProperties : public testing::TestWithParam<Sorter> {};

TEST_P(SortProperties, MatchesStdSortOnEveryPatternAndSize) {
  constexpr int kGuard = 0x5A5A5A5A;
  constexpr std::uint32_t kSeed = 2026;
  for (Pattern pattern : kAllPatterns) {
    for (std::size_t size : {0, 1, 2, 3, 11, 100, 1000}) {
      for (sorting::Comparator<int> comp : {Less, Greater}) {
        const std::vector<int> input = MakePattern(pattern, size, kSeed);
        std::vector<int> expected = input;
        std::sort(expected.begin(), expected.end(), comp);

        // Two guard elements on each side catch reads and writes outside the range.
        std::vector<int> work(size + 4, kGuard);
        std::copy(input.begin(), input.end(), work.begin() + 2);
        GetParam().ints(&work[2], &work[2] + size - 1, comp);

        const std::vector<int> result(work.begin() + 2, work.end() - 2);
        const char* direction = comp == Less ? "ascending" : "descending";
        EXPECT_EQ(result, expected)
            << PatternName(pattern) << ", size " << size << ", seed " << kSeed << ", " << direction;
        EXPECT_EQ(work[0], kGuard);
        EXPECT_EQ(work[1], kGuard);
        EXPECT_EQ(work[size + 2], kGuard);
        EXPECT_EQ(work[size + 3], kGuard);
      }
    }
  }
}

TEST_P(SortProperties, OrdersRecordsByKeyKeepingEveryRecord) {
  // Few keys, many records: most elements are equivalent to others without being equal.
  std::vector<Record> input;
  for (int tag = 0; tag < 300; ++tag)
    input.push_back({(tag * 7919) % 5, tag});

  std::vector<Record> result = input;
  GetParam().records(result.data(), result.data() + result.size() - 1, ByKey);

  std::vector<Record> stable = input;
  std::stable_sort(stable.begin(), stable.end(), ByKey);
  if (GetParam().stable) {
    EXPECT_EQ(result, stable);
  } else {
    EXPECT_TRUE(std::is_sorted(result.begin(), result.end(), ByKey));
    EXPECT_TRUE(std::is_permutation(result.begin(), result.end(), stable.begin()));
  }
}

TEST_P(SortProperties, LeavesRangesOfOneOrNoElementUntouched) {
  int values[] = {3, 2, 1};
  comparator_calls = 0;
  GetParam().ints(&values[1], &values[1], CountingLess);  // one element
  GetParam().ints(&values[1], &values[0], CountingLess);  // empty: last before first
  EXPECT_EQ(comparator_calls, 0);
  EXPECT_EQ(std::vector<int>(values, values + 3), (std::vector<int>{3, 2, 1}));
}

// The element count must not wrap at 2^31: a range of 2^31 + 5 elements has to be
// worked on, not taken for a tiny one. The range lies in a reserved mapping that
// is never filled; a comparator that throws on its first call stops the sort
// after it has touched only a few pages.
bool ThrowOnCall(int, int) {
  throw std::runtime_error("comparator called");
}

TEST_P(SortProperties, CountsRangesBeyondThirtyTwoBits) {
  constexpr std::size_t kCount = (std::size_t{1} << 31) + 5;
  void* mapping = mmap(nullptr, kCount * sizeof(int), PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapping == MAP_FAILED)
    GTEST_SKIP() << "cannot reserve " << kCount << " ints";
  int* first = static_cast<int*>(mapping);
  first[0] = 1;  // differs from its zero neighbour, so every sort must compare
  EXPECT_THROW(GetParam().ints(first, first + (kCount - 1), ThrowOnCall), std::runtime_error);
  munmap(mapping, kCount * sizeof(int));
}

INSTANTIATE_TEST_SUITE_P(AllSorts, SortProperties, testing::ValuesIn(kSorters),
                         [](const testing::TestParamInfo<Sorter>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace sorting_test
