#ifndef SORTING_SUPPORT_SORT_CHECKS_H
#define SORTING_SUPPORT_SORT_CHECKS_H

// What the tests and the fuzzer share to check the sorts: a record type whose
// elements can be equivalent without being equal, comparators that count, and
// kSorters, the library's table of sorts seen over the element types they check.

#include <array>
#include <cstddef>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>

#include <sorting/sort_table.h>
#include <sorting/sorting.h>

namespace sorting_test {

using sorting::SortFunction;

// Ordered by key only; the tag tells equivalent records apart.
struct Record {
  int key;
  int tag;
  friend bool operator==(const Record& a, const Record& b) {
    return a.key == b.key && a.tag == b.tag;
  }
  friend std::ostream& operator<<(std::ostream& out, const Record& r) {
    return out << '{' << r.key << ',' << r.tag << '}';
  }
};

inline bool ByKey(Record a, Record b) {
  return a.key < b.key;
}

// Comparator calls made since the count was last reset.
inline long comparator_calls = 0;

inline bool CountingLess(int a, int b) {
  ++comparator_calls;
  return a < b;
}

inline bool CountingGreater(int a, int b) {
  ++comparator_calls;
  return a > b;
}

// A view of part of an array, for the container form: it has data() and size(),
// as a span has.
struct IntView {
  int* first;
  std::size_t count;
  int* data() const { return first; }
  std::size_t size() const { return count; }
};

// A comparator of elements that are expensive to copy.
template <typename T>
using ByReference = bool (*)(const T&, const T&);

// One row of sorting::kSorts for each element type the checks use.
struct Sorter {
  const char* name;
  SortFunction<int> ints;
  SortFunction<Record> records;
  SortFunction<char> chars;  // for the fuzzer
  SortFunction<std::string, ByReference<std::string>> strings;
  void (*whole)(IntView&&, std::greater<>);  // the container form
  bool stable;
};

template <std::size_t k>
constexpr Sorter SorterAt() {
  const auto& ints = sorting::kSorts<int>[k];
  return {ints.name,
          ints.sort,
          sorting::kSorts<Record>[k].sort,
          sorting::kSorts<char>[k].sort,
          sorting::kSorts<std::string, ByReference<std::string>>[k].sort,
          sorting::kSorts<int, std::greater<>, IntView>[k].whole,
          ints.stable};
}

template <std::size_t... k>
constexpr std::array<Sorter, sizeof...(k)> MakeSorters(std::index_sequence<k...>) {
  return {SorterAt<k>()...};
}

inline constexpr std::array<Sorter, std::size(sorting::kSorts<int>)> kSorters =
    MakeSorters(std::make_index_sequence<std::size(sorting::kSorts<int>)>());

inline std::ostream& operator<<(std::ostream& out, const Sorter& sorter) {
  return out << sorter.name;
}

}  // namespace sorting_test

#endif  // SORTING_SUPPORT_SORT_CHECKS_H
