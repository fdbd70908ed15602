// Properties that every sort of the library shares, checked for each of them.

#include <pthread.h>
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <sorting/sort_table.h>

#include "support/input_patterns.h"
#include "support/sort_checks.h"

namespace sorting_test {
namespace {

using sorting_patterns::kPatterns;
using sorting_patterns::MakePattern;
using sorting_patterns::Pattern;
using sorting_patterns::PatternEntry;

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
  for (const PatternEntry& pattern : kPatterns) {
    for (std::size_t size : {0, 1, 2, 3, 11, 100, 1000}) {
      for (sorting::Comparator<int> comp : {Less, Greater}) {
        const std::vector<int> input = MakePattern(pattern.pattern, size, kSeed);
        std::vector<int> expected = input;
        std::sort(expected.begin(), expected.end(), comp);

        // Two guard elements on each side catch reads and writes outside the range.
        std::vector<int> work(size + 4, kGuard);
        std::copy(input.begin(), input.end(), work.begin() + 2);
        GetParam().ints(&work[2], &work[2] + size - 1, comp);

        const std::vector<int> result(work.begin() + 2, work.end() - 2);
        const char* direction = comp == Less ? "ascending" : "descending";
        EXPECT_EQ(result, expected)
            << pattern.name << ", size " << size << ", seed " << kSeed << ", " << direction;
        EXPECT_EQ(work[0], kGuard);
        EXPECT_EQ(work[1], kGuard);
        EXPECT_EQ(work[size + 2], kGuard);
        EXPECT_EQ(work[size + 3], kGuard);
      }
    }
  }
}

// The container form sorts exactly the elements its range holds, by the given
// comparator; an empty range with no storage at all is fine.
TEST_P(SortProperties, SortsAWholeContainerAndNothingBeyondIt) {
  constexpr int kGuard = 0x5A5A5A5A;
  for (std::size_t size : {1, 2, 3, 11, 100}) {
    const std::vector<int> input = MakePattern(Pattern::kShuffled, size, 7);
    std::vector<int> expected = input;
    std::sort(expected.begin(), expected.end(), std::greater<>());

    std::vector<int> work(size + 2, kGuard);
    std::copy(input.begin(), input.end(), work.begin() + 1);
    GetParam().whole(IntView{&work[1], size}, std::greater<>());
    EXPECT_EQ(std::vector<int>(work.begin() + 1, work.end() - 1), expected) << "size " << size;
    EXPECT_EQ(work.front(), kGuard);
    EXPECT_EQ(work.back(), kGuard);
  }
  GetParam().whole(IntView{nullptr, 0}, std::greater<>());
}

TEST_P(SortProperties, OrdersRecordsByKeyKeepingEveryRecord) {
  // Few keys, many records: most elements are equivalent to others without being equal.
  std::vector<Record> input;
  input.reserve(300);
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
    EXPECT_NE(result, stable) << "the table of sorts calls it unstable, yet it kept every tie";
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

// An empty std::vector's data() is null, and the habitual `data() + size() - 1`
// then points one element before it. The count, not an address comparison, has
// to tell that the range is empty.
TEST_P(SortProperties, LeavesAnEmptyRangeAtANullPointerUntouched) {
  int* const first = nullptr;
  // Formed through an integer, so that the test does no arithmetic on null itself.
  // NOLINTNEXTLINE(performance-no-int-to-ptr): that integer round trip is the point
  int* const last = reinterpret_cast<int*>(reinterpret_cast<std::uintptr_t>(first) - sizeof(int));
  comparator_calls = 0;
  GetParam().ints(first, last, CountingLess);
  EXPECT_EQ(comparator_calls, 0);
}

// A comparator that throws at its n-th call, for every n in turn, must leave a
// range that still holds every element of the input. Of the element types, a
// lost string (longer than the short-string buffer) leaves an empty moved-from
// one behind, and a lost unique_ptr a null.
struct Thrown {};
long throw_at_call = 0;

std::string LongString(int value) {
  return std::string(20, '.') + std::to_string(1000000 + value);  // 27 characters
}

int ValueOf(int value) {
  return value;
}
int ValueOf(const std::string& text) {
  return text.size() == 27 ? std::stoi(text.substr(20)) - 1000000 : -1;
}
int ValueOf(const std::unique_ptr<int>& pointer) {
  return pointer != nullptr ? *pointer : -1;
}

bool ThrowingLess(int a, int b) {
  if (++comparator_calls == throw_at_call)
    throw Thrown();
  return a < b;
}

// Strings of one length compare as their numbers do.
template <typename T>
bool ThrowingLessByReference(const T& a, const T& b) {
  if (++comparator_calls == throw_at_call)
    throw Thrown();
  if constexpr (std::is_same_v<T, std::string>)
    return a < b;
  else
    return ValueOf(a) < ValueOf(b);
}

template <typename T, typename Compare, typename Make>
void ExpectEveryElementKeptWhenThrown(SortFunction<T, Compare> sort, Compare comp, Make make) {
  for (const PatternEntry& pattern : kPatterns) {
    for (std::size_t size : {2, 3, 5, 11, 40, 60}) {
      const std::vector<int> input = MakePattern(pattern.pattern, size, 11);
      for (throw_at_call = 1;; ++throw_at_call) {
        std::vector<T> values;
        values.reserve(size);
        for (int value : input)
          values.push_back(make(value));
        comparator_calls = 0;
        bool threw = false;
        try {
          sort(values.data(), values.data() + size - 1, comp);
        } catch (const Thrown&) {
          threw = true;
        }
        std::vector<int> kept;
        kept.reserve(size);
        for (const T& value : values)
          kept.push_back(ValueOf(value));
        ASSERT_TRUE(std::is_permutation(kept.begin(), kept.end(), input.begin()))
            << pattern.name << ", size " << size << ", thrown at call " << throw_at_call;
        // The exception leaves the sort, and the comparator is not called after it.
        ASSERT_EQ(threw, comparator_calls == throw_at_call) << pattern.name << ", size " << size;
        ASSERT_LE(comparator_calls, throw_at_call) << pattern.name << ", size " << size;
        if (!threw)
          break;
      }
    }
  }
}

// The sorts that take move-only elements: QuickSort and IntroSort copy the pivot,
// and reject them at compile time.
using Owner = std::unique_ptr<int>;
constexpr std::pair<std::string_view, SortFunction<Owner, ByReference<Owner>>> kMoveOnlySorts[] = {
    {"BubbleSort", sorting::BubbleSort<Owner, ByReference<Owner>>},
    {"HeapSort", sorting::HeapSort<Owner, ByReference<Owner>>},
    {"MergeSort", sorting::MergeSort<Owner, ByReference<Owner>>},
};

constexpr bool AreSortsOfTheTable() {
  for (const auto& sort : kMoveOnlySorts) {
    bool found = false;
    for (const Sorter& sorter : kSorters)
      found = found || sort.first == sorter.name;
    if (!found)
      return false;
  }
  return true;
}
static_assert(AreSortsOfTheTable(), "kMoveOnlySorts names a sort that the table does not have");

TEST_P(SortProperties, KeepsEveryElementWhenTheComparatorThrows) {
  {
    SCOPED_TRACE("int");
    ExpectEveryElementKeptWhenThrown(GetParam().ints, ThrowingLess, [](int v) { return v; });
  }
  {
    SCOPED_TRACE("std::string");
    ExpectEveryElementKeptWhenThrown(GetParam().strings, ThrowingLessByReference<std::string>,
                                     LongString);
  }
  for (const auto& [name, sort] : kMoveOnlySorts) {
    if (name == GetParam().name) {
      SCOPED_TRACE("std::unique_ptr");
      ExpectEveryElementKeptWhenThrown(sort, ThrowingLessByReference<Owner>,
                                       [](int v) { return std::make_unique<int>(v); });
    }
  }
}

// The element count must not wrap at 2^31: a range of 2^31 + 5 elements has to be
// worked on, not taken for a tiny one. The range lies in a reserved mapping that
// is never filled. The sort runs on a thread of its own, which its comparator
// ends at the first call: that unwinding goes through every sort at once (an
// exception would let HeapSort's heap operation finish its pass over every page
// first), so the sort touches only a few pages.
int first_call = 0;

struct HugeRange {
  SortFunction<int> sort;
  int* first;
  int* last;
};

void* SortHugeRange(void* argument) {
  const auto* range = static_cast<HugeRange*>(argument);
  range->sort(range->first, range->last, [](int, int) -> bool { pthread_exit(&first_call); });
  return nullptr;
}

TEST_P(SortProperties, CountsRangesBeyondThirtyTwoBits) {
  constexpr std::size_t kCount = (std::size_t{1} << 31) + 5;
  void* mapping = mmap(nullptr, kCount * sizeof(int), PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  if (mapping == MAP_FAILED)
    GTEST_SKIP() << "cannot reserve " << kCount << " ints";
  int* first = static_cast<int*>(mapping);
  first[0] = 1;  // differs from its zero neighbour, so every sort must compare
  HugeRange range{GetParam().ints, first, first + (kCount - 1)};
  pthread_t thread;
  ASSERT_EQ(pthread_create(&thread, nullptr, SortHugeRange, &range), 0);
  void* ended_by = nullptr;
  pthread_join(thread, &ended_by);
  EXPECT_EQ(ended_by, &first_call) << "no comparator call: the count was taken for a small one";
  munmap(mapping, kCount * sizeof(int));
}

// An element type with its own swap, as a type whose copies are expensive and
// whose exchange is cheap has; the sorts that exchange elements must use it.
long own_swaps = 0;

struct Exchangeable {
  int value;
  std::vector<int> payload;  // not trivially copyable, as such types are
  friend void swap(Exchangeable& a, Exchangeable& b) noexcept {
    ++own_swaps;
    std::swap(a.value, b.value);
    a.payload.swap(b.payload);
  }
  friend bool operator==(const Exchangeable& a, const Exchangeable& b) {
    return a.value == b.value;
  }
};

// By value, as sorting::Comparator<Exchangeable> takes its arguments.
// NOLINTNEXTLINE(performance-unnecessary-value-param)
bool ByValue(Exchangeable a, Exchangeable b) {
  return a.value < b.value;
}

TEST(ElementExchange, UsesTheElementTypesOwnSwap) {
  for (const auto& entry : sorting::kSorts<Exchangeable>) {
    SCOPED_TRACE(entry.name);
    std::vector<Exchangeable> values;
    for (int value : MakePattern(Pattern::kShuffled, 100))
      values.push_back({value, {value}});
    own_swaps = 0;
    entry.sort(values.data(), values.data() + values.size() - 1, ByValue);
    // HeapSort exchanges nothing itself: the standard heap operations move elements.
    if (std::string_view(entry.name) != "HeapSort") {
      EXPECT_GT(own_swaps, 0);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
      ASSERT_EQ(values[i].value, static_cast<int>(i));
      ASSERT_EQ(values[i].payload, std::vector<int>{values[i].value});
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllSorts, SortProperties, testing::ValuesIn(kSorters),
                         [](const testing::TestParamInfo<Sorter>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace sorting_test
