// expect each: sorting: (the comparator must be callable|the container form needs a contiguous)
// variants: POINTER_FORM CONTAINER_FORM
// Every sort of the table, in both forms, given a wrong argument: each must stop at the shared
// check's one line. Any other error means that a sort lacks that check around its body: in the
// pointer form `if constexpr (detail::CheckArguments<T, Compare>())`, in the container form
// `if constexpr (detail::CheckRange<Range, Compare>())`, as every sort's header has them. Add it.
#include <deque>
#include <string>

#include <sorting/sort_table.h>

using ForStrings = bool (*)(const std::string&, const std::string&);

int main() {
#if defined(POINTER_FORM)
  // A comparator of strings for int elements.
  return sorting::kSorts<int, ForStrings>[0].stable ? 0 : 1;
#else
  // A container that is not contiguous.
  return sorting::kSorts<int, bool (*)(int, int), std::deque<int>&>[0].stable ? 0 : 1;
#endif
}
