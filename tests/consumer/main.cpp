#include <sorting/sorting.h>

bool Less(int a, int b) {
  return a < b;
}

int main() {
  int values[] = {3, 1, 2};
  sorting::IntroSort(values, values + 2, Less);
  return values[0] == 1 && values[1] == 2 && values[2] == 3 ? 0 : 1;
}
