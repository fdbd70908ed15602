// The recorder is faithful: replaying a trace's writes gives what the library
// gives on a plain int array, its comparisons and equality tests are the
// comparator calls and the operator== calls made there, every event stays inside the range and
// agrees with the values and identities the replay holds at that moment, and the worked examples
// of the step functions come out event by event. Every event names a library line that holds the
// call it came from; the stability verdict agrees with the table of sorts; counting alone gives
// the full recording's counts.

#include <algorithm>
#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <numeric>
#include <sstream>
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
using sorting_show::kNoIdentity;
using sorting_show::kNoSlot;
using sorting_show::kTrackedSorts;
using sorting_show::RecordingComparator;
using sorting_show::Trace;
using sorting_show::Tracked;
using sorting_show::Write;

// An event without its source line and identities, as the worked examples
// give them.
Event Bare(Event event) {
  if (Comparison* comparison = std::get_if<Comparison>(&event)) {
    comparison->source = {};
    comparison->first.identity = comparison->second.identity = kNoIdentity;
  } else if (Write* write = std::get_if<Write>(&event)) {
    write->source = {};
    write->old_identity = write->new_identity = kNoIdentity;
  } else {
    EqualityTest& test = std::get<EqualityTest>(event);
    test.source = {};
    test.first_identity = test.second_identity = kNoIdentity;
  }
  return event;
}

