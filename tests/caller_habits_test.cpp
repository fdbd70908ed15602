// The library under callers' habits: comparators that break the rules, element
// types whose namespace has functions named like the library's, comparators
// that keep state. Its tests run with a time limit (CTest's TIMEOUT), so a sort
// that hangs fails.

#include <algorithm>
#include <cstddef>
#include <functional>
#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <sorting/sort_table.h>
#include <sorting/sorting.h>

#include "support/sort_checks.h"

// Functions named like the library's in the namespace of the element type: a
// call of the library that argument-dependent lookup could reach would pick
// hijack's (an exact match, which does nothing) or be ambiguous with
// ambiguous's (templates, deleted).
namespace hijack {
struct Value {
  Value(int value = 0) : v(value) {}
  int v;
  friend bool operator==(Value a, Value b) { return a.v == b.v; }
};
using Compare = bool (*)(Value, Value);
Value* Partition(Value* first, Value* /*last*/, Compare /*comp*/) {
  return first;
}
void Merge(Value*, Value*, Value*, Compare) {}
void HeapSort(Value*, Value*, Compare) {}
void IntroSortStep(Value*, Value*, int, Compare) {}
void BubbleSort(Value*, Value*, Compare) {}
void QuickSort(Value*, Value*, Compare) {}
void MergeSort(Value*, Value*, Compare) {}
void IntroSort(Value*, Value*, Compare) {}
}  // namespace hijack

namespace ambiguous {
struct Value {
  Value(int value = 0) : v(value) {}
  int v;
  friend bool operator==(Value a, Value b) { return a.v == b.v; }
};
template <typename T, typename C>
T* Partition(T*, T*, C) = delete;
template <typename T, typename C>
void Merge(T*, T*, T*, C) = delete;
template <typename T, typename C>
void HeapSort(T*, T*, C) = delete;
template <typename T, typename C>
void IntroSortStep(T*, T*, int, C) = delete;
template <typename T, typename C>
void QuickSort(T*, T*, C) = delete;
template <typename T, typename C>
void MergeSort(T*, T*, C) = delete;
template <typename T, typename C>
void BubbleSort(T*, T*, C) = delete;
template <typename T, typename C>
void IntroSort(T*, T*, C) = delete;
}  // namespace ambiguous

