#ifndef SORTING_DEMO_PRINT_ARRAY_H
#define SORTING_DEMO_PRINT_ARRAY_H

#include <iostream>

// Writes the first `count` elements separated by ", ", with nothing before the
// first or after the last. Integers print in decimal, characters as themselves.
template <typename T>
void PrintArray(const T* elements, int count, std::ostream& out = std::cout) {
  for (int i = 0; i < count; ++i) {
    out << elements[i];
    if (i < count - 1)
      out << ", ";
  }
}

#endif  // SORTING_DEMO_PRINT_ARRAY_H
