// The facts of the library's table of sorts hold: the patterns it calls
// quadratic for a sort are exactly those on which the sort's cost grows as n^2,
// they are patterns of the table of patterns, and the README's table of
// algorithms states the same facts for the same sorts. A sort's files are where
// the build finds them: its header in sorting.h, its tests in a test program.

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sorting/sort_table.h>

#include "support/input_patterns.h"
#include "support/sort_checks.h"

namespace sorting_test {
namespace {

using sorting_patterns::kPatterns;
using sorting_patterns::ListsPattern;
using sorting_patterns::MakePattern;
using sorting_patterns::PatternEntry;

// An int whose copies and assignments are counted, for the cost of moving
// elements: MergeSort's quadratic work is in moves, not comparisons.
long element_moves = 0;

struct Moved {
  int value;
  explicit Moved(int v = 0) : value(v) {}
  Moved(const Moved& other) : value(other.value) { ++element_moves; }
  Moved& operator=(const Moved& other) {
    value = other.value;
    ++element_moves;
    return *this;
  }
  ~Moved() = default;
  friend bool operator==(const Moved& a, const Moved& b) { return a.value == b.value; }
};

struct CountingOrder {
  bool operator()(const Moved& a, const Moved& b) const {
    ++comparator_calls;
    return a.value < b.value;
  }
};

// Comparator calls and element moves of one sort of `pattern` at `size`.
long Cost(sorting::SortFunction<Moved, CountingOrder> sort, const PatternEntry& pattern,
          std::size_t size) {
  const std::vector<int> input = MakePattern(pattern.pattern, size, 2026);
  std::vector<Moved> values(input.begin(), input.end());
  comparator_calls = 0;
  element_moves = 0;
  sort(values.data(), values.data() + size - 1, CountingOrder{});
  return comparator_calls + element_moves;
}

class SortTable : public testing::TestWithParam<std::size_t> {};

// From 2048 to 4096 elements an n log n cost grows 2.0- to 2.2-fold (measured:
// at most 2.20, MergeSort on ascending) and an n^2 one up to 4-fold; but a
// quadratic part with a small constant still grows less at these sizes
// (QuickSort on sawtooth, about n^2/32 for its runs of equal values: 2.66-fold),
// and an n^1.5 one grows 2.83-fold. So a pattern the table lists must make the
// cost grow more than 2.4-fold, and one it does not list less than 3-fold.
TEST_P(SortTable, GrowsAsNSquaredExactlyOnItsQuadraticPatterns) {
  const auto& entry = sorting::kSorts<Moved, CountingOrder>[GetParam()];
  for (const PatternEntry& pattern : kPatterns) {
    const long before = Cost(entry.sort, pattern, 2048);
    const double growth = before == 0 ? 0.0
                                      : static_cast<double>(Cost(entry.sort, pattern, 4096)) /
                                            static_cast<double>(before);
    if (ListsPattern(entry.quadratic_on, pattern.pattern)) {
      EXPECT_GT(growth, 2.4) << pattern.name << ": listed as quadratic, yet the cost grows only "
                             << growth << "-fold from 2048 to 4096 elements";
    } else {
      EXPECT_LT(growth, 3.0) << pattern.name << ": not listed as quadratic, yet the cost grows "
                             << growth << "-fold from 2048 to 4096 elements";
    }
  }
}

TEST_P(SortTable, CallsQuadraticOnlyPatternsOfTheTableOfPatterns) {
  std::istringstream names(sorting::kSorts<int>[GetParam()].quadratic_on);
  for (std::string name; names >> name;)
    EXPECT_NE(sorting_patterns::FindPattern(name.c_str()), nullptr) << name;
}

INSTANTIATE_TEST_SUITE_P(AllSorts, SortTable,
                         testing::Range<std::size_t>(0, std::size(sorting::kSorts<int>)),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return std::string(sorting::kSorts<int>[info.param].name);
                         });

// The cells of a Markdown table row, trimmed, without the backquotes of code.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::istringstream row(line.substr(1));
  for (std::string cell; std::getline(row, cell, '|');) {
    std::string text;
    for (char c : cell) {
      if (c != '`')
        text += c;
    }
    const std::size_t begin = text.find_first_not_of(' ');
    cells.push_back(begin == std::string::npos
                        ? ""
                        : text.substr(begin, text.find_last_not_of(' ') - begin + 1));
  }
  return cells;
}

TEST(SortTableInReadme, StatesTheSameFactsForTheSameSorts) {
  std::ifstream readme(SORTING_README);
  ASSERT_TRUE(readme) << "cannot read " << SORTING_README;
  std::vector<std::vector<std::string>> rows;
  bool in_table = false;
  for (std::string line; std::getline(readme, line);) {
    if (line.rfind("| Algorithm ", 0) == 0) {
      EXPECT_EQ(Cells(line), (std::vector<std::string>{"Algorithm", "Stable", "Extra memory",
                                                       "Best", "Average", "Worst"}));
      in_table = true;
    } else if (in_table && line.rfind("| `", 0) == 0) {
      rows.push_back(Cells(line));
    } else if (in_table && line.rfind("|-", 0) != 0) {
      break;
    }
  }
  std::vector<std::vector<std::string>> expected;
  for (const auto& entry : sorting::kSorts<int>) {
    expected.push_back({entry.name, entry.stable ? "yes" : "no", entry.memory, entry.best,
                        entry.average, entry.worst});
  }
  EXPECT_EQ(rows, expected) << "the README's table of algorithms and sorting::kSorts differ";
}

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Every header of the library but the umbrella and the table is in the umbrella,
// which users include: a sort of the table that is not stays out of their reach.
TEST(SortFiles, EveryHeaderIsInSortingH) {
  const std::filesystem::path folder =
      std::filesystem::path(SORTING_SOURCE_DIR) / "include/sorting";
  const std::string umbrella = Slurp(folder / "sorting.h");
  ASSERT_FALSE(umbrella.empty()) << "cannot read " << folder / "sorting.h";
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string name = file.path().filename().string();
    if (file.path().extension() != ".h" || name == "sorting.h" || name == "sort_table.h")
      continue;
    const std::string line = "#include \"sorting/" + name + "\"";
    EXPECT_NE(umbrella.find(line), std::string::npos)
        << "include/sorting/sorting.h does not include " << name << ": add " << line;
  }
}

// Every test file is in a test program; one left out of tests/CMakeLists.txt
// would never run, and nothing else would say so.
TEST(SortFiles, EveryTestFileIsBuilt) {
  const std::filesystem::path folder = std::filesystem::path(SORTING_SOURCE_DIR) / "tests";
  const std::string build = Slurp(folder / "CMakeLists.txt");
  ASSERT_FALSE(build.empty()) << "cannot read " << folder / "CMakeLists.txt";
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    const std::string name = file.path().filename().string();
    if (name.size() < 9 || name.compare(name.size() - 9, 9, "_test.cpp") != 0)
      continue;
    EXPECT_NE(build.find(name), std::string::npos)
        << "tests/" << name << " is in no test program: add it to the sources of sorting_tests "
        << "in tests/CMakeLists.txt";
  }
}

}  // namespace
}  // namespace sorting_test
