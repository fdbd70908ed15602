#ifndef SORTING_QUICK_SORT_H
#define SORTING_QUICK_SORT_H

#include <utility>

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"

namespace sorting {

// Lomuto partition of [first, last] (both inclusive) around the value at `last`.
// The range must hold at least one element: the pivot is read from `*last`.
// Afterwards the elements for which comp(element, pivot) was true stand before
// the returned place, the pivot stands at it, and the rest after it; elements
// equivalent to the pivot therefore end up after it. Exactly count - 1
// comparator calls, each with the pivot's copy (the one copy of an element) as
// second argument.
template <typename T, typename Compare = Comparator<T>>
T* Partition(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>() && detail::CheckPivotCopy<T>()) {
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
// partition is sorted by recursion and the larger one by the loop; one copy of
// an element per partition (the pivot), so T must be copyable.
template <typename T, typename Compare = Comparator<T>>
void QuickSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>() && detail::CheckPivotCopy<T>()) {
    // Calls are qualified, so that no function of the element's namespace is
    // chosen instead, and take `Compare&`: every level uses this one comparator.
    while (detail::Count(first, last) > 1) {
      detail::AtLibraryRange(first, last);
      T* const pivot = sorting::Partition<T, Compare&>(first, last, comp);
      // The two sides are independent, so their order does not change the result.
      // A side is bounded only once it is known to be non-empty, so that no
      // pointer before `first` is ever formed.
      if (pivot - first < last - pivot) {
        if (pivot != first)
          sorting::QuickSort<T, Compare&>(first, pivot - 1, comp);
        first = pivot + 1;
      } else {
        if (pivot != last)
          sorting::QuickSort<T, Compare&>(pivot + 1, last, comp);
        last = pivot - 1;  // the left side is the larger one here, so it is not empty
      }
    }
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with QuickSort, ascending unless `comp` says otherwise.
// (`Rest` lets a call with iterators reach its one-line error; see ContainerCall.)
template <typename Range, typename Compare = detail::Less, typename... Rest,
          typename = detail::ContainerCall<Range, Compare, Rest...>>
void QuickSort(Range&& range, Compare comp = {}, Rest&&...) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::QuickSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                         std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_QUICK_SORT_H
