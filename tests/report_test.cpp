// The demonstration report, byte for byte, on fixed source data.

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "demo/report.h"
#include "demo/source_data.h"

namespace {

// Timings vary from run to run; each must be a number in the stream's default
// floating-point form (0, 0.015, 1.5, ...), and is then replaced by N.
std::string WithTimingsMasked(const std::string& report) {
  static const std::regex timing("took (0|[1-9][0-9]*)(\\.[0-9]*[1-9])? seconds");
  return std::regex_replace(report, timing, "took N seconds");
}

TEST(WriteReport, WritesEverySectionOnFixedData) {
  int arr[kFullCount] = {12, 88, 7, 45, 3, 71, 29, 60, 94, 18, 36};
  for (int i = kDisplayCount; i < kFullCount; ++i)
    arr[i] = i * 7919 % 10000;
  char c[kDisplayCount] = {'q', 'W', 'e', 'R', 't', 'Y', 'u', 'I', 'o', 'P', 'a'};
  const std::vector<int> arr_before(arr, arr + kFullCount);
  const std::string c_before(c, kDisplayCount);
  int temp[kFullCount];
  char ctemp[kDisplayCount];

  std::ostringstream out;
  WriteReport(out, arr, c, temp, ctemp);

  const char* expected =
      "Sorting int array: [ 12, 88, 7, 45, 3, 71, 29, 60, 94, 18, 36 ] \n"
      "--BubbleSort ascending result: [ 3, 7, 12, 18, 29, 36, 45, 60, 71, 88, 94 ] \n"
      "--BubbleSort descending result: [ 94, 88, 71, 60, 45, 36, 29, 18, 12, 7, 3 ] \n"
      "\n"
      "--QuickSort ascending result: [ 3, 7, 12, 18, 29, 36, 45, 60, 71, 88, 94 ] \n"
      "--QuickSort descending result: [ 94, 88, 71, 60, 45, 36, 29, 18, 12, 7, 3 ] \n"
      "\n"
      "--HeapSort ascending result: [ 3, 7, 12, 18, 29, 36, 45, 60, 71, 88, 94 ] \n"
      "--HeapSort descending result: [ 94, 88, 71, 60, 45, 36, 29, 18, 12, 7, 3 ] \n"
      "\n"
      "--MergeSort ascending result: [ 3, 7, 12, 18, 29, 36, 45, 60, 71, 88, 94 ] \n"
      "--MergeSort descending result: [ 94, 88, 71, 60, 45, 36, 29, 18, 12, 7, 3 ] \n"
      "\n"
      "--IntroSort ascending result: [ 3, 7, 12, 18, 29, 36, 45, 60, 71, 88, 94 ] \n"
      "--IntroSort descending result: [ 94, 88, 71, 60, 45, 36, 29, 18, 12, 7, 3 ] \n"
      "\n"
      "Sorting 2k int array \n"
      "--BubbleSort ascending took N seconds \n"
      "--QuickSort ascending took N seconds \n"
      "--HeapSort ascending took N seconds \n"
      "--MergeSort ascending took N seconds \n"
      "--IntroSort ascending took N seconds \n"
      "\n"
      "Sorting char array: [ q, W, e, R, t, Y, u, I, o, P, a ] \n"
      "--BubbleSort descending result: [ u, t, q, o, e, a, Y, W, R, P, I ] \n"
      "--QuickSort ascending result: [ I, P, R, W, Y, a, e, o, q, t, u ] \n"
      "--HeapSort descending result: [ u, t, q, o, e, a, Y, W, R, P, I ] \n"
      "--MergeSort ascending result: [ I, P, R, W, Y, a, e, o, q, t, u ] \n"
      "--IntroSort descending result: [ u, t, q, o, e, a, Y, W, R, P, I ] \n"
      "\n";
  EXPECT_EQ(WithTimingsMasked(out.str()), expected);
  EXPECT_EQ(std::vector<int>(arr, arr + kFullCount), arr_before) << "the source was sorted";
  EXPECT_EQ(std::string(c, kDisplayCount), c_before) << "the source was sorted";
}

}  // namespace