namespace sorting_test {
namespace {

// 0 .. size - 1, shuffled by `seed`, or ascending for seed 0.
std::vector<int> Permutation(std::size_t size, unsigned seed) {
  std::vector<int> values(size);
  std::iota(values.begin(), values.end(), 0);
  if (seed != 0)
    std::shuffle(values.begin(), values.end(), std::mt19937(seed));
  return values;
}

long hostile_calls = 0;

// <= on the key, while == also compares the tag: two records with equal keys
// and different tags must each come before the other.
bool KeyLessOrEqual(Record a, Record b) {
  ++hostile_calls;
  return a.key <= b.key;
}

bool AlwaysTrue(int /*a*/, int /*b*/) {
  ++hostile_calls;
  return true;
}

class HostileComparators : public testing::TestWithParam<Sorter> {};

// Every sort ends, keeps its elements and stays within n^2 comparator calls.
TEST_P(HostileComparators, EndEverySort) {
  for (int keys : {1, 3}) {
    std::vector<Record> records(20);
    for (int tag = 0; tag < 20; ++tag)
      records[tag] = {tag % keys, tag};
    std::vector<Record> result = records;
    hostile_calls = 0;
    GetParam().records(result.data(), result.data() + result.size() - 1, KeyLessOrEqual);
    EXPECT_LE(hostile_calls, 20 * 20) << keys << " keys";
    EXPECT_TRUE(std::is_permutation(result.begin(), result.end(), records.begin()));
  }
  for (std::size_t size : {20, 200}) {
    const std::vector<int> values = Permutation(size, 7);
    std::vector<int> result = values;
    hostile_calls = 0;
    GetParam().ints(result.data(), result.data() + result.size() - 1, AlwaysTrue);
    EXPECT_LE(hostile_calls, static_cast<long>(size * size)) << "always true, size " << size;
    EXPECT_TRUE(std::is_permutation(result.begin(), result.end(), values.begin()));
  }
}

INSTANTIATE_TEST_SUITE_P(AllSorts, HostileComparators, testing::ValuesIn(kSorters),
                         [](const testing::TestParamInfo<Sorter>& info) {
                           return info.param.name;
                         });

template <typename Value>
bool ValueLess(Value a, Value b) {
  return a.v < b.v;
}

// Shuffled input, and sorted input, on which IntroSort hands over to HeapSort.
template <typename Value>
void ExpectEverySortCorrect() {
  for (const std::vector<int>& input : {Permutation(50, 3), Permutation(50, 0)}) {
    std::vector<Value> expected(50);
    std::iota(expected.begin(), expected.end(), 0);
    for (const auto& sort : sorting::kSorts<Value, bool (*)(Value, Value)>) {
      std::vector<Value> values(input.begin(), input.end());
      sort.sort(values.data(), values.data() + values.size() - 1, ValueLess<Value>);
      EXPECT_EQ(values, expected) << sort.name;
      values.assign(input.begin(), input.end());
      sort.whole(values, ValueLess<Value>);
      EXPECT_EQ(values, expected) << sort.name << ", container form";
    }
  }
}

TEST(ArgumentDependentLookup, FindsNoFunctionOfTheElementsNamespace) {
  ExpectEverySortCorrect<hijack::Value>();
  ExpectEverySortCorrect<ambiguous::Value>();
}

// A comparator's result of class type is used as bool only, as std::sort uses
// it. Verdict's own !, && and || (found by argument-dependent lookup) give the
// wrong answer and count their calls.
long verdict_operator_calls = 0;

struct Verdict {
  bool value;
  explicit operator bool() const { return value; }
  static bool Wrong(bool right) {
    ++verdict_operator_calls;
    return !right;
  }
  // Unused where the sorts are right, which is what the test checks: clang says so.
  [[maybe_unused]] friend bool operator!(Verdict v) { return Wrong(!v.value); }
  [[maybe_unused]] friend bool operator&&(Verdict a, bool b) { return Wrong(a.value && b); }
  [[maybe_unused]] friend bool operator&&(bool a, Verdict b) { return Wrong(a && b.value); }
  [[maybe_unused]] friend bool operator||(Verdict a, bool b) { return Wrong(a.value || b); }
  [[maybe_unused]] friend bool operator||(bool a, Verdict b) { return Wrong(a || b.value); }
};

struct VerdictLess {
  Verdict operator()(int a, int b) const { return Verdict{a < b}; }
};

TEST(ComparatorResults, AreUsedAsBoolOnly) {
  // Shuffled input, and sorted input, on which IntroSort hands over to HeapSort.
  for (const std::vector<int>& input : {Permutation(50, 3), Permutation(50, 0)}) {
    std::vector<int> expected = input;
    std::sort(expected.begin(), expected.end());
    for (const auto& sort : sorting::kSorts<int, VerdictLess>) {
      verdict_operator_calls = 0;
      std::vector<int> values = input;
      sort.sort(values.data(), values.data() + values.size() - 1, VerdictLess{});
      EXPECT_EQ(values, expected) << sort.name;
      values = input;
      sort.whole(values, VerdictLess{});
      EXPECT_EQ(values, expected) << sort.name << ", container form";
      EXPECT_EQ(verdict_operator_calls, 0) << sort.name << " used the result's own operators";
    }
  }
}

// Counts its own calls against the calls of every object of its type: a call
// on a copy made before the latest calls, or on one of two copies in turn,
// finds the counts apart.
long comparisons = 0;
long stray_calls = 0;

struct SelfCounting {
  long seen = 0;
  bool operator()(int a, int b) {
    ++comparisons;
    if (++seen != comparisons)
      ++stray_calls;
    return a < b;
  }
};

TEST(OneComparator, SeesEveryComparisonOfEverySort) {
  // Shuffled input, and sorted input, on which IntroSort hands over to HeapSort.
  for (const std::vector<int>& input : {Permutation(1000, 5), Permutation(1000, 0)}) {
    std::vector<int> expected = input;
    std::sort(expected.begin(), expected.end());
    for (const auto& sort : sorting::kSorts<int, SelfCounting>) {
      std::vector<int> values = input;
      comparisons = 0;
      stray_calls = 0;
      sort.whole(values, SelfCounting{});
      EXPECT_EQ(stray_calls, 0) << sort.name << " called a copy of its comparator";
      EXPECT_GT(comparisons, 0) << sort.name;
      EXPECT_EQ(values, expected) << sort.name;
    }
  }
  // With std::ref, that object is the caller's own.
  std::vector<int> values = Permutation(100, 1);
  SelfCounting counter;
  comparisons = 0;
  sorting::MergeSort(values, std::ref(counter));
  EXPECT_EQ(counter.seen, comparisons);
}

}  // namespace
}  // namespace sorting_test
