#ifndef SORTING_COMPARATOR_H
#define SORTING_COMPARATOR_H

// What every algorithm of the library shares: the range conventions, the
// comparator, and the checks that turn a wrong argument into one readable error.
//
// Ranges. Every sort has two forms:
//   - the container form, `QuickSort(values)` or `QuickSort(values, comp)`, over
//     any contiguous range that std::data and std::size accept (a C array,
//     std::array, std::vector, std::string, a span), ordered by std::less<> when
//     no comparator is given;
//   - the pointer form, `QuickSort(first, last, comp)`, where `first` and `last`
//     point to the first and to the *last* element. Both ends are inclusive; this
//     is not a one-past-the-end pair. The count is `last - first + 1`, as
//     std::ptrdiff_t, and a range whose count is one or less (`last` before
//     `first` for no element) is left untouched without a comparator call.
//
// Comparators. Any callable that takes two elements (by value or by const
// reference) and returns something convertible to bool, true when the first
// must stand before the second: a function pointer, a lambda with or without
// captures, a function object such as std::less<> or std::greater<>. It must be
// a strict ordering, false for two equivalent elements. Like the standard
// algorithms, a sort takes its comparator by value and copies it when it
// recurses, but never per comparison; keep it cheap to copy.
//
// Elements need copying, assignment and exchange; exchanges call the element
// type's own `swap` where it has one, std::swap otherwise. BubbleSort also needs
// operator==, which must agree with the comparator. The library allocates
// nothing itself; copying an element (the pivot, a by-value comparator argument)
// may.

#include <cstddef>
#include <functional>
#include <iterator>
#include <type_traits>
#include <utility>

namespace sorting {

// The plain function-pointer comparator, the form the demonstration uses:
// `sorting::QuickSort<int>` converts to `void (*)(int*, int*, Comparator<int>)`.
template <typename T>
using Comparator = bool (*)(T, T);

namespace detail {

template <typename Compare, typename T, typename = void>
struct IsComparator : std::false_type {};
template <typename Compare, typename T>
struct IsComparator<Compare, T,
                    std::void_t<decltype(static_cast<bool>(std::declval<Compare&>()(
                        std::declval<const T&>(), std::declval<const T&>())))>> : std::true_type {};

// Exact equality, as BubbleSort means it, also for floating-point elements: a
// strict consumer's -Wfloat-equal has nothing to say about these comparisons.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
template <typename T, typename = void>
struct HasEquality : std::false_type {};
template <typename T>
struct HasEquality<T, std::void_t<decltype(std::declval<const T&>() == std::declval<const T&>())>>
    : std::is_convertible<decltype(std::declval<const T&>() == std::declval<const T&>()), bool> {};

template <typename T>
bool Equal(const T& a, const T& b) {
  return a == b;
}
#pragma GCC diagnostic pop

// Every public function wraps its body in `if constexpr (CheckArguments<...>())`:
// a wrong argument then stops the build with the one static_assert below, and
// the discarded body adds no page of further errors.
template <typename T, typename Compare>
constexpr bool CheckArguments() {
  static_assert(!std::is_const_v<T>, "sorting: cannot sort const elements");
  static_assert(IsComparator<Compare, T>::value,
                "sorting: the comparator must be callable as comp(a, b) on two elements and "
                "return something convertible to bool");
  return !std::is_const_v<T> && IsComparator<Compare, T>::value;
}

template <typename T>
constexpr bool CheckEquality() {
  static_assert(HasEquality<T>::value,
                "sorting: BubbleSort needs operator== on its elements, agreeing with the "
                "comparator (equal elements are never out of order)");
  return HasEquality<T>::value;
}

// The element count of [first, last], decided from the signed difference and
// never by comparing addresses: an empty container's `data() + size() - 1`
// lies before a null `first`, where an address comparison would say "after".
template <typename T>
std::ptrdiff_t Count(const T* first, const T* last) {
  return last - first + 1;
}

// Exchanges two elements through the element type's own swap where it has one.
template <typename T>
void Exchange(T& a, T& b) {
  using std::swap;
  swap(a, b);
}

// Enables the container form for ranges that std::data and std::size accept.
template <typename Range>
using ContiguousRange =
    decltype(std::size(std::declval<Range&>()), std::data(std::declval<Range&>()));

}  // namespace detail
}  // namespace sorting

#endif  // SORTING_COMPARATOR_H
