// expect: sorting: the pointer form takes three arguments, first, last \(the last element
// variants: ARRAY POINTERS
#include <vector>

#include <sorting/sorting.h>

int main() {
  int values[] = {3, 1, 2};
  std::vector<int> more = {3, 1, 2};
#if defined(ARRAY)
  sorting::QuickSort(values, values + 2);  // `values + 2` would be taken for the comparator
#else
  int* const first = more.data();
  sorting::IntroSort(first, more.data() + 2);
#endif
}
