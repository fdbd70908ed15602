#ifndef SORTING_QUICK_SORT_H
#define SORTING_QUICK_SORT_H

#include <cstddef>
#include <functional>
#include <iterator>
#include <utility>

#include "sorting/comparator.h"

namespace sorting {

// Lomuto partition of [first, last] (both inclusive, at least two elements) around
// the value at `last`. Afterwards the elements for which comp(element, pivot) was
// true stand before the returned place, the pivot stands at it, and the rest
// after it; elements equivalent to the pivot therefore end up after it.
// Exactly count - 1 comparator calls, each with a copy of the pivot as second
// argument.
template <typename T, typename Compare = Comparator<T>>
T* Partition(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>()) {
    const T pivot = *last;
    T* store = first;
    for (T* scan = first; scan != last; ++scan) {
      if (comp(*scan, pivot)) {
        detail::Exchange(*store, *scan);  // also when store == scan: one code path, no branch
        ++store;
      }
    }
    detail::Exchange(*store, *last);
    return store;
  }
}

// Sorts [first, last] (both inclusive) in place under `comp`: partitions around
// the last element, with no pivot sampling and no cut-off for small ranges.
//
// Not stable. Comparisons: best and average O(n log n); worst O(n^2), reached on
// sorted, reversed and all-equal input, where every partition peels off only the
// pivot. Extra memory: O(log n) stack, since only the smaller side of each
// partition is sorted by recursion and the larger one by the loop.
template <typename T, typename Compare = Comparator<T>>
void QuickSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>()) {
    while (detail::Count(first, last) > 1) {
      T* const pivot = Partition(first, last, comp);
      // The two sides are independent, so their order does not change the result.
      // A side is bounded only once it is known to be non-empty, so that no
      // pointer before `first` is ever formed.
      if (pivot - first < last - pivot) {
        if (pivot != first)
          QuickSort(first, pivot - 1, comp);
        first = pivot + 1;
      } else {
        if (pivot != last)
          QuickSort(pivot + 1, last, comp);
        last = pivot - 1;  // the left side is the larger one here, so it is not empty
      }
    }
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with QuickSort, ascending unless `comp` says otherwise.
template <typename Range, typename Compare = std::less<>, typename = detail::ContiguousRange<Range>>
void QuickSort(Range&& range, Compare comp = {}) {
  if (std::size(range) > 1)
    QuickSort(std::data(range), std::data(range) + (std::size(range) - 1), std::move(comp));
}

}  // namespace sorting

#endif  // SORTING_QUICK_SORT_H
