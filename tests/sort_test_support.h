#ifndef SORTING_TESTS_SORT_TEST_SUPPORT_H
#define SORTING_TESTS_SORT_TEST_SUPPORT_H

// What the sort tests share: a table of the library's sorts, a record type whose
// elements can be equivalent without being equal, and comparators that count.

#include <cstddef>
#include <functional>
#include <ostream>

#include <sorting/sorting.h>

namespace sorting_test {

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

template <typename T>
using SortFunction = void (*)(T*, T*, sorting::Comparator<T>);

// A view of part of an array, for the container form: it has data() and size(),
// as a span has.
struct IntView {
  int* first;
  std::size_t count;
  int* data() const { return first; }
  std::size_t size() const { return count; }
};

// One row per sort; a new sort joins every shared test, and the fuzzer, with one
// more row.
struct Sorter {
  const char* name;
  SortFunction<int> ints;
  SortFunction<Record> records;
  SortFunction<char> chars;                  // for the fuzzer
  void (*whole)(IntView&&, std::greater<>);  // the container form
  bool stable;
  // Whether a comparator that throws leaves the range a permutation of its
  // input; the standard heap operations do not promise it.
  bool keeps_elements_on_throw;
};

inline const Sorter kSorters[] = {
    {"BubbleSort", sorting::BubbleSort<int>, sorting::BubbleSort<Record>, sorting::BubbleSort<char>,
     sorting::BubbleSort<IntView, std::greater<>>, true, true},
    {"QuickSort", sorting::QuickSort<int>, sorting::QuickSort<Record>, sorting::QuickSort<char>,
     sorting::QuickSort<IntView, std::greater<>>, false, true},
    {"HeapSort", sorting::HeapSort<int>, sorting::HeapSort<Record>, sorting::HeapSort<char>,
     sorting::HeapSort<IntView, std::greater<>>, false, false},
    {"MergeSort", sorting::MergeSort<int>, sorting::MergeSort<Record>, sorting::MergeSort<char>,
     sorting::MergeSort<IntView, std::greater<>>, false, true},
    {"IntroSort", sorting::IntroSort<int>, sorting::IntroSort<Record>, sorting::IntroSort<char>,
     sorting::IntroSort<IntView, std::greater<>>, false, false},
};

inline std::ostream& operator<<(std::ostream& out, const Sorter& sorter) {
  return out << sorter.name;
}

}  // namespace sorting_test

#endif  // SORTING_TESTS_SORT_TEST_SUPPORT_H
