// The comparator lab, McIlroy's adversary and the variants, recorded: every run's
// outcome is the one its own identities give; a comparator that throws or a
// spent budget leaves every value in the range; the adversary forces a
// quicksort towards n^2/2 comparisons and IntroSort into HeapSort, and its input
// replays as an ordinary run; each variant differs from the library where its
// misconception matters and agrees where it does not.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <variant>
#include <vector>

#include <gtest/gtest.h>

#include "show/comparator_lab.h"
#include "show/history_picture.h"
#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "show/variants.h"
#include "support/input_patterns.h"

namespace sorting_test {
namespace {

using sorting_patterns::MakePattern;
using sorting_patterns::Pattern;
using sorting_show::ComparatorChoice;
using sorting_show::Event;
using sorting_show::Input;
using sorting_show::kTrackedSorts;
using sorting_show::Rule;
using sorting_show::Trace;

Input LabInput(Pattern pattern, std::size_t size, const std::string& comparator,
               bool descending = false) {
  Input input = sorting_show::PatternInput(pattern, size, 3, descending);
  std::string error;
  EXPECT_TRUE(sorting_show::ParseComparator(comparator, &input.comparator, &error)) << error;
  return input;
}

// The outcome a trace's own events give: replay its writes from its input,
// then ask whether the values are in order and every identity is there once.
struct Replayed {
  std::vector<int> values;
  std::vector<int> identities;
  bool threw = false;
  long long comparisons = 0;
};

Replayed Replay(const Trace& trace) {
  Replayed replayed{trace.input, std::vector<int>(trace.input.size())};
  for (std::size_t k = 0; k < replayed.identities.size(); ++k)
    replayed.identities[k] = static_cast<int>(k);
  for (const Event& event : sorting_show::DecodeEvents(trace.input, trace.events)) {
    if (const auto* write = std::get_if<sorting_show::Write>(&event)) {
      replayed.values[write->slot] = write->new_value;
      replayed.identities[write->slot] = write->new_identity;
    } else if (std::holds_alternative<sorting_show::ThrownCall>(event)) {
      replayed.threw = true;
      ++replayed.comparisons;
    } else if (std::holds_alternative<sorting_show::Comparison>(event)) {
      ++replayed.comparisons;
    }
  }
  return replayed;
}

std::string ExpectedOutcome(const Replayed& replayed, bool descending, bool stopped) {
  if (replayed.threw)
    return "threw";
  if (stopped)
    return "stopped";
  const auto& v = replayed.values;
  const bool sorted =
      descending ? std::is_sorted(v.rbegin(), v.rend()) : std::is_sorted(v.begin(), v.end());
  return sorted ? "sorted" : "not sorted";
}

bool EveryIdentityOnce(std::vector<int> identities) {
  std::sort(identities.begin(), identities.end());
  for (std::size_t k = 0; k < identities.size(); ++k) {
    if (identities[k] != static_cast<int>(k))
      return false;
  }
  return true;
}

// Every sort under every comparator that answers (and one that throws at each
// call in turn): the outcome is the one the replayed identities give, every
// value is kept, and the output is what the events leave.
TEST(ComparatorLab, OutcomesAreTheOnesTheIdentitiesGive) {
  for (const sorting_show::RuleEntry& rule : sorting_show::kRules) {
    // Throws come below; the adversary's values are its own (the Adversary tests).
    if (rule.rule == Rule::kThrowAt || rule.rule == Rule::kAdversary)
      continue;
    const char* comparator = rule.name;
    for (Pattern pattern : {Pattern::kShuffled, Pattern::kShuffled4, Pattern::kAllEqual}) {
      for (std::size_t size : {1, 2, 17, 64}) {
        for (bool descending : {false, true}) {
          const Input input = LabInput(pattern, size, comparator, descending);
          for (const Trace& trace : sorting_show::RecordAll(input).traces) {
            SCOPED_TRACE(testing::Message() << trace.algorithm << " under " << comparator << ", "
                                            << sorting_patterns::PatternName(pattern) << ", size "
                                            << size << (descending ? ", descending" : ""));
            const Replayed replayed = Replay(trace);
            EXPECT_EQ(replayed.values, trace.output);
            EXPECT_EQ(replayed.identities, trace.output_identities);
            EXPECT_EQ(trace.outcome.ended, ExpectedOutcome(replayed, descending, false));
            EXPECT_TRUE(trace.outcome.kept);
            EXPECT_TRUE(EveryIdentityOnce(replayed.identities));
            EXPECT_EQ(trace.comparator, comparator);
            if (std::string(comparator) == "less") {
              EXPECT_EQ(std::string(trace.outcome.ended), "sorted");
            }
          }
        }
      }
    }
  }
}

// A comparator that throws at its K-th call, for every K up to one past the
// calls the run makes: the run ends there, with every value still in the range.
TEST(ComparatorLab, AThrowAtAnyCallKeepsEveryValue) {
  for (const sorting_show::SortEntry& entry : kTrackedSorts) {
    for (Pattern pattern : {Pattern::kShuffled, Pattern::kShuffled4}) {
      const long long calls =
          sorting_show::RecordSort(entry, LabInput(pattern, 23, "less")).comparisons;
      for (long long k = 1; k <= calls + 1; ++k) {
        SCOPED_TRACE(testing::Message()
                     << entry.name << ", " << sorting_patterns::PatternName(pattern)
                     << ", throw-at:" << k);
        const Trace trace =
            sorting_show::RecordSort(entry, LabInput(pattern, 23, "throw-at:" + std::to_string(k)));
        const Replayed replayed = Replay(trace);
        EXPECT_EQ(replayed.identities, trace.output_identities);
        EXPECT_TRUE(trace.outcome.kept);
        EXPECT_TRUE(EveryIdentityOnce(trace.output_identities));
        EXPECT_EQ(std::string(trace.outcome.ended), k <= calls ? "threw" : "sorted");
        EXPECT_EQ(trace.comparisons, std::min(k, calls));
      }
    }
  }
}

// A budget of B calls stops every sort at its B-th call, with every value kept.
TEST(ComparatorLab, TheBudgetStopsARunAndSaysSo) {
  for (const sorting_show::SortEntry& entry : kTrackedSorts) {
    SCOPED_TRACE(entry.name);
    const Trace trace =
        sorting_show::RecordSort(entry, LabInput(Pattern::kShuffled, 40, "less"), true, 25);
    EXPECT_EQ(std::string(trace.outcome.ended), "stopped");
    EXPECT_EQ(trace.comparisons, 25);
    EXPECT_TRUE(trace.outcome.kept);
    EXPECT_EQ(Replay(trace).identities, trace.output_identities);
  }
  EXPECT_EQ(sorting_show::CallBudget(512), 4LL * 512 * 512 + 64);
}

TEST(ComparatorLab, NamesAreReadStrictly) {
  ComparatorChoice choice;
  std::string error;
  EXPECT_TRUE(sorting_show::ParseComparator("throw-at:12", &choice, &error));
  EXPECT_EQ(choice.Name(), "throw-at:12");
  for (const char* bad : {"throw-at", "throw-at:0", "throw-at:x", "less:3", "lesser", ""}) {
    EXPECT_FALSE(sorting_show::ParseComparator(bad, &choice, &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
}

// McIlroy's adversary drives QuickSort towards n^2/2 comparisons and sends
// IntroSort to HeapSort, which keeps it at O(n log n); the input it settled on,
// raced as values under <, gives the same run event for event.
TEST(Adversary, ForcesQuickSortQuadraticAndReplaysAsValues) {
  const std::size_t n = 512;
  const Input input = LabInput(Pattern::kShuffled, n, "adversary");
  for (const sorting_show::SortEntry& entry : kTrackedSorts) {
    SCOPED_TRACE(entry.name);
    const Trace trace = sorting_show::RecordSort(entry, input);
    const std::string name = entry.name;
    if (name == "QuickSort") {
      EXPECT_GE(trace.comparisons, static_cast<long long>(n * n / 4));
    }
    if (name == "IntroSort") {
      EXPECT_LE(trace.comparisons, static_cast<long long>(4 * n * std::log2(n)));
      bool heap = false;
      for (const Event& event : sorting_show::DecodeEvents(trace.input, trace.events))
        heap = heap || sorting_show::SourceOf(event).callee != nullptr;
      EXPECT_TRUE(heap) << "IntroSort falls back to HeapSort";
    }
    const Trace replayed = sorting_show::RecordSort(entry, trace.input, false);
    EXPECT_EQ(replayed.comparisons, trace.comparisons);
    sorting_show::Recording a;
    a.input = sorting_show::ValuesInput(trace.input, false);
    a.traces.push_back(trace);
    sorting_show::Recording b = a;
    b.traces[0] = replayed;
    b.traces[0].comparator = trace.comparator;
    EXPECT_EQ(sorting_show::TraceDocument({a}), sorting_show::TraceDocument({b}));
  }
}

// Each variant differs from the library's sort on shuffled values, sorts every
// pattern (the min-heap one into the reverse order), and where its misconception
// cannot show runs as the library does: event for event, or (for the one
// without equality tests, on distinct values) with the same calls and writes.
TEST(Variants, DifferWhereTheMisconceptionMattersOnly) {
  using Variant =
      sorting_variants::Variant<sorting_show::Tracked, sorting_show::RecordingComparator>;
  const auto& variants =
      sorting_variants::kVariants<sorting_show::Tracked, sorting_show::RecordingComparator>;
  const auto record = [](const Variant& variant, const std::vector<int>& values) {
    return sorting_show::RecordRun(variant.name, values, [&](auto* first, auto* last) {
      variant.run(first, last, sorting_show::RecordingComparator{false});
    });
  };
  const auto library = [](const char* sort, const std::vector<int>& values) {
    for (const sorting_show::SortEntry& entry : kTrackedSorts) {
      if (std::string(entry.name) == sort)
        return sorting_show::RecordSort(entry, values, false);
    }
    return Trace{};
  };
  const auto same = [](const Trace& a, const Trace& b) {
    return a.events.head.size() == b.events.head.size() && a.comparisons == b.comparisons &&
           a.writes == b.writes && a.equalities == b.equalities &&
           a.output_identities == b.output_identities;
  };
  for (const Variant& variant : variants) {
    SCOPED_TRACE(std::string(variant.sort) + " " + variant.name);
    const std::vector<int> shuffled = MakePattern(Pattern::kShuffled4, 40, 5);
    EXPECT_FALSE(same(record(variant, shuffled), library(variant.sort, shuffled)));
    for (const sorting_patterns::PatternEntry& pattern : sorting_patterns::kPatterns) {
      std::vector<int> values = MakePattern(pattern.pattern, 33, 2);
      std::vector<int> sorted = values;
      std::sort(sorted.begin(), sorted.end());
      if (std::string(variant.name) == "min-heap")
        std::reverse(sorted.begin(), sorted.end());
      EXPECT_EQ(record(variant, values).output, sorted) << pattern.name;
    }
    const std::string name = variant.name;
    const std::vector<int> distinct = MakePattern(Pattern::kShuffled, 40, 5);
    const std::vector<int> ascending = MakePattern(Pattern::kAscending, 40, 5);
    if (name == "moving-equal" || name == "left-ties") {
      EXPECT_TRUE(same(record(variant, distinct), library(variant.sort, distinct)));
    }
    if (name == "shrinking-pass") {
      EXPECT_TRUE(same(record(variant, ascending), library(variant.sort, ascending)));
    }
    // Without equal neighbours, the equality tests were all the difference.
    if (name == "no-equality-test") {
      const Trace mine = record(variant, distinct);
      const Trace theirs = library(variant.sort, distinct);
      EXPECT_EQ(mine.equalities, 0);
      EXPECT_EQ(mine.comparisons, theirs.comparisons);
      EXPECT_EQ(mine.writes, theirs.writes);
    }
    // Where every value is equal, no question has another answer the other way round.
    if (name == "min-heap") {
      const std::vector<int> equal = MakePattern(Pattern::kAllEqual, 40, 5);
      EXPECT_TRUE(same(record(variant, equal), library(variant.sort, equal)));
    }
  }
}

// A variant runs as its sort was recorded, so that their traces can be held
// side by side: on the same input under the same comparator, and against the
// adversary on the values it settled on for that sort, in an ordinary order.
TEST(Variants, RunAsTheirSortWasRecorded) {
  for (const char* rule : {"always-false", "throw-at:7", "adversary"}) {
    const sorting_show::Recording recording =
        sorting_show::RecordAll(LabInput(Pattern::kShuffled, 24, rule));
    for (const auto& variant :
         sorting_variants::kVariants<sorting_show::Tracked, sorting_show::RecordingComparator>) {
      SCOPED_TRACE(std::string(rule) + ": " + variant.sort + " " + variant.name);
      const auto sort = std::find_if(
          recording.traces.begin(), recording.traces.end(),
          [&](const Trace& trace) { return std::string(trace.algorithm) == variant.sort; });
      ASSERT_NE(sort, recording.traces.end());
      const Trace trace =
          sorting_show::RecordVariant(variant.sort, variant.name, variant.run, recording);
      EXPECT_EQ(trace.input, sort->input);
      EXPECT_EQ(trace.comparator, std::string(rule) == "adversary" ? "less" : sort->comparator);
    }
  }
}

// The history picture draws each sort from its own trace's input: against the
// adversary no sort ran on the recording's input, so that input changes nothing.
TEST(Adversary, HistoryPictureStartsEachSortFromItsOwnInput) {
  sorting_show::Recording recording =
      sorting_show::RecordAll(LabInput(Pattern::kShuffled, 48, "adversary"));
  const sorting_show::Image picture = sorting_show::DrawHistory(recording);
  std::reverse(recording.input.values.begin(), recording.input.values.end());
  EXPECT_EQ(sorting_show::DrawHistory(recording).rgb, picture.rgb);
}

// The sub-ranges the recursive sorts announce: every event of a sort that has
// them falls inside the range current at it; QuickSort's depth on 64 sorted values
// reaches 63 (each partition peels off the pivot); IntroSort never goes deeper
// than its limit plus one, and hands a range to HeapSort exactly when its budget
// is spent; MergeSort's halves nest about log2 n deep.
TEST(TraceRanges, NestAsTheCallsDoAndHoldEveryEvent) {
  for (const sorting_show::SortEntry& entry : kTrackedSorts) {
    const std::string name = entry.name;
    for (Pattern pattern : {Pattern::kAscending, Pattern::kShuffled, Pattern::kAllEqual}) {
      const std::size_t n = 64;
      const Trace trace = sorting_show::RecordSort(entry, LabInput(pattern, n, "less"));
      SCOPED_TRACE(name + ", " + sorting_patterns::PatternName(pattern));
      const auto& ranges = trace.events.ranges;
      if (name == "HeapSort") {
        EXPECT_TRUE(ranges.empty());
        continue;
      }
      // BubbleSort's passes, each over the whole range, one after the other.
      if (name == "BubbleSort") {
        for (const sorting_show::RangeEntry& pass : ranges)
          EXPECT_TRUE(pass.first == 0 && pass.last == static_cast<int>(n) - 1 && pass.depth == 1);
        EXPECT_EQ(ranges.size() == 1u,
                  pattern == Pattern::kAscending || pattern == Pattern::kAllEqual);
        continue;
      }
      ASSERT_FALSE(ranges.empty());
      EXPECT_EQ(ranges.front().at, 0);
      EXPECT_EQ(ranges.front().depth, 1);
      std::size_t current = 0;
      int deepest = 0;
      const std::vector<Event> events = sorting_show::DecodeEvents(trace.input, trace.events);
      for (std::size_t k = 0; k < events.size(); ++k) {
        while (current + 1 < ranges.size() && ranges[current + 1].at <= static_cast<int>(k))
          ++current;
        const sorting_show::RangeEntry& range = ranges[current];
        deepest = std::max(deepest, range.depth);
        std::vector<int> slots;
        if (const auto* write = std::get_if<sorting_show::Write>(&events[k]))
          slots = {write->slot};
        else if (const auto* comparison = std::get_if<sorting_show::Comparison>(&events[k]))
          slots = {comparison->first.slot, comparison->second.slot};
        for (int slot : slots) {
          if (slot >= 0) {
            ASSERT_TRUE(slot >= range.first && slot <= range.last)
                << "event " << k << " at slot " << slot << " outside [" << range.first << ", "
                << range.last << "]";
          }
        }
        // IntroSort's budget is spent exactly where HeapSort takes over.
        if (name == "IntroSort") {
          ASSERT_EQ(sorting_show::SourceOf(events[k]).callee != nullptr, range.budget == 0)
              << "event " << k;
        }
      }
      if (name == "QuickSort" && pattern == Pattern::kAscending) {
        EXPECT_EQ(deepest, 63);
      }
      if (name == "IntroSort") {
        EXPECT_LE(deepest, sorting::detail::DepthLimit(n) + 1);
        EXPECT_EQ(ranges.front().budget, sorting::detail::DepthLimit(n));
      }
      if (name == "MergeSort") {
        EXPECT_EQ(deepest, 6);  // 64 = 2^6: halves of 32, 16, 8, 4, 2 values
      }
    }
  }
}

}  // namespace
}  // namespace sorting_test
