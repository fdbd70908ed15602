#ifndef SORTING_HEAP_SORT_H
#define SORTING_HEAP_SORT_H

#include <algorithm>
#include <utility>

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"

namespace sorting {
namespace detail {

// std::make_heap and std::sort_heap, with the library's line for an element type
// that hears of it (see AtLibraryLine).
template <typename T, typename Compare>
void MakeHeap(T* first, T* end, Compare comp, unsigned line = __builtin_LINE(),
              const char* file = __builtin_FILE()) {
  detail::AtLibraryLine<T>(line, file, "std::make_heap");
  std::make_heap(first, end, std::move(comp));
  detail::LeaveLibraryLine<T>();
}

template <typename T, typename Compare>
void SortHeap(T* first, T* end, Compare comp, unsigned line = __builtin_LINE(),
              const char* file = __builtin_FILE()) {
  detail::AtLibraryLine<T>(line, file, "std::sort_heap");
  std::sort_heap(first, end, std::move(comp));
  detail::LeaveLibraryLine<T>();
}

}  // namespace detail

// Sorts [first, last] (both inclusive) in place under `comp` with the standard
// library's std::make_heap and std::sort_heap over the half-open [first, last + 1).
// Touches nothing outside the range.
//
// Not stable. Comparisons: O(n log n) whatever the input. Extra memory: O(1).
// No recursion. The heap operations move elements (one held aside while they
// sift) and never call the element type's own swap. If `comp` throws, the range
// may have lost that element and hold another twice.
template <typename T, typename Compare = Comparator<T>>
void HeapSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>()) {
    if (detail::Count(first, last) <= 1)
      return;
    // The lambdas hand on this one comparator by reference: the heap operations
    // would copy it. Each stands on the line of its heap call, so a comparator
    // that asks where it is called from (the trace recorder's) names that line.
    // bool(...): a result of class type is used as bool only, never through its
    // own operators.
    T* const end = last + 1;
    detail::MakeHeap(first, end, [&comp](const T& a, const T& b) { return bool(comp(a, b)); });
    detail::SortHeap(first, end, [&comp](const T& a, const T& b) { return bool(comp(a, b)); });
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with HeapSort, ascending unless `comp` says otherwise.
template <typename Range, typename Compare = detail::Less,
          typename = detail::ContainerCall<Range, Compare>>
void HeapSort(Range&& range, Compare comp = {}) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::HeapSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                        std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_HEAP_SORT_H
