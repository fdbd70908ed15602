// expect: sorting: the container form needs a contiguous range, one that std::data and std::size
// variants: DEQUE LIST VECTOR_BOOL
#include <deque>
#include <list>
#include <vector>

#include <sorting/sorting.h>

int main() {
#if defined(DEQUE)
  std::deque<int> values = {3, 1, 2};
#elif defined(LIST)
  std::list<int> values = {3, 1, 2};
#else
  std::vector<bool> values = {true, false};
#endif
  sorting::BubbleSort(values);
}
