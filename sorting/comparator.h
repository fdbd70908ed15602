#ifndef SORTING_COMPARATOR_H
#define SORTING_COMPARATOR_H

// Types shared by every algorithm of the library.
//
// Ranges: every sort takes `first` and `last`, pointers to the first and to the
// *last* element of the range. Both ends are inclusive; this is not a
// one-past-the-end pair. A range whose `last` lies before `first` is empty, and
// a range of one element or fewer is left untouched without a comparator call.
// The count is `last - first + 1`, as `std::ptrdiff_t`, so any range that fits
// in memory is counted correctly.

namespace sorting {

// A strict ordering: returns true when `a` must stand before `b` in the sorted
// result, and false otherwise, in particular for two equal elements. Less-than
// gives ascending order, greater-than descending.
template <typename T>
using Comparator = bool (*)(T, T);

namespace detail {

// Keeps the comparator parameter out of template argument deduction, so that
// the element type comes from the pointers alone and a captureless lambda
// converts to the function pointer.
template <typename T>
struct Identity {
  using type = T;
};

template <typename T>
using ComparatorArg = typename Identity<Comparator<T>>::type;

}  // namespace detail
}  // namespace sorting

#endif  // SORTING_COMPARATOR_H
