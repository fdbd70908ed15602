#ifndef SORTING_MERGE_SORT_H
#define SORTING_MERGE_SORT_H

#include <cstddef>
#include <utility>

#include "sorting/comparator.h"

namespace sorting {

// Merges the adjacent sorted runs [first, mid - 1] and [mid, last] into one sorted
// run over [first, last], in place and without a buffer: an element of the right
// run that must go first is carried down to its place by neighbour exchanges.
// Ties go to the right run, so this merge is not stable. Does nothing when
// `first` lies after `mid` or `mid` after `last`.
template <typename T>
void Merge(T* first, T* mid, T* last, detail::ComparatorArg<T> comp) {
  if (first > mid || mid > last)
    return;
  T* i = first;
  T* j = mid;
  // Once the left run is used up, i meets j and each step compares an element
  // with itself: a strict comparator says false, and the step moves nothing.
  // Exchanges stay within [i, j], so even a comparator that is not strict
  // cannot move an element out of the range.
  while (i < last && j <= last) {
    if (!comp(*i, *j)) {
      for (T* k = j; k > i; --k)
        std::swap(k[-1], *k);
      ++j;
    }
    ++i;
  }
}

// Sorts [first, last] (both inclusive) in place under `comp`: sorts both halves
// (the right one takes the extra element of an odd count), then merges them
// with Merge.
//
// Not stable: equivalent elements on both sides of a split trade places.
// Comparisons: O(n log n); element exchanges: O(n^2) in the worst case
// (reversed input), none on sorted input of distinct values. Extra memory:
// none but the stack, about log2(n) frames deep.
template <typename T>
void MergeSort(T* first, T* last, detail::ComparatorArg<T> comp) {
  const std::ptrdiff_t count = last - first + 1;
  if (count <= 1)
    return;
  T* const mid = first + count / 2;
  MergeSort(first, mid - 1, comp);
  MergeSort(mid, last, comp);
  Merge(first, mid, last, comp);
}

}  // namespace sorting

#endif  // SORTING_MERGE_SORT_H
