// expect: sorting: the comparator takes non-const references, but the sorts pass it the elements as
// const
#include <vector>

#include <sorting/sorting.h>

int main() {
  std::vector<int> values = {3, 1, 2};
  sorting::MergeSort(values, [](int& a, int& b) { return a < b; });
}
