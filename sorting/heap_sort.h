#ifndef SORTING_HEAP_SORT_H
#define SORTING_HEAP_SORT_H

#include <algorithm>

#include "sorting/comparator.h"

namespace sorting {

// Sorts [first, last] (both inclusive) in place under `comp` with the standard
// library's std::make_heap and std::sort_heap over the half-open [first, last + 1).
// Touches nothing outside the range.
//
// Not stable. Comparisons: O(n log n) whatever the input. Extra memory: O(1).
// No recursion.
template <typename T>
void HeapSort(T* first, T* last, detail::ComparatorArg<T> comp) {
  if (first >= last)
    return;  // fewer than two elements
  std::make_heap(first, last + 1, comp);
  std::sort_heap(first, last + 1, comp);
}

}  // namespace sorting

#endif  // SORTING_HEAP_SORT_H
