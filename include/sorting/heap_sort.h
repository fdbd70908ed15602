#ifndef SORTING_HEAP_SORT_H
#define SORTING_HEAP_SORT_H

#include <algorithm>
#include <utility>
#if defined(__cpp_exceptions)
#include <exception>
#if defined(__GLIBCXX__)
#include <cxxabi.h>
#endif
#endif

#include "sorting/comparator.h"
#include "sorting/detail/helpers.h"

namespace sorting {
namespace detail {

#if defined(__cpp_exceptions)
// Keeps the exception being handled, but lets the forced unwinding that ends a
// thread (pthread_exit, cancellation) go on, as it must. Out of line and cold,
// so that compilers still inline the comparator into the heap operations' loops.
[[gnu::cold]] inline void KeepException(std::exception_ptr& thrown) {
#if defined(__GLIBCXX__)
  try {
    throw;
  } catch (abi::__forced_unwind&) {
    throw;
  } catch (...) {
    thrown = std::current_exception();
  }
#else
  thrown = std::current_exception();
#endif
}
#endif

// Runs the standard heap operation `heap` over [first, end) under `less`, which
// returns bool, and tells an element type that hears of it the library's line
// (see AtLibraryLine).
//
// The heap operations hold one element outside the range while they sift, so an
// exception from `less` would leave the range without it, and with another one
// twice. Where there are exceptions, the first one is therefore caught and kept;
// every later question gets the answer false without a call, so the operation
// finishes its pass (no comparator call, but up to n log n moves) and puts the
// held element back; then the exception is thrown again (but see KeepException).
// A `less` that does not throw is called exactly as the operation asks. Without
// exceptions, `less` goes to the operation as it is.
template <typename T, typename Less, typename Heap>
void RunHeap(T* first, T* end, Less less, Heap heap, const char* callee, unsigned line,
             const char* file) {
  detail::AtLibraryLine<T>(line, file, callee);
#if defined(__cpp_exceptions)
  // A flag of its own: tested as the pointer it holds, the exception_ptr made
  // g++ lay the loops out as if a throw were the likely case.
  struct {
    bool failed = false;
    std::exception_ptr thrown;
  } state;
  heap(first, end, [less, &state](const T& a, const T& b) {
    if (state.failed)
      return false;
    try {
      return less(a, b);
    } catch (...) {
      state.failed = true;
      detail::KeepException(state.thrown);
      return false;
    }
  });
  detail::LeaveLibraryLine<T>();
  if (state.failed)
    std::rethrow_exception(state.thrown);
#else
  heap(first, end, less);
  detail::LeaveLibraryLine<T>();
#endif
}

// std::make_heap and std::sort_heap, run by RunHeap: at the library's line, and
// keeping every element when `comp` throws.
template <typename T, typename Compare>
void MakeHeap(T* first, T* end, Compare comp, unsigned line = __builtin_LINE(),
              const char* file = __builtin_FILE()) {
  const auto heap = [](T* begin, T* stop, auto less) { std::make_heap(begin, stop, less); };
  detail::RunHeap(first, end, comp, heap, "std::make_heap", line, file);
}

template <typename T, typename Compare>
void SortHeap(T* first, T* end, Compare comp, unsigned line = __builtin_LINE(),
              const char* file = __builtin_FILE()) {
  const auto heap = [](T* begin, T* stop, auto less) { std::sort_heap(begin, stop, less); };
  detail::RunHeap(first, end, comp, heap, "std::sort_heap", line, file);
}

}  // namespace detail

// Sorts [first, last] (both inclusive) in place under `comp` with the standard
// library's std::make_heap and std::sort_heap over the half-open [first, last + 1).
// Touches nothing outside the range.
//
// Not stable. Comparisons: O(n log n) whatever the input. Extra memory: O(1).
// No recursion. The heap operations move elements (one held aside while they
// sift) and never call the element type's own swap. If `comp` throws, the heap
// operation still finishes its pass, without calling `comp`, and puts every
// element back before the exception leaves the sort: the range holds the same
// elements, in some order.
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
// (`Rest` lets a call with iterators reach its one-line error; see ContainerCall.)
template <typename Range, typename Compare = detail::Less, typename... Rest,
          typename = detail::ContainerCall<Range, Compare, Rest...>>
void HeapSort(Range&& range, Compare comp = {}, Rest&&...) {
  if constexpr (detail::CheckRange<Range, Compare>()) {
    if (detail::Size(range) > 1)
      sorting::HeapSort(detail::Data(range), detail::Data(range) + (detail::Size(range) - 1),
                        std::move(comp));
  }
}

}  // namespace sorting

#endif  // SORTING_HEAP_SORT_H
