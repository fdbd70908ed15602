// The recorder is faithful: replaying a trace's writes gives what the library
// gives on a plain int array, its comparisons are the comparator calls made
// there, every event stays inside the range and agrees with the values the
// replay holds at that moment, and the worked examples of the step functions
// come out event by event.

#include <cstddef>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "tests/input_patterns.h"
#include "tests/sort_test_support.h"

namespace sorting_test {
namespace {

using sorting_show::Event;
using sorting_show::kNoSlot;
using sorting_show::RecordingComparator;
using sorting_show::Trace;
using sorting_show::Tracked;

// The events of a trace as text, one per line, for readable failures.
std::string Describe(const std::vector<Event>& events) {
  std::string text;
  for (const Event& event : events) {
    sorting_show::AppendEvent(text, event);
    text += '\n';
  }
  return text;
}

Event Compare(int i, int j, bool result, int a, int b, int from_i, int from_j) {
  return {true, result, i, j, a, b, from_i, from_j};
}

Event Write(int slot, int old_value, int new_value) {
  return {false, false, slot, kNoSlot, old_value, new_value, kNoSlot, kNoSlot};
}

class TraceFaithfulness : public testing::TestWithParam<std::size_t> {};

TEST_P(TraceFaithfulness, ReplaysToTheLibrarysResultWithItsComparatorCalls) {
  const sorting_show::Algorithm& algorithm = sorting_show::kAlgorithms[GetParam()];
  const Sorter& plain = kSorters[GetParam()];
  ASSERT_STREQ(algorithm.name, plain.name);
  for (Pattern pattern : kAllPatterns) {
    for (std::size_t size : {1, 2, 7, 40, 129}) {
      for (bool descending : {false, true}) {
        SCOPED_TRACE(testing::Message() << PatternName(pattern) << ", size " << size << ", "
                                        << (descending ? "descending" : "ascending"));
        const std::vector<int> input = MakePattern(pattern, size, 5);
        const Trace trace = sorting_show::RecordSort(algorithm, input, descending);

        std::vector<int> expected = input;
        comparator_calls = 0;
        plain.ints(&expected[0], &expected[size - 1], descending ? CountingGreater : CountingLess);
        EXPECT_EQ(trace.output, expected);
        EXPECT_EQ(trace.comparisons, comparator_calls);

        // Forwards: every event must match the state the replay holds before it.
        std::vector<int> state = input;
        long comparisons = 0;
        long writes = 0;
        const int n = static_cast<int>(size);
        for (const Event& event : trace.events) {
          const std::string shown = Describe({event});
          if (event.comparison) {
            ++comparisons;
            for (auto [slot, value, from] : {std::tuple(event.i, event.a, event.from_i),
                                             std::tuple(event.j, event.b, event.from_j)}) {
              ASSERT_TRUE(slot == kNoSlot || (slot >= 0 && slot < n)) << shown;
              ASSERT_TRUE(from == kNoSlot || (from >= 0 && from < n)) << shown;
              if (slot != kNoSlot) {
                ASSERT_EQ(from, slot) << shown;
                ASSERT_EQ(value, state[slot]) << shown;
              }
            }
            ASSERT_EQ(event.result, descending ? event.a > event.b : event.a < event.b) << shown;
          } else {
            ++writes;
            ASSERT_TRUE(event.i >= 0 && event.i < n) << shown;
            ASSERT_EQ(event.a, state[event.i]) << "the write's old value, " << shown;
            state[event.i] = event.b;
          }
        }
        EXPECT_EQ(state, expected);
        EXPECT_EQ(comparisons, trace.comparisons);
        EXPECT_EQ(writes, trace.writes);

        // Backwards, from the output, through the old values.
        for (auto event = trace.events.rbegin(); event != trace.events.rend(); ++event) {
          if (!event->comparison)
            state[event->i] = event->a;
        }
        EXPECT_EQ(state, input);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllSorts, TraceFaithfulness, testing::Range<std::size_t>(0, 5),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return std::string(sorting_show::kAlgorithms[info.param].name);
                         });

// Lomuto around the last element, 3: 5 stays, 1 goes to the front, 4 stays, 2
// goes second; then the pivot trades places with 4. Every comparison is with the
// pivot's copy, which stands in no slot and came from slot 4.
TEST(TraceWorkedExamples, PartitionOf51423AroundThree) {
  std::ptrdiff_t place = -1;
  const Trace trace =
      sorting_show::RecordRun("Partition", {5, 1, 4, 2, 3}, [&](Tracked* begin, Tracked* last) {
        place = sorting::Partition(begin, last, RecordingComparator{false}) - begin;
      });
  const std::vector<Event> expected = {
      Compare(0, kNoSlot, false, 5, 3, 0, 4),
      Compare(1, kNoSlot, true, 1, 3, 1, 4),
      Write(0, 5, 1),
      Write(1, 1, 5),
      Compare(2, kNoSlot, false, 4, 3, 2, 4),
      Compare(3, kNoSlot, true, 2, 3, 3, 4),
      Write(1, 5, 2),
      Write(3, 2, 5),
      Write(2, 4, 3),
      Write(4, 3, 4),
  };
  EXPECT_EQ(Describe(trace.events), Describe(expected));
  EXPECT_EQ(trace.output, (std::vector<int>{1, 2, 3, 5, 4}));
  EXPECT_EQ(place, 2);
}

// 1 < 2 stays; 4 > 2, so 2 moves below 4; 4 > 3, so 3 moves below 4. Each move
// of one element past one other is an exchange: two writes.
TEST(TraceWorkedExamples, MergeOf14With23) {
  const Trace trace =
      sorting_show::RecordRun("Merge", {1, 4, 2, 3}, [](Tracked* first, Tracked* last) {
        sorting::Merge(first, first + 2, last, RecordingComparator{false});
      });
  const std::vector<Event> expected = {
      Compare(0, 2, true, 1, 2, 0, 2),
      Compare(1, 2, false, 4, 2, 1, 2),
      Write(1, 4, 2),
      Write(2, 2, 4),
      Compare(2, 3, false, 4, 3, 2, 3),
      Write(2, 4, 3),
      Write(3, 3, 4),
  };
  EXPECT_EQ(Describe(trace.events), Describe(expected));
  EXPECT_EQ(trace.output, (std::vector<int>{1, 2, 3, 4}));
}

// The document's layout is what the page and other readers parse.
TEST(TraceJson, WritesTheSortingTraceFormat) {
  sorting_show::Recording recording;
  recording.input = sorting_show::ValuesInput({2, -2147483647 - 1}, true);
  recording.traces.push_back(
      sorting_show::RecordSort(sorting_show::kAlgorithms[0], recording.input.values, true));
  EXPECT_EQ(sorting_show::TraceDocument({recording}),
            "{\"format\":\"sorting-trace\",\"version\":1,\"traces\":[{\"algorithm\":\"BubbleSort\","
            "\"pattern\":\"values\",\"size\":2,\"seed\":null,\"comparator\":\"descending\","
            "\"input\":[2,-2147483648],\"output\":[2,-2147483648],\"comparisons\":1,\"writes\":0,"
            "\"events\":[[\"c\",1,0,false,-2147483648,2,1,0]]}]}");

  const sorting_show::Input input =
      sorting_show::PatternInput(Pattern::kPipeOrgan, 4, 4294967295u, false);
  std::string text;
  sorting_show::AppendTrace(
      text, input, sorting_show::RecordSort(sorting_show::kAlgorithms[1], input.values, false));
  EXPECT_EQ(text.rfind("{\"algorithm\":\"QuickSort\",\"pattern\":\"pipe_organ\",\"size\":4,"
                       "\"seed\":4294967295,\"comparator\":\"ascending\",\"input\":[0,1,1,0],",
                       0),
            0u)
      << text;
}

}  // namespace
}  // namespace sorting_test
