#ifndef SORTING_MERGE_SORT_H
#define SORTING_MERGE_SORT_H

#include <algorithm>
#include <cstddef>
#include <utility>

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"

namespace sorting {
namespace detail {

// std::rotate, with the library's line for an element type that hears of it
// (see AtLibraryLine).
template <typename T>
void Rotate(T* first, T* middle, T* end, unsigned line = __builtin_LINE(),
            const char* file = __builtin_FILE()) {
  detail::AtLibraryLine<T>(line, file, "std::rotate");
  std::rotate(first, middle, end);
  detail::LeaveLibraryLine<T>();
}

}  // namespace detail

// Merges the adjacent sorted runs [first, mid - 1] and [mid, last] into one sorted
// run over [first, last], in place and without a buffer: an element of the right
// run that must go first moves down to its place, and the left-run elements it
// passes move one place up, in one block move (std::rotate). Ties go to the right
// run, so this merge is not stable. Does nothing when `first` lies after `mid` or
// `mid` after `last`. Copies no element: std::rotate exchanges or moves
// elements, as the standard library chooses.
template <typename T, typename Compare = Comparator<T>>
void Merge(T* first, T* mid, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>()) {
    if (mid - first < 0 || last - mid < 0)
      return;
    detail::AtLibraryRange(first, last);
    T* i = first;
    T* j = mid;
    // Once the left run is used up, i meets j and each step compares an element
    // with itself: a strict comparator says false, and the step moves nothing.
    // Moves stay within [i, j], so even a comparator that is not strict cannot
    // move an element out of the range.
    while (i < last && j <= last) {
      if (!static_cast<bool>(comp(*i, *j))) {
        // One rotation, not a batch of the right-run elements that go before *i:
        // std::rotate moves a block past one element as a single memmove for
        // trivially copyable types, but a longer rotation as a cycle of swaps,
        // which measured several times slower here.
        if (i < j)
          detail::Rotate(i, j, j + 1);
        ++j;
      }
      ++i;
    }
  }
}

// Sorts [first, last] (both inclusive) in place under `comp`: sorts both halves
// (the right one takes the extra element of an odd count), then merges them
// with Merge.
//
// Not stable: equivalent elements on both sides of a split trade places.
// Comparisons: O(n log n); element moves: O(n^2) in the worst case (reversed
// input), in blocks; none on sorted input of distinct values. Extra memory:
// none but the stack, about log2(n) frames deep.
template <typename T, typename Compare = Comparator<T>>
void MergeSort(T* first, T* last, Compare comp) {
  if constexpr (detail::CheckArguments<T, Compare>()) {
    const std::ptrdiff_t count = detail::Count(first, last);
    if (count <= 1)
      return;
    detail::AtLibraryRange(first, last);
    T* const mid = first + count / 2;
    // Qualified calls that take `Compare&`: every level uses this one comparator.
    sorting::MergeSort<T, Compare&>(first, mid - 1, comp);
    sorting::MergeSort<T, Compare&>(mid, last, comp);
    sorting::Merge<T, Compare&>(first, mid, last, comp);
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with MergeSort, ascending unless `comp` says otherwise.
// (`Rest` lets a call with iterators reach its one-line error; see ContainerCall.)
template <typename Range, typename Compare = detail::Less, typename... Rest,
          typename = detail::ContainerCall<Range, Compare, Rest...>>
void MergeSort(Range&& range, Compare comp = {}, Rest&&...) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::MergeSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                         std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_MERGE_SORT_H
