#ifndef SORTING_BUBBLE_SORT_H
#define SORTING_BUBBLE_SORT_H

#include <cstddef>
#include <utility>

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"

namespace sorting {

// Sorts [first, last] (both inclusive) in place under `comp` by exchanging
// neighbours that stand in the wrong order, in full passes over the whole range,
// until a pass exchanges nothing, and after n passes at most.
//
// Stable. Comparisons: best n - 1 (sorted input: one pass), average and worst
// O(n^2) (n passes of n - 1 neighbour tests on reversed input). Extra memory:
// O(1). No recursion. Copies no element. Needs of T: swap, and an operator==
// that agrees with `comp`: equal elements count as in order, so an operator==
// that looks at something else than the comparator does leaves such neighbours
// unsorted.
template <typename T, typename Compare = Comparator<T>>
void BubbleSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>() && detail::CheckEquality<T>()) {
    const std::ptrdiff_t count = detail::Count(first, last);
    // Under a strict comparator each pass carries the largest unplaced element to
    // its place, so the range is sorted after n - 1 passes and pass n exchanges
    // nothing: the bound changes no call of such a comparator. It ends the runs
    // of the others (`<=` on records whose == compares more than the key, an
    // always-true comparator), which would exchange the same neighbours forever.
    bool swapped = true;
    for (std::ptrdiff_t pass = 0; swapped && pass < count; ++pass) {
      detail::AtLibraryRange(first, last);  // each pass is a piece of work on the whole range
      swapped = false;
      for (std::ptrdiff_t i = 1; i < count; ++i) {
        T& earlier = first[i - 1];
        T& later = first[i];
        // Equal neighbours never reach the comparator and are never exchanged.
        // Neighbours are exchanged only when the later one must stand first:
        // elements that differ but are equivalent under `comp` (records with the
        // same key) stay where they are, so the sort is stable.
        if (!detail::Equal(earlier, later) && static_cast<bool>(comp(later, earlier))) {
          detail::Exchange(earlier, later);
          swapped = true;
        }
      }
    }
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with BubbleSort, ascending unless `comp` says otherwise.
// (`Rest` lets a call with iterators reach its one-line error; see ContainerCall.)
template <typename Range, typename Compare = detail::Less, typename... Rest,
          typename = detail::ContainerCall<Range, Compare, Rest...>>
void BubbleSort(Range&& range, Compare comp = {}, Rest&&...) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::BubbleSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                          std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_BUBBLE_SORT_H