// The events of a trace as text, one per line, for readable failures.
std::string Describe(const std::vector<Event>& events) {
  std::string text;
  for (const Event& event : events) {
    sorting_show::AppendEvent(text, Bare(event), -1);
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

// What to mend when an event names no library line: a write or an equality test
// outside the helpers that tell the recorder where the library stands.
constexpr const char* kAtNoLibraryLine =
    " names no library line: exchange elements through detail::Exchange (a plain swap tells "
    "the recorder nothing), test equality through detail::Equal, and call std::rotate and the "
    "heap operations through detail::Rotate, detail::MakeHeap and detail::SortHeap";

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

        // Forwards: every event must match the state the replay holds before it,
        // its values and its elements' identities, and name a library line.
        std::vector<int> state = input;
        std::vector<int> identities(size);
        std::iota(identities.begin(), identities.end(), 0);
        long comparisons = 0;
        long equalities = 0;
        long writes = 0;
        const int n = static_cast<int>(size);
        const std::vector<Event> events = sorting_show::DecodeEvents(input, trace.events);
        for (const Event& event : events) {
          const std::string shown = Describe({event});
          if (const Comparison* comparison = std::get_if<Comparison>(&event)) {
            ++comparisons;
            for (const sorting_show::Operand& operand : {comparison->first, comparison->second}) {
              ASSERT_TRUE(operand.slot == kNoSlot || (operand.slot >= 0 && operand.slot < n))
                  << shown;
              ASSERT_TRUE(operand.from == kNoSlot || (operand.from >= 0 && operand.from < n))
                  << shown;
              ASSERT_TRUE(operand.identity >= 0 && operand.identity < n) << shown;
              ASSERT_EQ(operand.value, input[operand.identity]) << shown;
              if (operand.slot != kNoSlot) {
                ASSERT_EQ(operand.from, operand.slot) << shown;
                ASSERT_EQ(operand.value, state[operand.slot]) << shown;
                ASSERT_EQ(operand.identity, identities[operand.slot]) << shown;
              }
            }
            ASSERT_NE(comparison->source.file, nullptr) << shown;
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
            if (test->first_slot != kNoSlot && test->second_slot != kNoSlot) {
              ASSERT_EQ(test->first_identity, identities[test->first_slot]) << shown;
              ASSERT_EQ(test->second_identity, identities[test->second_slot]) << shown;
            }
            ASSERT_NE(test->source.file, nullptr)
                << entry.name << ": " << shown << kAtNoLibraryLine;
          } else {
            const Write& write = std::get<Write>(event);
            ++writes;
            ASSERT_TRUE(write.slot >= 0 && write.slot < n) << shown;
            ASSERT_EQ(write.old_value, state[write.slot]) << "the write's old value, " << shown;
            ASSERT_EQ(write.old_identity, identities[write.slot]) << shown;
            ASSERT_TRUE(write.new_identity >= 0 && write.new_identity < n) << shown;
            ASSERT_EQ(write.new_value, input[write.new_identity]) << shown;
            ASSERT_NE(write.source.file, nullptr)
                << entry.name << ": " << shown << kAtNoLibraryLine;
            state[write.slot] = write.new_value;
            identities[write.slot] = write.new_identity;
          }
        }
        EXPECT_EQ(state, expected);
        EXPECT_EQ(identities, trace.output_identities);
        // A stable sort keeps every run of equal values in its input order.
        if (entry.stable) {
          EXPECT_EQ(trace.reordered_equal_pairs, 0);
        }
        EXPECT_EQ(comparisons, trace.comparisons);
        EXPECT_EQ(equalities, trace.equalities);
        EXPECT_EQ(writes, trace.writes);

        // Backwards, from the output, through the old values.
        for (auto event = events.rbegin(); event != events.rend(); ++event) {
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

// The text of a library header's line, read from include/: path as a trace
// names it, line from 1; "" past the end.
std::string LibraryLine(const std::string& path, unsigned line) {
  static std::map<std::string, std::vector<std::string>> files;
  std::vector<std::string>& lines = files[path];
  if (lines.empty()) {
    std::ifstream file(std::string(SORTING_INCLUDE_DIR) + "/" + path);
    for (std::string text; std::getline(file, text);)
      lines.push_back(text);
  }
  return line >= 1 && line <= lines.size() ? lines[line - 1] : "";
}

// What the library line behind an event must call: the comparator for a
// comparison (also inside a heap operation, through the forwarding lambda on the
// heap call's line), the equality test, the exchange, or the wrapper of the
// standard algorithm the event happened in.
std::vector<std::string> ExpectedCalls(const Event& event) {
  const sorting_show::SourceLine& source = sorting_show::SourceOf(event);
  std::vector<std::string> calls;
  if (std::holds_alternative<Comparison>(event))
    calls.emplace_back("comp(");
  else if (std::holds_alternative<EqualityTest>(event))
    calls.emplace_back("detail::Equal(");
  if (source.callee == nullptr) {
    if (std::holds_alternative<Write>(event))
      calls.emplace_back("detail::Exchange(");
    return calls;
  }
  const std::map<std::string, std::string> wrappers = {{"std::make_heap", "detail::MakeHeap("},
                                                       {"std::sort_heap", "detail::SortHeap("},
                                                       {"std::rotate", "detail::Rotate("}};
  const auto wrapper = wrappers.find(source.callee);
  calls.push_back(wrapper != wrappers.end() ? wrapper->second : source.callee);
  return calls;
}

// Every event of every sort, on every pattern in both directions, names a line of
// a library header (as a path below include/) that holds the call it came from.
TEST(TraceSourceLines, NameTheLibraryLineOfEachCall) {
  for (const sorting_show::SortEntry& entry : kTrackedSorts) {
    for (const PatternEntry& pattern : kPatterns) {
      for (bool descending : {false, true}) {
        SCOPED_TRACE(testing::Message() << entry.name << ", " << pattern.name << ", "
                                        << (descending ? "descending" : "ascending"));
        const std::vector<int> input = MakePattern(pattern.pattern, 33, 3);
        const Trace trace = sorting_show::RecordSort(entry, input, descending);
        for (const Event& event : sorting_show::DecodeEvents(input, trace.events)) {
          const sorting_show::SourceLine& source = sorting_show::SourceOf(event);
          ASSERT_NE(source.file, nullptr)
              << entry.name << ": " << Describe({event}) << kAtNoLibraryLine;
          const std::string path = sorting_show::LibraryPath(source.file);
          ASSERT_EQ(path.rfind("sorting/", 0), 0u) << path;
          const std::string line = LibraryLine(path, source.line);
          for (const std::string& call : ExpectedCalls(event)) {
            ASSERT_NE(line.find(call), std::string::npos)
                << path << ":" << source.line << " \"" << line << "\" lacks " << call << " for "
                << Describe({event});
          }
        }
      }
    }
  }
  // The path is the same whatever folder the build named the header by.
  EXPECT_EQ(sorting_show::LibraryPath("/a/include/b/include/sorting/x.h"), "sorting/x.h");
  EXPECT_EQ(sorting_show::LibraryPath("include/sorting/detail/y.h"), "sorting/detail/y.h");
}

// On equal values told apart by their identities: a sort the table calls stable
// ends with them in their input order, exactly as std::stable_sort orders the
// identities; every other sort reorders some pair on the built-in stability
// input. The README's stability column states the table's fact.
TEST(TraceStability, VerdictAgreesWithTheTableOfSorts) {
  for (const sorting_show::SortEntry& entry : kTrackedSorts) {
    long reordered = 0;
    for (std::size_t size : {24, 40}) {
      for (std::uint32_t seed : {1, 2, 3}) {
        for (bool descending : {false, true}) {
          const std::vector<int> input = MakePattern(Pattern::kShuffled4, size, seed);
          const Trace trace = sorting_show::RecordSort(entry, input, descending);
          reordered += trace.reordered_equal_pairs;
          if (!entry.stable)
            continue;
          std::vector<int> order(size);
          std::iota(order.begin(), order.end(), 0);
          std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return descending ? input[a] > input[b] : input[a] < input[b];
          });
          EXPECT_EQ(trace.output_identities, order)
              << entry.name << ", size " << size << ", seed " << seed;
          EXPECT_EQ(trace.reordered_equal_pairs, 0) << entry.name;
        }
      }
    }
    EXPECT_EQ(reordered == 0, entry.stable)
        << entry.name << " reordered " << reordered << " pairs of equal values";
  }
}

// Counting alone, as the cost curves do, gives the full recording's counts and
// keeps no event.
TEST(TraceCounts, EqualTheFullRecordingsCounts) {
  for (const PatternEntry& pattern : kPatterns) {
    for (std::size_t size = 8; size <= 512; size *= 2) {
      const sorting_show::Input input = sorting_show::PatternInput(pattern.pattern, size, 9, false);
      const sorting_show::Recording full = sorting_show::RecordAll(input);
      const sorting_show::Recording counted = sorting_show::RecordAll(input, false);
      for (std::size_t k = 0; k < full.traces.size(); ++k) {
        const Trace& a = full.traces[k];
        const Trace& b = counted.traces[k];
        SCOPED_TRACE(testing::Message()
                     << a.algorithm << ", " << pattern.name << ", size " << size);
        EXPECT_EQ(b.events.size(), 0u);
        EXPECT_EQ(b.comparisons, a.comparisons);
        EXPECT_EQ(b.equalities, a.equalities);
        EXPECT_EQ(b.writes, a.writes);
        EXPECT_EQ(b.writes + b.comparisons + b.equalities, static_cast<long long>(a.events.size()));
        EXPECT_EQ(b.reordered_equal_pairs, a.reordered_equal_pairs);
      }
    }
  }
}

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
  EXPECT_EQ(Describe(sorting_show::DecodeEvents({5, 1, 4, 2, 3}, trace.events)),
            Describe(expected));
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
  EXPECT_EQ(Describe(sorting_show::DecodeEvents({1, 4, 2, 3}, trace.events)), Describe(expected));
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
  EXPECT_EQ(Describe(sorting_show::DecodeEvents({1, 1, 0}, trace.events)), Describe(expected));
  EXPECT_EQ(trace.equalities, 6);
  EXPECT_EQ(trace.comparisons, 3);
}

