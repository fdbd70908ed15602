#ifndef SORTING_HEAP_SORT_H
#define SORTING_HEAP_SORT_H

#include <algorithm>
#include <functional>
#include <iterator>
#include <utility>

#include "sorting/comparator.h"

namespace sorting {

// Sorts [first, last] (both inclusive) in place under `comp` with the standard
// library's std::make_heap and std::sort_heap over the half-open [first, last + 1).
// Touches nothing outside the range.
//
// Not stable. Comparisons: O(n log n) whatever the input. Extra memory: O(1).
// No recursion. If `comp` throws, the range may have lost one element and hold
// another twice, as the standard heap operations leave it.
template <typename T, typename Compare = Comparator<T>>
void HeapSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>()) {
    if (detail::Count(first, last) <= 1)
      return;
    std::make_heap(first, last + 1, comp);
    std::sort_heap(first, last + 1, comp);
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with HeapSort, ascending unless `comp` says otherwise.
template <typename Range, typename Compare = std::less<>, typename = detail::ContiguousRange<Range>>
void HeapSort(Range&& range, Compare comp = {}) {
  if (std::size(range) > 1)
    HeapSort(std::data(range), std::data(range) + (std::size(range) - 1), std::move(comp));
}

}  // namespace sorting

#endif  // SORTING_HEAP_SORT_H
