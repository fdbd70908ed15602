// Demonstrates the sorting library on random data, then waits for Enter.

#include <cstdlib>
#include <ctime>
#include <iostream>

#include "demo/report.h"
#include "demo/source_data.h"

int main() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));

  int arr[kFullCount];
  int temp[kFullCount];
  char c[kDisplayCount];
  char ctemp[kDisplayCount];
  FillSourceData(arr, c);
  WriteReport(std::cout, arr, c, temp, ctemp);

  std::cout << "Press enter to exit" << std::flush;
  std::cin.get();
  return 0;
}
