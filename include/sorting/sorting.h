#ifndef SORTING_SORTING_H
#define SORTING_SORTING_H

// The whole library: five in-place comparison sorts, each over a whole
// contiguous container or an inclusive range [first, last], ordered by any
// comparator (a function pointer, a lambda, a function object); ascending by `<`
// for a container given without one. comparator.h states the conventions.

#include "sorting/bubble_sort.h"
#include "sorting/comparator.h"
#include "sorting/heap_sort.h"
#include "sorting/intro_sort.h"
#include "sorting/merge_sort.h"
#include "sorting/quick_sort.h"

#endif  // SORTING_SORTING_H
