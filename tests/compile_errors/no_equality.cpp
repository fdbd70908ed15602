// expect: sorting: BubbleSort needs operator== on its elements
#include <string>
#include <vector>

#include <sorting/sorting.h>

struct Task {
  std::string name;
  int priority;
};

int main() {
  std::vector<Task> tasks = {{"ship", 2}, {"test", 1}};
  sorting::BubbleSort(tasks, [](const Task& a, const Task& b) { return a.priority < b.priority; });
}
