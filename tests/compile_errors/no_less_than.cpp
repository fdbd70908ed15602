// expect: sorting: the elements have no operator<, by which a container given without a comparator
// variants: INTRO MERGE
#include <vector>

#include <sorting/sorting.h>

struct Point {
  int x;
  int y;
};

int main() {
  std::vector<Point> points = {{2, 1}, {1, 2}};
#if defined(INTRO)
  sorting::IntroSort(points);
#else
  sorting::MergeSort(points);
#endif
}
