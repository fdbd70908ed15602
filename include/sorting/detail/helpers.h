#ifndef SORTING_DETAIL_HELPERS_H
#define SORTING_DETAIL_HELPERS_H

// The library's private helpers: the element count, exchange and equality, the
// container form's default order and its access to a range, and the checks that
// turn a wrong argument into one readable error. Not part of the interface.
//
// Only light standard headers come in here: <functional> and <iterator> would
// double what including the library costs a file, for std::less<>, std::data
// and std::size, which take a few lines each below.

#include <cstddef>
#include <type_traits>
#include <utility>

namespace sorting::detail {

// The container form's default order, ascending by `<`, as std::less<> orders.
struct Less {
  template <typename A, typename B>
  constexpr auto operator()(const A& a, const B& b) const -> decltype(a < b) {
    return a < b;
  }
};

// What std::data and std::size give for a container or a C array.
template <typename Container>
constexpr auto Data(Container& container) -> decltype(container.data()) {
  return container.data();
}
template <typename T, std::size_t N>
constexpr T* Data(T (&array)[N]) {
  return array;
}
template <typename Container>
constexpr auto Size(const Container& container) -> decltype(container.size()) {
  return container.size();
}
template <typename T, std::size_t N>
constexpr std::size_t Size(const T (&)[N]) {
  return N;
}

template <typename Range, typename = void>
struct IsContiguous : std::false_type {};
template <typename Range>
struct IsContiguous<Range, std::void_t<decltype(detail::Size(std::declval<Range&>()),
                                                detail::Data(std::declval<Range&>()))>>
    : std::true_type {};

template <typename Compare, typename T, typename = void>
struct IsComparator : std::false_type {};
template <typename Compare, typename T>
struct IsComparator<Compare, T,
                    std::void_t<decltype(static_cast<bool>(std::declval<Compare&>()(
                        std::declval<const T&>(), std::declval<const T&>())))>> : std::true_type {};

// Callable on modifiable elements only: a comparator that takes `T&`.
template <typename Compare, typename T>
using NeedsModifiable = std::bool_constant<!IsComparator<Compare, T>::value &&
                                           IsComparator<Compare, std::remove_const_t<T>&>::value>;

// Whether elements can be tested for equality, as BubbleSort does (Equal, below).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
template <typename T, typename = void>
struct HasEquality : std::false_type {};
template <typename T>
struct HasEquality<T, std::void_t<decltype(std::declval<const T&>() == std::declval<const T&>())>>
    : std::is_convertible<decltype(std::declval<const T&>() == std::declval<const T&>()), bool> {};
#pragma GCC diagnostic pop

// Every public function wraps its body in `if constexpr (CheckArguments<...>())`:
// a wrong argument then stops the build with one of the static_asserts below, and
// the discarded body adds no page of further errors. The conditions are exclusive,
// so one mistake gives one line.
template <typename T, typename Compare>
constexpr bool CheckArguments() {
  // Rows of a two-dimensional array: their `<` compares addresses.
  constexpr bool is_array = std::is_array_v<T>;
  constexpr bool is_const = !is_array && std::is_const_v<T>;
  constexpr bool callable = IsComparator<Compare, T>::value;
  constexpr bool needs_modifiable = NeedsModifiable<Compare, T>::value;
  // The container form without a comparator orders by `<`, which the elements lack.
  constexpr bool no_less =
      std::is_same_v<std::remove_cv_t<std::remove_reference_t<Compare>>, Less> && !callable;
  constexpr bool other_mistake = is_array || is_const || no_less;
  static_assert(!is_array,
                "sorting: cannot sort arrays, such as the rows of a two-dimensional array (their "
                "< compares addresses): hold the rows as std::array, or sort each row");
  static_assert(!is_const, "sorting: cannot sort const elements");
  static_assert(!no_less || is_array || is_const,
                "sorting: the elements have no operator<, by which a container given without a "
                "comparator is sorted: give a comparator, as in Sort(values, comp)");
  static_assert(other_mistake || callable || needs_modifiable,
                "sorting: the comparator must be callable as comp(a, b) on two elements and "
                "return something convertible to bool");
  static_assert(other_mistake || !needs_modifiable,
                "sorting: the comparator takes non-const references, but the sorts pass it the "
                "elements as const: take them by value or by const&");
  return !other_mistake && callable;
}

template <typename T>
constexpr bool CheckEquality() {
  static_assert(HasEquality<T>::value,
                "sorting: BubbleSort needs operator== on its elements, agreeing with the "
                "comparator (equal elements are never out of order)");
  return HasEquality<T>::value;
}

template <typename T>
constexpr bool CheckPivotCopy() {
  // Arrays cannot be copied either, but CheckArguments has said so.
  static_assert(std::is_copy_constructible_v<T> || std::is_array_v<T>,
                "sorting: QuickSort and IntroSort copy the pivot: the elements must be copyable");
  return std::is_copy_constructible_v<T>;
}

// The container form's checks. It takes part in overload resolution for what
// looks like a call of it, so that a mistake gets its one line: a contiguous
// range; a container that is not contiguous (std::deque, std::list,
// std::vector<bool>); two pointers, where the pointer form was meant; two
// iterators, with or without a comparator after them, where either form was
// meant (the pack `Rest` of the container form holds that comparator). Not for
// anything else, so that `QuickSort<int>` names the pointer form alone.
template <typename Range, typename = void>
struct HasBeginEnd : std::false_type {};
template <typename Range>
struct HasBeginEnd<
    Range, std::void_t<decltype(std::declval<Range&>().begin(), std::declval<Range&>().end())>>
    : std::true_type {};

// `QuickSort(a, a + 2)` or `QuickSort(first, last)`: the second pointer would be
// taken for the comparator.
template <typename Range, typename Compare>
constexpr bool IsPointerFormWithoutComparator() {
  using Plain = std::remove_cv_t<std::remove_reference_t<Range>>;
  if constexpr (std::is_pointer_v<Plain>)
    return std::is_same_v<std::decay_t<Compare>, Plain>;
  else if constexpr (IsContiguous<Range>::value)
    return std::is_same_v<std::decay_t<Compare>, decltype(detail::Data(std::declval<Range&>()))>;
  else
    return false;
}

// `IntroSort(v.begin(), v.end())` or `IntroSort(v.begin(), v.end() - 1, comp)`,
// the standard algorithms' habit: two iterators of one type that are not pointers.
template <typename First, typename Second, typename = void>
struct AreIterators : std::false_type {};
template <typename First, typename Second>
struct AreIterators<
    First, Second,
    std::void_t<decltype(*std::declval<First&>()), decltype(++std::declval<First&>())>>
    : std::bool_constant<std::is_same_v<std::decay_t<First>, std::decay_t<Second>> &&
                         !std::is_pointer_v<std::decay_t<First>>> {};

template <typename Range, typename Compare, typename... Rest>
using ContainerCall =
    std::enable_if_t<sizeof...(Rest) == 0
                         ? IsContiguous<Range>::value || HasBeginEnd<Range>::value ||
                               IsPointerFormWithoutComparator<Range, Compare>() ||
                               AreIterators<Range, Compare>::value
                         : sizeof...(Rest) == 1 && AreIterators<Range, Compare>::value>;

template <typename Range, typename Compare>
constexpr bool CheckRange() {
  constexpr bool pointers = IsPointerFormWithoutComparator<Range, Compare>();
  constexpr bool iterators = AreIterators<Range, Compare>::value;
  constexpr bool contiguous = IsContiguous<Range>::value;
  static_assert(!pointers,
                "sorting: the pointer form takes three arguments, first, last (the last element, "
                "not one past it) and a comparator; it has no default comparator");
  static_assert(!iterators,
                "sorting: iterators given: the pointer form takes pointers to the first and the "
                "last element, as in Sort(v.data(), v.data() + v.size() - 1, comp), and the "
                "container form the container, as in Sort(v, comp)");
  static_assert(pointers || iterators || contiguous,
                "sorting: the container form needs a contiguous range, one that std::data and "
                "std::size accept (not std::deque, std::list or std::vector<bool>); for an "
                "array, the pointer form takes first, last and a comparator");
  return !pointers && !iterators && contiguous;
}

// The element count of [first, last], decided from the signed difference and
// never by comparing addresses: an empty container's `data() + size() - 1`
// lies before a null `first`, where an address comparison would say "after".
template <typename T>
std::ptrdiff_t Count(const T* first, const T* last) {
  return last - first + 1;
}

// Where the library stands when it hands elements to code that compares or
// writes them without a comparator call on the library's own line: the equality
// test, the exchange, the standard rotate and heap operations. An element type
// that declares
//   static void AtLibraryLine(unsigned line, const char* file, const char* callee)
// hears of the library's line before such a call (callee names the standard
// algorithm called, or is null) and of line 0 and null names after it, so that
// a recording element can say which line made each write. The line and file are
// defaulted arguments of the helpers, which the compiler fills in where the
// library calls them. Every other type hears nothing: the calls are empty and
// the arguments unused, so an ordinary caller's compiled code is unchanged.
template <typename T, typename = void>
struct HearsLibraryLines : std::false_type {};
template <typename T>
struct HearsLibraryLines<T, std::void_t<decltype(T::AtLibraryLine(0U, "", ""))>> : std::true_type {
};

template <typename T>
void AtLibraryLine([[maybe_unused]] unsigned line, [[maybe_unused]] const char* file,
                   [[maybe_unused]] const char* callee = nullptr) {
  if constexpr (HearsLibraryLines<T>::value)
    T::AtLibraryLine(line, file, callee);
}

template <typename T>
void LeaveLibraryLine() {
  detail::AtLibraryLine<T>(0, nullptr, nullptr);
}

// The pieces of work a sort does on sub-ranges. An element type that declares
//   static void AtLibraryRange(const T* first, const T* last, int budget,
//                              unsigned line, const char* file)
// hears where QuickSort (at each turn of its loop, which stands for a call),
// MergeSort and IntroSortStep start work on [first, last], where Merge starts
// merging it and where each pass of BubbleSort starts, with IntroSort's
// remaining depth budget (-1 where there is none) and the line that says so.
// The ranges nest as the calls do, so a listener can tell the depth of the
// work from them. Every other type hears
// nothing: the call is empty, and an ordinary caller's compiled code unchanged.
template <typename T, typename = void>
struct HearsLibraryRanges : std::false_type {};
template <typename T>
struct HearsLibraryRanges<T, std::void_t<decltype(T::AtLibraryRange(nullptr, nullptr, 0, 0U, ""))>>
    : std::true_type {};

template <typename T>
void AtLibraryRange([[maybe_unused]] const T* first, [[maybe_unused]] const T* last,
                    [[maybe_unused]] int budget = -1,
                    [[maybe_unused]] unsigned line = __builtin_LINE(),
                    [[maybe_unused]] const char* file = __builtin_FILE()) {
  if constexpr (HearsLibraryRanges<T>::value)
    T::AtLibraryRange(first, last, budget, line, file);
}

// Exact equality, as BubbleSort means it, also for floating-point elements: a
// strict consumer's -Wfloat-equal has nothing to say about these comparisons.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"
template <typename T>
bool Equal(const T& a, const T& b, unsigned line = __builtin_LINE(),
           const char* file = __builtin_FILE()) {
  detail::AtLibraryLine<T>(line, file);
  const bool equal = a == b;
  detail::LeaveLibraryLine<T>();
  return equal;
}
#pragma GCC diagnostic pop

// Exchanges two elements through the element type's own swap where it has one:
// the one unqualified call of the library, so that argument-dependent lookup
// finds that swap.
template <typename T>
void Exchange(T& a, T& b, unsigned line = __builtin_LINE(), const char* file = __builtin_FILE()) {
  detail::AtLibraryLine<T>(line, file);
  using std::swap;
  swap(a, b);
  detail::LeaveLibraryLine<T>();
}

}  // namespace sorting::detail

#endif  // SORTING_DETAIL_HELPERS_H
