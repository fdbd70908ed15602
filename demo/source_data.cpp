#include "demo/source_data.h"

#include <cstdlib>

char RandomLetter() {
  static const char alphanum[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  constexpr int kLetters = sizeof(alphanum) - 1;  // the terminating zero is no letter
  return alphanum[std::rand() % kLetters];
}

void FillSourceData(int* arr, char* c) {
  for (int i = 0; i < kFullCount; ++i) {
    const int modulus = i > kDisplayCount ? 10000 : 100;
    arr[i] = std::rand() % modulus;
  }
  for (int i = 0; i < kDisplayCount; ++i)
    c[i] = RandomLetter();
}
