// expect: sorting: QuickSort and IntroSort copy the pivot: the elements must be copyable
// variants: QUICK INTRO
#include <memory>
#include <vector>

#include <sorting/sorting.h>

int main() {
  std::vector<std::unique_ptr<int>> values;
  values.push_back(std::make_unique<int>(2));
  values.push_back(std::make_unique<int>(1));
  const auto by_value = [](const std::unique_ptr<int>& a, const std::unique_ptr<int>& b) {
    return *a < *b;
  };
#if defined(QUICK)
  sorting::QuickSort(values, by_value);
#else
  sorting::IntroSort(values.data(), values.data() + 1, by_value);
#endif
}
