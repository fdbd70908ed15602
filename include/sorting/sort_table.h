#ifndef SORTING_SORT_TABLE_H
#define SORTING_SORT_TABLE_H

// The library's sorts as data: one row per sort with its pointer form, its
// container form and its facts, in the spirit of a traits table. Programs that
// run, test, time, record or describe every sort read this table instead of
// naming the sorts, so a new sort is one more row here.
//
//   for (const auto& entry : sorting::kSorts<int>)
//     entry.sort(first, last, Less);  // entry.name, entry.stable, ...

#include <vector>

#include "sorting/bubble_sort.h"
#include "sorting/heap_sort.h"
#include "sorting/intro_sort.h"
#include "sorting/merge_sort.h"
#include "sorting/quick_sort.h"

namespace sorting {

// A sort as a function: the pointer form of every sort, instantiated for
// elements T under Compare, converts to it (`SortFunction<int>` is
// `void (*)(int*, int*, Comparator<int>)`).
template <typename T, typename Compare = Comparator<T>>
using SortFunction = void (*)(T*, T*, Compare);

// One row of kSorts. The facts are the ones every sort's contract comment
// states: costs in comparator calls unless they say otherwise, in the notation
// of the README's table of algorithms.
template <typename T, typename Compare = Comparator<T>, typename Range = std::vector<T>&>
struct SortEntry {
  const char* name;
  SortFunction<T, Compare> sort;
  // The container form for ranges of type Range (a std::vector<T> unless asked).
  void (*whole)(Range&&, Compare);
  bool stable;
  // The standard algorithms it hands elements to, "" for none. Their moves
  // differ between standard libraries.
  const char* calls;
  const char* best;
  const char* average;
  const char* worst;
  const char* memory;  // extra memory
  // The input patterns on which its cost grows as n^2, by their names in the
  // project's table of input patterns, separated by spaces.
  const char* quadratic_on;
};

// Every sort of the library, in the order the demonstration shows them.
template <typename T, typename Compare = Comparator<T>, typename Range = std::vector<T>&>
inline constexpr SortEntry<T, Compare, Range> kSorts[] = {
    {"BubbleSort", BubbleSort<T, Compare>, BubbleSort<Range, Compare>, true, "", "n", "n²", "n²",
     "O(1)",
     "shuffled shuffled_16_values descending pipe_organ push_front push_middle sawtooth "
     "shuffled_4_values"},
    {"QuickSort", QuickSort<T, Compare>, QuickSort<Range, Compare>, false, "", "n log n", "n log n",
     "n²", "O(log n) stack",
     "shuffled_16_values all_equal ascending descending pipe_organ push_front push_middle "
     "sawtooth shuffled_4_values"},
    {"HeapSort", HeapSort<T, Compare>, HeapSort<Range, Compare>, false,
     "std::make_heap std::sort_heap", "n log n", "n log n", "n log n", "O(1)", ""},
    {"MergeSort", MergeSort<T, Compare>, MergeSort<Range, Compare>, false, "std::rotate", "n log n",
     "n² moves", "n² moves", "O(log n) stack",
     "shuffled shuffled_16_values all_equal descending pipe_organ sawtooth shuffled_4_values"},
    {"IntroSort", IntroSort<T, Compare>, IntroSort<Range, Compare>, false,
     "std::make_heap std::sort_heap", "n log n", "n log n", "n log n", "O(log n) stack", ""},
};

}  // namespace sorting

#endif  // SORTING_SORT_TABLE_H
