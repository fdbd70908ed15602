#ifndef SORTING_SORTING_H
#define SORTING_SORTING_H

// The whole library: five in-place comparison sorts over an inclusive range
// [first, last] ordered by a plain function-pointer comparator.

#include "sorting/bubble_sort.h"
#include "sorting/comparator.h"
#include "sorting/heap_sort.h"
#include "sorting/intro_sort.h"
#include "sorting/merge_sort.h"
#include "sorting/quick_sort.h"

#endif  // SORTING_SORTING_H
