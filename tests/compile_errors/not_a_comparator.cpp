// expect: sorting: the comparator must be callable as comp\(a, b\) on two elements
#include <string>
#include <vector>

#include <sorting/sorting.h>

int main() {
  std::vector<int> values = {3, 1, 2};
  sorting::QuickSort(values, [](const std::string& a, const std::string& b) { return a < b; });
}
