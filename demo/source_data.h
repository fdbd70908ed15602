#ifndef SORTING_DEMO_SOURCE_DATA_H
#define SORTING_DEMO_SOURCE_DATA_H

// The demonstration's unsorted source data, drawn from std::rand.

// Elements shown and sorted in the small integer and the character sections.
constexpr int kDisplayCount = 11;
// Elements generated, and elements sorted in the timed section.
constexpr int kFullCount = 4000;

// One of the 52 ASCII letters, from exactly one std::rand draw.
char RandomLetter();

// Fills `arr` with kFullCount integers (indices 0 to kDisplayCount below 100, so
// the displayed ones read easily; the rest below 10000), then `c` with
// kDisplayCount letters: 4000 draws, then 11, in that order.
void FillSourceData(int* arr, char* c);

#endif  // SORTING_DEMO_SOURCE_DATA_H
