// expect: sorting: iterators given: the pointer form takes pointers to the first and the last
// variants: TWO THREE
#include <vector>

#include <sorting/sorting.h>

bool Less(int a, int b) {
  return a < b;
}

int main() {
  std::vector<int> values = {3, 1, 2};
#if defined(TWO)
  sorting::IntroSort(values.begin(), values.end());
#else
  sorting::IntroSort(values.begin(), values.end() - 1, Less);  // as std::sort takes them, less one
#endif
}
