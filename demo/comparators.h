#ifndef SORTING_DEMO_COMPARATORS_H
#define SORTING_DEMO_COMPARATORS_H

// The demonstration's four strict orders, for 32-bit integers and for 8-bit
// characters. Characters compare as signed 8-bit values on every platform, so
// upper-case letters sort before lower-case ones whatever the signedness of char.

inline bool AscendingInt(int a, int b) {
  return a < b;
}
inline bool DescendingInt(int a, int b) {
  return b < a;
}

inline bool AscendingChar(char a, char b) {
  return static_cast<signed char>(a) < static_cast<signed char>(b);
}
inline bool DescendingChar(char a, char b) {
  return AscendingChar(b, a);
}

#endif  // SORTING_DEMO_COMPARATORS_H
