#ifndef SORTING_TESTS_SORT_TEST_SUPPORT_H
#define SORTING_TESTS_SORT_TEST_SUPPORT_H

// Moved to support/sort_checks.h, which the fuzzer may include too; this name
// stays only until fuzz/sort_fuzzer.cpp includes that header instead.
#include "support/sort_checks.h"

#endif  // SORTING_TESTS_SORT_TEST_SUPPORT_H
