// Demonstrates the sorting library on random data, then waits for Enter.

#include <cstdlib>
#include <ctime>
#include <iostream>

#include "demo/source_data.h"

int main() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  int arr[kFullCount];
  char c[kDisplayCount];
  FillSourceData(arr, c);

  std::cout << "Press enter to exit" << std::flush;
  std::cin.get();
  return 0;
}
