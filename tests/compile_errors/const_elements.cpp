// expect: sorting: cannot sort const elements
#include <vector>

#include <sorting/sorting.h>

int main() {
  const std::vector<int> values = {3, 1, 2};
  sorting::MergeSort(values);
}
