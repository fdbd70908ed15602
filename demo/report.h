#ifndef SORTING_DEMO_REPORT_H
#define SORTING_DEMO_REPORT_H

#include <ostream>

// Writes the demonstration report to `out`: the first kDisplayCount integers of
// `arr` sorted by every algorithm in both directions, each algorithm's time to
// sort all kFullCount integers ascending, and the kDisplayCount letters of `c`
// sorted by every algorithm in alternating directions. Every row sorts a fresh
// copy in the work arrays `temp` (kFullCount integers) and `ctemp`
// (kDisplayCount letters); `arr` and `c` are only read.
void WriteReport(std::ostream& out, const int* arr, const char* c, int* temp, char* ctemp);

#endif  // SORTING_DEMO_REPORT_H
