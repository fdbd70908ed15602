#ifndef SORTING_INTRO_SORT_H
#define SORTING_INTRO_SORT_H

#include <cstddef>
#include <utility>

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"
#include "sorting/heap_sort.h"
#include "sorting/quick_sort.h"

namespace sorting {
namespace detail {

// The counts at which IntroSort's depth budget, trunc(2 ln n), grows by one:
// kDepthSteps[d - 1] is the smallest n for which int(2.0 * std::log(double(n)))
// is d, up to the largest count a std::ptrdiff_t holds. Read from a table, not
// computed: <cmath>, for that one std::log, was most of what including the
// library cost a file to compile. The tests check every step against std::log.
// clang-format off
inline constexpr long long kDepthSteps[] = {
    2, 3, 5, 8, 13, 21, 34, 55, 91, 149, 245, 404, 666, 1097, 1809, 2981, 4915, 8104, 13360, 22027,
    36316, 59875, 98716, 162755, 268338, 442414, 729417, 1202605, 1982760, 3269018, 5389699,
    8886111, 14650720, 24154953, 39824785, 65659970, 108254988, 178482301, 294267567, 485165196,
    799902178, 1318815735, 2174359554, 3584912847, 5910522064, 9744803447, 16066464721, 26489122130,
    43673179098, 72004899338, 118716009133, 195729609429, 322703570372, 532048240602, 877199251319,
    1446257064292, 2384474784798, 3931334297145, 6481674477935, 10686474581525, 17619017951356,
    29048849665248, 47893456332464, 78962960182681, 130187912050633, 214643579785916,
    353887435612259, 583461742527453, 961965785544773, 1586013452313426, 2614894114445688,
    4311231547115180, 7108019154642219, 11719142372802570, 19321599304402766, 31855931757113643,
    52521552285924972, 86593400423993432, 142768381181291480, 235385266837019153,
    388084696243618977, 639843493530052673, 1054923577702077632, 1739274941520494976,
    2867579591680561409, 4727839468229329409, 7794889495725278720,
};
// clang-format on

// int(2.0 * std::log(double(count))) for count >= 1, exactly.
constexpr int DepthLimit(std::ptrdiff_t count) {
  int depth = 0;
  for (const long long step : kDepthSteps) {
    if (count < step)
      break;
    ++depth;
  }
  return depth;
}

}  // namespace detail

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
      detail::AtLibraryRange(first, last, depth);  // the budget is spent: HeapSort takes it all
      sorting::HeapSort<T, Compare&>(first, last, comp);
      return;
    }
    detail::AtLibraryRange(first, last, depth);
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
    sorting::IntroSortStep<T, Compare&>(first, last, detail::DepthLimit(count), comp);
  }
}

// Sorts a whole contiguous range (a C array, std::array, std::vector,
// std::string, a span) with IntroSort, ascending unless `comp` says otherwise.
// (`Rest` lets a call with iterators reach its one-line error; see ContainerCall.)
template <typename Range, typename Compare = detail::Less, typename... Rest,
          typename = detail::ContainerCall<Range, Compare, Rest...>>
void IntroSort(Range&& range, Compare comp = {}, Rest&&...) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::IntroSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                         std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_INTRO_SORT_H
