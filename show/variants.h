#ifndef SORTING_SHOW_VARIANTS_H
#define SORTING_SHOW_VARIANTS_H

// The sorts as learners commonly get them wrong: each is the library's own
// code with the few lines changed that a misconception changes, and the
// recorder records them as it records the library. The page's predict mode
// matches a wrong answer against what these would do next from the same state,
// and names the misconception. They are not part of the library: never
// installed, never in namespace sorting, and nothing but the recorder calls them.

#include <cstddef>

#include <sorting/sort_table.h>

namespace sorting_variants {

namespace detail = sorting::detail;

// QuickSort's Lomuto partition, but around the FIRST element: the scan starts
// after it, and the pivot goes to the place before the store position at the end.
template <typename T, typename Compare>
T* PartitionFirstPivot(T* first, T* last, Compare& comp) {
  const T pivot = *first;
  T* store = first + 1;
  for (T* scan = first + 1; scan != last + 1; ++scan) {
    if (comp(*scan, pivot)) {
      detail::Exchange(*store, *scan);
      ++store;
    }
  }
  detail::Exchange(*first, *(store - 1));
  return store - 1;
}

// QuickSort's partition, but elements equal to the pivot go before it too: the
// test is "not after the pivot" instead of "before it".
template <typename T, typename Compare>
T* PartitionMovingEqual(T* first, T* last, Compare& comp) {
  const T pivot = *last;
  T* store = first;
  for (T* scan = first; scan != last; ++scan) {
    if (!comp(pivot, *scan)) {
      detail::Exchange(*store, *scan);
      ++store;
    }
  }
  detail::Exchange(*store, *last);
  return store;
}

// The library's QuickSort around another partition: the smaller side by
// recursion, the larger by the loop, as the library does.
template <typename T, typename Compare, T* (*Split)(T*, T*, Compare&)>
void QuickSortWith(T* first, T* last, Compare& comp) {
  while (last - first + 1 > 1) {
    T* const pivot = Split(first, last, comp);
    if (pivot - first < last - pivot) {
      if (pivot != first)
        QuickSortWith<T, Compare, Split>(first, pivot - 1, comp);
      first = pivot + 1;
    } else {
      if (pivot != last)
        QuickSortWith<T, Compare, Split>(pivot + 1, last, comp);
      last = pivot - 1;
    }
  }
}

// The library's IntroSortStep around another partition, with the same budget.
template <typename T, typename Compare, T* (*Split)(T*, T*, Compare&)>
void IntroSortStepWith(T* first, T* last, int depth, Compare& comp) {
  if (last - first + 1 <= 1)
    return;
  if (depth == 0) {
    sorting::HeapSort<T, Compare&>(first, last, comp);
    return;
  }
  T* const pivot = Split(first, last, comp);
  if (pivot != first)
    IntroSortStepWith<T, Compare, Split>(first, pivot - 1, depth - 1, comp);
  if (pivot != last)
    IntroSortStepWith<T, Compare, Split>(pivot + 1, last, depth - 1, comp);
}

template <typename T, typename Compare>
void QuickSortFirstPivot(T* first, T* last, Compare comp) {
  QuickSortWith<T, Compare, PartitionFirstPivot<T, Compare>>(first, last, comp);
}

template <typename T, typename Compare>
void QuickSortMovingEqual(T* first, T* last, Compare comp) {
  QuickSortWith<T, Compare, PartitionMovingEqual<T, Compare>>(first, last, comp);
}

template <typename T, typename Compare>
void IntroSortFirstPivot(T* first, T* last, Compare comp) {
  const std::ptrdiff_t count = last - first + 1;
  if (count <= 1)
    return;
  IntroSortStepWith<T, Compare, PartitionFirstPivot<T, Compare>>(first, last,
                                                                 detail::DepthLimit(count), comp);
}

// BubbleSort as textbooks often write it: each pass stops before the part that
// the passes before it have put in place.
template <typename T, typename Compare>
void BubbleSortShrinkingPass(T* first, T* last, Compare comp) {
  const std::ptrdiff_t count = last - first + 1;
  bool swapped = true;
  for (std::ptrdiff_t pass = 0; swapped && pass < count; ++pass) {
    swapped = false;
    for (std::ptrdiff_t i = 1; i < count - pass; ++i) {
      T& earlier = first[i - 1];
      T& later = first[i];
      if (!detail::Equal(earlier, later) && comp(later, earlier)) {
        detail::Exchange(earlier, later);
        swapped = true;
      }
    }
  }
}

// BubbleSort that asks the comparator about every pair of neighbours, equal ones
// too, with no equality test first.
template <typename T, typename Compare>
void BubbleSortWithoutEqualityTest(T* first, T* last, Compare comp) {
  const std::ptrdiff_t count = last - first + 1;
  bool swapped = true;
  for (std::ptrdiff_t pass = 0; swapped && pass < count; ++pass) {
    swapped = false;
    for (std::ptrdiff_t i = 1; i < count; ++i) {
      T& earlier = first[i - 1];
      T& later = first[i];
      if (comp(later, earlier)) {
        detail::Exchange(earlier, later);
        swapped = true;
      }
    }
  }
}

// The library's Merge, but a tie goes to the LEFT run: the right run's element
// moves down only when it must stand before the left one's.
template <typename T, typename Compare>
void MergeLeftTies(T* first, T* mid, T* last, Compare& comp) {
  T* i = first;
  T* j = mid;
  while (i < last && j <= last) {
    if (comp(*j, *i)) {
      if (i < j)
        detail::Rotate(i, j, j + 1);
      ++j;
    }
    ++i;
  }
}

template <typename T, typename Compare>
void MergeSortLeftTies(T* first, T* last, Compare comp) {
  const std::ptrdiff_t count = last - first + 1;
  if (count <= 1)
    return;
  T* const mid = first + count / 2;
  MergeSortLeftTies<T, Compare&>(first, mid - 1, comp);
  MergeSortLeftTies<T, Compare&>(mid, last, comp);
  MergeLeftTies(first, mid, last, comp);
}

// HeapSort with the comparator's arguments the other way round: the heap it
// builds has the value that goes first at its root (a min-heap under <), and
// taking it apart leaves the range in reverse order.
template <typename T, typename Compare>
void HeapSortMinHeap(T* first, T* last, Compare comp) {
  if (last - first + 1 <= 1)
    return;
  detail::MakeHeap(first, last + 1, [&comp](const T& a, const T& b) { return bool(comp(b, a)); });
  detail::SortHeap(first, last + 1, [&comp](const T& a, const T& b) { return bool(comp(b, a)); });
}

// One variant: the library's sort it is a variant of (by its name in the table
// of sorts), its name, and the misconception in words, as the page says it
// ("that is what <description> does next").
template <typename T, typename Compare>
struct Variant {
  const char* sort;
  const char* name;
  const char* description;
  sorting::SortFunction<T, Compare> run;
};

template <typename T, typename Compare>
inline constexpr Variant<T, Compare> kVariants[] = {
    {"BubbleSort", "shrinking-pass",
     "a BubbleSort whose passes stop before the part already in place",
     BubbleSortShrinkingPass<T, Compare>},
    {"BubbleSort", "no-equality-test",
     "a BubbleSort that calls the comparator without testing for equality first",
     BubbleSortWithoutEqualityTest<T, Compare>},
    {"QuickSort", "first-pivot", "a partition with the first element as pivot",
     QuickSortFirstPivot<T, Compare>},
    {"QuickSort", "moving-equal", "a partition that moves elements equal to the pivot too",
     QuickSortMovingEqual<T, Compare>},
    {"HeapSort", "min-heap", "a heap sort that builds its heap the other way round",
     HeapSortMinHeap<T, Compare>},
    {"MergeSort", "left-ties", "a merge that takes ties from the left run",
     MergeSortLeftTies<T, Compare>},
    {"IntroSort", "first-pivot", "a partition with the first element as pivot",
     IntroSortFirstPivot<T, Compare>},
};

}  // namespace sorting_variants

#endif  // SORTING_SHOW_VARIANTS_H
