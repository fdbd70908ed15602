#ifndef SORTING_INTRO_SORT_H
#define SORTING_INTRO_SORT_H

#include <cmath>
#include <cstddef>
#include <utility>

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"
#include "sorting/heap_sort.h"
#include "sorting/quick_sort.h"

namespace sorting {

// One level of IntroSort on [first, last] (both inclusive): with `depth` levels
// of budget left it partitions as QuickSort does and recurses into both sides
// with one level less; with none left it hands the whole sub-range to HeapSort.
template <typename T, typename Compare = Comparator<T>>
void IntroSortStep(T* first, T* last, int depth, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>() && detail::CheckPivotCopy<T>()) {
    if (detail::Count(first, last) <= 1)
      return;
    // Qualified calls that take `Compare&`: every level, and HeapSort, use this
    // one comparator.
    if (depth == 0) {
      sorting::HeapSort<T, Compare&>(first, last, comp);
      return;
    }
    T* const pivot = sorting::Partition<T, Compare&>(first, last, comp);
    // A side is bounded only once it is known to be non-empty, so that no pointer
    // before `first` is ever formed. The budget bounds the depth, so both sides
    // may recurse.
    if (pivot != first)
      sorting::IntroSortStep<T, Compare&>(first, pivot - 1, depth - 1, comp);
    if (pivot != last)
      sorting::IntroSortStep<T, Compare&>(pivot + 1, last, depth - 1, comp);
  }
}

// Sorts [first, last] (both inclusive) in place under `comp`: QuickSort's
// partitioning with a recursion budget of trunc(2 ln n) levels; a branch that
// spends it is finished by HeapSort. No insertion-sort pass for small ranges.
//
// Not stable. Comparisons: best and average O(n log n), worst O(n log n) as well,
// since sorted or all-equal input runs out of budget and falls back to HeapSort.
// Extra memory: O(log n) stack, at most 2 ln n + 1 levels of IntroSortStep; one
// copy of an element per partition (the pivot), so T must be copyable.
template <typename T, typename Compare = Comparator<T>>
void IntroSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>() && detail::CheckPivotCopy<T>()) {
    const std::ptrdiff_t count = detail::Count(first, last);
    if (count <= 1)
      return;
    const int depth = static_cast<int>(2.0 * std::log(static_cast<double>(count)));
    sorting::IntroSortStep<T, Compare&>(first, last, depth, comp);
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with IntroSort, ascending unless `comp` says otherwise.
template <typename Range, typename Compare = detail::Less,
          typename = detail::ContainerCall<Range, Compare>>
void IntroSort(Range&& range, Compare comp = {}) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::IntroSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                         std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_INTRO_SORT_H
