#ifndef SORTING_BUBBLE_SORT_H
#define SORTING_BUBBLE_SORT_H

#include <utility>

#include "sorting/comparator.h"

namespace sorting {

// Sorts [first, last] (both inclusive) in place under `comp` by exchanging
// neighbours that stand in the wrong order, in full passes over the whole range,
// until a pass exchanges nothing.
//
// Stable. Comparisons: best n - 1 (sorted input: one pass), average and worst
// O(n^2) (n passes of n - 1 neighbour tests on reversed input). Extra memory:
// O(1). No recursion. Needs of T: copying, std::swap and operator==.
template <typename T>
void BubbleSort(T* first, T* last, detail::ComparatorArg<T> comp) {
  bool swapped = true;
  while (swapped) {
    swapped = false;
    for (T* cursor = first; cursor < last;) {
      ++cursor;
      T& earlier = cursor[-1];
      T& later = *cursor;
      // Equal neighbours never reach the comparator and are never exchanged.
      // Neighbours are exchanged only when the later one must stand first:
      // elements that differ but are equivalent under `comp` (records with the
      // same key) stay where they are, so the loop ends and the sort is stable.
      if (!(earlier == later) && comp(later, earlier)) {
        std::swap(earlier, later);
        swapped = true;
      }
    }
  }
}

}  // namespace sorting

#endif  // SORTING_BUBBLE_SORT_H
