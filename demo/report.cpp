#include "demo/report.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

#include <sorting/sort_table.h>
#include <sorting/sorting.h>

#include "demo/comparators.h"
#include "demo/print_array.h"
#include "demo/source_data.h"

namespace {

using sorting::SortFunction;

// The sorts the report shows, in the order every section shows them. Its rows
// are its own, not the library's table of sorts: the report's text is fixed,
// and a sort added to the library does not change it.
struct ReportedSort {
  const char* name;
  SortFunction<int> ints;
  SortFunction<char> chars;
};

const ReportedSort kReportedSorts[] = {
    {"BubbleSort", sorting::BubbleSort<int>, sorting::BubbleSort<char>},
    {"QuickSort", sorting::QuickSort<int>, sorting::QuickSort<char>},
    {"HeapSort", sorting::HeapSort<int>, sorting::HeapSort<char>},
    {"MergeSort", sorting::MergeSort<int>, sorting::MergeSort<char>},
    {"IntroSort", sorting::IntroSort<int>, sorting::IntroSort<char>},
};

bool IsLast(const ReportedSort& reported) {
  return &reported == std::end(kReportedSorts) - 1;
}

// One result row: sorts a copy of the first kDisplayCount source elements and
// prints it between the row's label and `ending`.
template <typename T>
void ResultRow(std::ostream& out, const ReportedSort& reported, SortFunction<T> sort,
               const char* direction, sorting::Comparator<T> comp, const T* source, T* work,
               const char* ending) {
  out << "--" << reported.name << ' ' << direction << " result: [ ";
  std::copy(source, source + kDisplayCount, work);
  sort(work, work + kDisplayCount - 1, comp);
  PrintArray(work, kDisplayCount, out);
  out << ending;
}

// A monotonic reading in whole milliseconds.
std::int64_t NowMilliseconds() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

void SmallIntegerSection(std::ostream& out, const int* arr, int* temp) {
  out << "Sorting int array: [ ";
  PrintArray(arr, kDisplayCount, out);
  out << " ] \n";
  for (const ReportedSort& reported : kReportedSorts) {
    ResultRow(out, reported, reported.ints, "ascending", AscendingInt, arr, temp, " ] \n");
    ResultRow(out, reported, reported.ints, "descending", DescendingInt, arr, temp, " ] \n\n");
  }
}

void TimedSection(std::ostream& out, const int* arr, int* temp) {
  out << "Sorting 2k int array \n";
  for (const ReportedSort& reported : kReportedSorts) {
    out << "--" << reported.name << " ascending ";
    std::copy(arr, arr + kFullCount, temp);
    const std::int64_t start = NowMilliseconds();
    reported.ints(temp, temp + kFullCount - 1, AscendingInt);
    const std::int64_t end = NowMilliseconds();
    const auto elapsed = static_cast<std::int32_t>(end - start);
    out << "took " << elapsed / 1000.0 << (IsLast(reported) ? " seconds \n\n" : " seconds \n");
  }
}

void CharacterSection(std::ostream& out, const char* c, char* ctemp) {
  out << "Sorting char array: [ ";
  PrintArray(c, kDisplayCount, out);
  out << " ] \n";
  bool descending = true;  // the rows alternate, starting with descending
  for (const ReportedSort& reported : kReportedSorts) {
    ResultRow(out, reported, reported.chars, descending ? "descending" : "ascending",
              descending ? DescendingChar : AscendingChar, c, ctemp,
              IsLast(reported) ? " ] \n\n" : " ] \n");
    descending = !descending;
  }
}

}  // namespace

void WriteReport(std::ostream& out, const int* arr, const char* c, int* temp, char* ctemp) {
  SmallIntegerSection(out, arr, temp);
  TimedSection(out, arr, temp);
  CharacterSection(out, c, ctemp);
}
