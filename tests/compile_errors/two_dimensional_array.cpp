// expect: sorting: cannot sort arrays, such as the rows of a two-dimensional array
// variants: BUBBLE QUICK POINTER
#include <sorting/sorting.h>

int main() {
  int rows[2][2] = {{3, 4}, {1, 2}};
#if defined(BUBBLE)
  sorting::BubbleSort(rows);  // would compare the rows' addresses
#elif defined(QUICK)
  sorting::QuickSort(rows);
#else
  sorting::HeapSort(rows, rows + 1, [](const int(&a)[2], const int(&b)[2]) { return a[0] < b[0]; });
#endif
}
