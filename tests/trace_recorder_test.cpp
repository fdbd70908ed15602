// The recorder is faithful: replaying a trace's writes gives what the library
// gives on a plain int array, its comparisons and equality tests are the
// comparator calls and the operator== calls made there, every event stays inside the range and
// agrees with the values the replay holds at that moment, and the worked examples of the step
// functions come out event by event.

#include <cstddef>
#include <iterator>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include <sorting/sort_table.h>

#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "support/input_patterns.h"
#include "support/sort_checks.h"

namespace sorting_test {
namespace {

using sorting_patterns::kPatterns;
using sorting_patterns::MakePattern;
using sorting_patterns::Pattern;
using sorting_patterns::PatternEntry;
using sorting_show::Comparison;
using sorting_show::EqualityTest;
using sorting_show::Event;
using sorting_show::kNoSlot;
using sorting_show::kTrackedSorts;
using sorting_show::RecordingComparator;
using sorting_show::Trace;
using sorting_show::Tracked;
using sorting_show::Write;

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
  return Comparison{{i, a, from_i}, {j, b, from_j}, result};
}

Event Written(int slot, int old_value, int new_value) {
  return Write{slot, old_value, new_value};
}

Event Tested(int i, int j, bool equal, int a, int b) {
  return EqualityTest{i, j, a, b, equal};
}

// An int whose operator== calls are counted.
long equality_calls = 0;

struct Counted {
  int value;
  friend bool operator==(const Counted& a, const Counted& b) {
    ++equality_calls;
    return a.value == b.value;
  }
};

bool CountedLess(Counted a, Counted b) {
  return a.value < b.value;
}
bool CountedGreater(Counted a, Counted b) {
  return a.value > b.value;
}

// The operator== calls that the sort makes on `input`.
long EqualityCalls(std::size_t sort, const std::vector<int>& input, bool descending) {
  std::vector<Counted> values(input.size());
  for (std::size_t k = 0; k < input.size(); ++k)
    values[k].value = input[k];
  equality_calls = 0;
  sorting::kSorts<Counted>[sort].sort(&values.front(), &values.back(),
                                      descending ? CountedGreater : CountedLess);
  return equality_calls;
}

class TraceFaithfulness : public testing::TestWithParam<std::size_t> {};

TEST_P(TraceFaithfulness, ReplaysToTheLibrarysResultWithItsComparatorCalls) {
  const sorting_show::SortEntry& entry = kTrackedSorts[GetParam()];
  const Sorter& plain = kSorters[GetParam()];
  ASSERT_STREQ(entry.name, plain.name);
  for (const PatternEntry& pattern : kPatterns) {
    for (std::size_t size : {1, 2, 7, 40, 129}) {
      for (bool descending : {false, true}) {
        SCOPED_TRACE(testing::Message() << pattern.name << ", size " << size << ", "
                                        << (descending ? "descending" : "ascending"));
        const std::vector<int> input = MakePattern(pattern.pattern, size, 5);
        const Trace trace = sorting_show::RecordSort(entry, input, descending);

        std::vector<int> expected = input;
        comparator_calls = 0;
        plain.ints(&expected[0], &expected[size - 1], descending ? CountingGreater : CountingLess);
        EXPECT_EQ(trace.output, expected);
        EXPECT_EQ(trace.comparisons, comparator_calls);
        EXPECT_EQ(trace.equalities, EqualityCalls(GetParam(), input, descending));

        // Forwards: every event must match the state the replay holds before it.
        std::vector<int> state = input;
        long comparisons = 0;
        long equalities = 0;
        long writes = 0;
        const int n = static_cast<int>(size);
        for (const Event& event : trace.events) {
          const std::string shown = Describe({event});
          if (const Comparison* comparison = std::get_if<Comparison>(&event)) {
            ++comparisons;
            for (const sorting_show::Operand& operand : {comparison->first, comparison->second}) {
              ASSERT_TRUE(operand.slot == kNoSlot || (operand.slot >= 0 && operand.slot < n))
                  << shown;
              ASSERT_TRUE(operand.from == kNoSlot || (operand.from >= 0 && operand.from < n))
                  << shown;
              if (operand.slot != kNoSlot) {
                ASSERT_EQ(operand.from, operand.slot) << shown;
                ASSERT_EQ(operand.value, state[operand.slot]) << shown;
              }
            }
            const int a = comparison->first.value;
            const int b = comparison->second.value;
            ASSERT_EQ(comparison->result, descending ? a > b : a < b) << shown;
          } else if (const EqualityTest* test = std::get_if<EqualityTest>(&event)) {
            ++equalities;
            for (auto [slot, value] : {std::pair(test->first_slot, test->first_value),
                                       std::pair(test->second_slot, test->second_value)}) {
              ASSERT_TRUE(slot == kNoSlot || (slot >= 0 && slot < n)) << shown;
              if (slot != kNoSlot) {
                ASSERT_EQ(value, state[slot]) << shown;
              }
            }
            ASSERT_EQ(test->equal, test->first_value == test->second_value) << shown;
          } else {
            const Write& write = std::get<Write>(event);
            ++writes;
            ASSERT_TRUE(write.slot >= 0 && write.slot < n) << shown;
            ASSERT_EQ(write.old_value, state[write.slot]) << "the write's old value, " << shown;
            state[write.slot] = write.new_value;
          }
        }
        EXPECT_EQ(state, expected);
        EXPECT_EQ(comparisons, trace.comparisons);
        EXPECT_EQ(equalities, trace.equalities);
        EXPECT_EQ(writes, trace.writes);

        // Backwards, from the output, through the old values.
        for (auto event = trace.events.rbegin(); event != trace.events.rend(); ++event) {
          if (const Write* write = std::get_if<Write>(&*event))
            state[write->slot] = write->old_value;
        }
        EXPECT_EQ(state, input);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AllSorts, TraceFaithfulness,
                         testing::Range<std::size_t>(0, std::size(kTrackedSorts)),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return std::string(kTrackedSorts[info.param].name);
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
      Written(0, 5, 1),
      Written(1, 1, 5),
      Compare(2, kNoSlot, false, 4, 3, 2, 4),
      Compare(3, kNoSlot, true, 2, 3, 3, 4),
      Written(1, 5, 2),
      Written(3, 2, 5),
      Written(2, 4, 3),
      Written(4, 3, 4),
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
      Written(1, 4, 2),
      Written(2, 2, 4),
      Compare(2, 3, false, 4, 3, 2, 3),
      Written(2, 4, 3),
      Written(3, 3, 4),
  };
  EXPECT_EQ(Describe(trace.events), Describe(expected));
  EXPECT_EQ(trace.output, (std::vector<int>{1, 2, 3, 4}));
}

// Equal neighbours are told apart by operator== and never reach the comparator;
// unequal ones are tested first, then compared later against earlier.
TEST(TraceWorkedExamples, BubbleSortOf110TestsEqualityBeforeComparing) {
  const Trace trace =
      sorting_show::RecordRun("BubbleSort", {1, 1, 0}, [](Tracked* first, Tracked* last) {
        sorting::BubbleSort(first, last, RecordingComparator{false});
      });
  const std::vector<Event> expected = {
      // First pass: 1 = 1; 1 and 0 trade places.
      Tested(0, 1, true, 1, 1),
      Tested(1, 2, false, 1, 0),
      Compare(2, 1, true, 0, 1, 2, 1),
      Written(1, 1, 0),
      Written(2, 0, 1),
      // Second pass: 1 and 0 trade places; 1 = 1.
      Tested(0, 1, false, 1, 0),
      Compare(1, 0, true, 0, 1, 1, 0),
      Written(0, 1, 0),
      Written(1, 0, 1),
      Tested(1, 2, true, 1, 1),
      // Third pass: nothing to exchange.
      Tested(0, 1, false, 0, 1),
      Compare(1, 0, false, 1, 0, 1, 0),
      Tested(1, 2, true, 1, 1),
  };
  EXPECT_EQ(Describe(trace.events), Describe(expected));
  EXPECT_EQ(trace.equalities, 6);
  EXPECT_EQ(trace.comparisons, 3);
}

// The document's layout is what the page and other readers parse.
TEST(TraceJson, WritesTheSortingTraceFormat) {
  sorting_show::Recording recording;
  recording.input = sorting_show::ValuesInput({2, -2147483647 - 1}, true);
  recording.traces.push_back(
      sorting_show::RecordSort(kTrackedSorts[0], recording.input.values, true));
  EXPECT_EQ(sorting_show::TraceDocument({recording}),
            "{\"format\":\"sorting-trace\",\"version\":2,\"traces\":[{\"algorithm\":\"BubbleSort\","
            "\"pattern\":\"values\",\"size\":2,\"seed\":null,\"comparator\":\"descending\","
            "\"input\":[2,-2147483648],\"output\":[2,-2147483648],\"comparisons\":1,"
            "\"equalities\":1,\"writes\":0,\"events\":[[\"e\",0,1,false,2,-2147483648],"
            "[\"c\",1,0,false,-2147483648,2,1,0]]}]}");

  const sorting_show::Input input =
      sorting_show::PatternInput(Pattern::kPipeOrgan, 4, 4294967295u, false);
  std::string text;
  sorting_show::AppendTrace(text, input,
                            sorting_show::RecordSort(kTrackedSorts[1], input.values, false));
  EXPECT_EQ(text.rfind("{\"algorithm\":\"QuickSort\",\"pattern\":\"pipe_organ\",\"size\":4,"
                       "\"seed\":4294967295,\"comparator\":\"ascending\",\"input\":[0,1,1,0],",
                       0),
            0u)
      << text;
}

// No string of the catalogue can end the page's script element.
TEST(CatalogJson, EscapesWhatHtmlWouldRead) {
  EXPECT_EQ(sorting_show::CatalogDocument().find("</"), std::string::npos);
  std::string text;
  sorting_show::AppendString(text, "a\"b\\</script>\n");
  EXPECT_EQ(text, "\"a\\\"b\\\\\\u003c/script>\\u000a\"");
  text.clear();
  sorting_show::AppendWords(text, " shuffled  all_equal ");
  EXPECT_EQ(text, "[\"shuffled\",\"all_equal\"]");
}

}  // namespace
}  // namespace sorting_test