// The document's layout is what the page and other readers parse: each trace's
// files, and the fields appended to each event after the ones version 2 first had.
TEST(TraceJson, WritesTheSortingTraceFormat) {
  sorting_show::Recording recording;
  recording.input = sorting_show::ValuesInput({2, -2147483647 - 1}, true);
  recording.traces.push_back(
      sorting_show::RecordSort(kTrackedSorts[0], recording.input.values, true));
  const EqualityTest test = std::get<EqualityTest>(
      sorting_show::DecodeEvents(recording.input.values, recording.traces[0].events).at(0));
  const std::string line = std::to_string(test.source.line);
  // BubbleSort's one pass, a piece of work on the whole range, from its own line.
  const std::string pass = std::to_string(recording.traces[0].events.ranges.at(0).source.line);
  EXPECT_EQ(sorting_show::TraceDocument({recording}),
            "{\"format\":\"sorting-trace\",\"version\":2,\"traces\":[{\"algorithm\":\"BubbleSort\","
            "\"pattern\":\"values\",\"size\":2,\"seed\":null,\"comparator\":\"descending\","
            "\"input\":[2,-2147483648],\"output\":[2,-2147483648],\"comparisons\":1,"
            "\"equalities\":1,\"writes\":0,\"rule\":\"less\",\"outcome\":\"sorted\",\"kept\":true,"
            "\"ranges\":[[0,0,1,1,null,0," +
                pass +
                "]],"
                "\"files\":[\"sorting/bubble_sort.h\"],\"events\":[[\"e\",0,1,"
                "false,2,-2147483648,0," +
                line + ",0,1],[\"c\",1,0,false,-2147483648,2,1,0,0," + line + ",1,0,null]]}]}");

  const sorting_show::Input input =
      sorting_show::PatternInput(Pattern::kPipeOrgan, 4, 4294967295u, false);
  const sorting_show::Recording pipe = sorting_show::RecordAll(input);
  const std::string text = sorting_show::TraceDocument({pipe});
  EXPECT_NE(text.find("{\"algorithm\":\"QuickSort\",\"pattern\":\"pipe_organ\",\"size\":4,"
                      "\"seed\":4294967295,\"comparator\":\"ascending\",\"input\":[0,1,1,0],"),
            std::string::npos)
      << text;
  // Each trace lists the files its events and ranges name; IntroSort on 4 values falls back
  // to HeapSort.
  EXPECT_NE(text.find(",\"files\":[\"sorting/heap_sort.h\",\"sorting/intro_sort.h\","
                      "\"sorting/quick_sort.h\"],"),
            std::string::npos);
  // A write inside a standard algorithm names it.
  EXPECT_NE(text.find(",\"std::sort_heap\"]"), std::string::npos);
  EXPECT_NE(text.find(",\"std::rotate\"]"), std::string::npos);
  EXPECT_EQ(sorting_show::CountsDocument(pipe).rfind(
                "{\"format\":\"sorting-counts\",\"version\":1,\"pattern\":\"pipe_organ\","
                "\"size\":4,\"seed\":4294967295,\"comparator\":\"ascending\",\"sorts\":[{\"name\":"
                "\"BubbleSort\",\"comparisons\":" +
                    std::to_string(pipe.traces[0].comparisons) + ",",
                0),
            0u);
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
