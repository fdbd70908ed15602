#ifndef SORTING_COMPARATOR_H
#define SORTING_COMPARATOR_H

// What every algorithm of the library shares: the range conventions and the
// comparator.
//
// Ranges. Every sort has two forms:
//   - the container form, `QuickSort(values)` or `QuickSort(values, comp)`, over
//     any contiguous range that std::data and std::size accept (a C array,
//     std::array, std::vector, std::string, a span), ordered ascending by `<`
//     when no comparator is given;
//   - the pointer form, `QuickSort(first, last, comp)`, where `first` and `last`
//     point to the first and to the *last* element. Both ends are inclusive; this
//     is not a one-past-the-end pair. The count is `last - first + 1`, as
//     std::ptrdiff_t, and a range whose count is one or less (`last` before
//     `first` for no element) is left untouched without a comparator call. The
//     pointer form has no default comparator.
//
// Comparators. Any callable that takes two elements (by value or by const
// reference) and returns something convertible to bool, true when the first
// must stand before the second: a function pointer, a lambda with or without
// captures, a function object such as std::less<> or std::greater<>. It must be
// a strict ordering, false for two equivalent elements. Its result is used as
// bool only, as std::sort uses it: converted before anything else is done with
// it, so that a result type's own !, && or || is never called. If it throws,
// the exception leaves the sort, and the range still holds every element it
// held, in some order. A sort takes its comparator by value, like the standard
// algorithms, and hands that one object on by reference to its recursive calls,
// its step functions and the standard heap operations: a stateful comparator
// sees every comparison of the sort. Pass std::ref(comp) to keep that state in
// the caller's own object.
//
// Elements. Exchanges call the element type's own `swap` where it has one,
// std::swap otherwise. QuickSort and IntroSort copy one element per partition
// (the pivot), so their elements must be copyable; BubbleSort also needs
// operator==, agreeing with the comparator. The library allocates nothing
// itself; copying an element (the pivot, a by-value comparator argument) may.

namespace sorting {

// The plain function-pointer comparator, the form the demonstration uses:
// `sorting::QuickSort<int>` converts to `void (*)(int*, int*, Comparator<int>)`.
template <typename T>
using Comparator = bool (*)(T, T);

}  // namespace sorting

#endif  // SORTING_COMPARATOR_H
