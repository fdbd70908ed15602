// A project of its own that uses the library as a user would. It is built with
// a strict consumer's warnings as errors, so the headers stay clean under them.

#include <algorithm>
#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <sorting/sorting.h>

// The target exports the library's headers and nothing else of its repository.
#if __has_include(<tests/CMakeLists.txt>) || __has_include(<show/CMakeLists.txt>) || \
    __has_include(<demo/CMakeLists.txt>) || __has_include(<CMakeLists.txt>)
#error "sorting::sorting lets a consumer reach the repository's own folders"
#endif

namespace {

struct Task {
  std::string name;
  int priority;
};

bool Less(int a, int b) {
  return a < b;
}

bool ByLength(const std::string& a, const std::string& b) {
  return a.size() < b.size();
}

bool Example() {
  std::vector<int> values = {5, 1, 4, 2, 3};
  sorting::IntroSort(values);  // the whole container, ascending

  std::vector<std::string> names = {"Ada", "Grace", "Al"};
  sorting::MergeSort(names, ByLength);  // any comparator

  int raw[] = {3, 1, 2};
  sorting::QuickSort(raw, raw + 2, Less);  // first and *last* element: [raw[0], raw[2]]

  return values == std::vector<int>{1, 2, 3, 4, 5} && names[0] == "Al" && raw[0] == 1;
}

bool AnyComparator() {
  // A key chosen at run time, captured by a lambda.
  const std::vector<int> weights = {30, 10, 20, 0};
  std::vector<std::size_t> indices = {0, 1, 2, 3};
  sorting::QuickSort(indices,
                     [&weights](std::size_t a, std::size_t b) { return weights[a] < weights[b]; });

  std::vector<int> empty;
  sorting::BubbleSort(empty, [](const int& a, const int& b) { return a < b; });

  std::array<int, 4> array = {2, 4, 1, 3};
  sorting::HeapSort(array, std::greater<>());

  std::vector<Task> tasks = {{"write", 2}, {"test", 1}, {"ship", 3}};
  sorting::IntroSort(tasks, [](const Task& a, const Task& b) { return a.priority < b.priority; });

  double measures[] = {2.5, -1.0, 0.0};
  sorting::BubbleSort(measures);

  return indices == std::vector<std::size_t>{3, 1, 2, 0} && empty.empty() &&
         array == std::array<int, 4>{4, 3, 2, 1} && tasks[0].name == "test" &&
         tasks[2].name == "ship" && std::is_sorted(std::begin(measures), std::end(measures));
}

}  // namespace

int main() {
  return Example() && AnyComparator() ? 0 : 1;
}
