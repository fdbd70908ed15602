// The built sort_demo, run as a user runs it: the whole report on random data,
// the prompt last, and the wait for Enter.

#include <algorithm>
#include <chrono>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/run_program.h"

namespace sorting_test {
namespace {

using std::chrono::milliseconds;

constexpr milliseconds kDeadline(30000);  // twice, within CTest's 120 s
const char* const kPrompt = "Press enter to exit";
const char* const kNames[] = {"BubbleSort", "QuickSort", "HeapSort", "MergeSort", "IntroSort"};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

// The elements listed in "<label>[ a, b, c ] ", or a failure if the line has
// another shape.
std::vector<std::string> Listed(const std::string& line, const std::string& label) {
  const std::string head = label + "[ ";
  const std::string tail = " ] ";
  EXPECT_EQ(line.compare(0, head.size(), head), 0) << line;
  EXPECT_GE(line.size(), head.size() + tail.size()) << line;
  EXPECT_EQ(line.compare(line.size() - tail.size(), tail.size(), tail), 0) << line;
  if (line.size() < head.size() + tail.size())
    return {};
  std::vector<std::string> items;
  std::string body = line.substr(head.size(), line.size() - head.size() - tail.size());
  for (std::size_t start = 0;;) {
    const std::size_t comma = body.find(", ", start);
    items.push_back(body.substr(start, comma - start));
    if (comma == std::string::npos)
      break;
    start = comma + 2;
  }
  return items;
}

std::vector<int> Integers(const std::vector<std::string>& items) {
  std::vector<int> values;
  for (const std::string& item : items) {
    EXPECT_TRUE(std::regex_match(item, std::regex("[0-9]+"))) << item;
    values.push_back(std::atoi(item.c_str()));
  }
  return values;
}

std::string Letters(const std::vector<std::string>& items) {
  std::string letters;
  for (const std::string& item : items) {
    EXPECT_TRUE(item.size() == 1 && std::isalpha(static_cast<unsigned char>(item[0]))) << item;
    letters += item.empty() ? '?' : item[0];
  }
  return letters;
}

TEST(SortDemo, WritesTheWholeReportThenThePromptAndExitsZero) {
  ChildProcess demo(SORT_DEMO_PATH, ChildProcess::Input::kDevNull);
  ASSERT_TRUE(demo.started());
  const std::string output = demo.ReadAll(kDeadline);
  ASSERT_EQ(demo.Wait(kDeadline), 0);

  const std::string ending = std::string("\n\n") + kPrompt;
  ASSERT_GE(output.size(), ending.size());
  ASSERT_EQ(output.substr(output.size() - ending.size()), ending) << "the prompt comes last";
  const std::vector<std::string> lines = Lines(output);
  ASSERT_EQ(lines.size(), 1 + 15 + 1 + 5 + 1 + 1 + 5 + 1 + 1u) << output;
  std::size_t at = 0;

  const std::vector<int> source = Integers(Listed(lines[at++], "Sorting int array: "));
  ASSERT_EQ(source.size(), 11u);
  std::vector<int> ascending = source;
  std::sort(ascending.begin(), ascending.end());
  const std::vector<int> descending(ascending.rbegin(), ascending.rend());
  for (const char* name : kNames) {
    const std::string label = std::string("--") + name;
    EXPECT_EQ(Integers(Listed(lines[at++], label + " ascending result: ")), ascending);
    EXPECT_EQ(Integers(Listed(lines[at++], label + " descending result: ")), descending);
    EXPECT_EQ(lines[at++], "");
  }

  EXPECT_EQ(lines[at++], "Sorting 2k int array ");
  for (const char* name : kNames) {
    const std::regex row(std::string("--") + name +
                         " ascending took (0|[1-9][0-9]*)(\\.[0-9]*[1-9])? seconds ");
    EXPECT_TRUE(std::regex_match(lines[at], row)) << lines[at];
    ++at;
  }
  EXPECT_EQ(lines[at++], "");

  const std::string letters = Letters(Listed(lines[at++], "Sorting char array: "));
  ASSERT_EQ(letters.size(), 11u);
  std::string up = letters;  // ASCII: upper-case letters sort before lower-case ones
  std::sort(up.begin(), up.end());
  const std::string down(up.rbegin(), up.rend());
  bool descending_row = true;
  for (const char* name : kNames) {
    const std::string direction = descending_row ? " descending" : " ascending";
    EXPECT_EQ(Letters(Listed(lines[at++], std::string("--") + name + direction + " result: ")),
              descending_row ? down : up);
    descending_row = !descending_row;
  }
  EXPECT_EQ(lines[at++], "");
  EXPECT_EQ(lines[at++], kPrompt);
}

TEST(SortDemo, WaitsForEnterAfterThePrompt) {
  ChildProcess demo(SORT_DEMO_PATH, ChildProcess::Input::kPipe);
  ASSERT_TRUE(demo.started());
  const std::string output = demo.ReadUntil(kPrompt, kDeadline);
  ASSERT_GE(output.size(), std::string(kPrompt).size()) << output;
  std::this_thread::sleep_for(milliseconds(300));
  EXPECT_TRUE(demo.Running()) << "the program left without waiting for Enter";
  demo.Write("\n");
  EXPECT_EQ(demo.Wait(kDeadline), 0);
}

}  // namespace
}  // namespace sorting_test
