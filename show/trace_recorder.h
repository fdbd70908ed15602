#ifndef SORTING_SHOW_TRACE_RECORDER_H
#define SORTING_SHOW_TRACE_RECORDER_H

// Records what the library's sorts do, without touching them: the unchanged
// templates run on an instrumented element type, Tracked, under a comparator
// wrapper, RecordingComparator. Every comparator call, every equality test of
// two elements and every write into a slot of the range lands in the active Log,
// which keeps it in the binary columns of show/trace_format.h. A replay knows
// the value and identity a write replaces, so a trace can be replayed backwards
// as exactly as forwards.
//
// Each event names the library's source line that made it, as the compiler saw
// it at the call: the comparator's call operator takes __builtin_LINE() and
// __builtin_FILE() as defaulted arguments, and Tracked hears of the line of
// every equality test, exchange and standard rotate or heap call through the
// library's AtLibraryLine hook. Each element also carries its identity, the
// slot it started in, through every copy and write, so that equal values can be
// told apart and a trace says whether the sort kept their order.
//
// The same source builds natively and for wasm32-wasi with -fno-exceptions:
// nothing here throws, prints or reads a file.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <sorting/sort_table.h>

#include "show/trace_format.h"
#include "support/input_patterns.h"

namespace sorting_show {

class Tracked;

// The events of the sort that is running on the range [first, first + count),
// in binary columns, and their counts; with keep_events false, the counts alone
// (for cost curves over many sizes). One sort is recorded at a time: Tracked
// finds the log through `active`.
class Log {
 public:
  Log(const Tracked* first, std::size_t count, bool keep_events = true)
      : first_(first), count_(count), keep_events_(keep_events) {}

  // The slot that `element` occupies, or kNoSlot if it lies outside the range.
  // Compared as integers: the relational operators are unspecified for
  // pointers into different objects.
  int SlotOf(const Tracked* element) const;

  void AddComparison(const Operand& a, const Operand& b, bool result, const SourceLine& source) {
    ++comparisons;
    if (keep_events_)
      AddTest(EventKind::kComparison, a, b, result, source);
  }

  void AddEqualityTest(const Operand& a, const Operand& b, bool equal, const SourceLine& source) {
    ++equalities;
    if (keep_events_)
      AddTest(EventKind::kEqualityTest, a, b, equal, source);
  }

  void AddWrite(int slot, int new_value, int new_identity, const SourceLine& source) {
    ++writes;
    if (!keep_events_)
      return;
    AddHead(EventKind::kWrite, false, source);
    events.first.push_back(static_cast<std::uint16_t>(slot));
    events.second.push_back(Stored(new_identity));
    events.extra.push_back(new_value);
  }

  EventColumns events;
  long long comparisons = 0;
  long long equalities = 0;
  long long writes = 0;
  // The library's line around the equality test, exchange or standard
  // algorithm that is running, as AtLibraryLine last said.
  SourceLine site;
  static inline Log* active = nullptr;

 private:
  static std::uint16_t Stored(int slot_or_identity) {
    return slot_or_identity < 0 ? kHeld : static_cast<std::uint16_t>(slot_or_identity);
  }

  void AddHead(EventKind kind, bool answer, const SourceLine& source) {
    events.head.push_back(static_cast<std::uint8_t>(static_cast<unsigned>(kind) << kHeadKind.shift |
                                                    unsigned{answer} << kHeadAnswer.shift |
                                                    SiteIndex(source) << kHeadSite.shift));
  }

  // Consecutive events mostly come from one line, so the last answer is kept.
  unsigned SiteIndex(const SourceLine& source) {
    std::vector<SourceLine>& sites = events.sites;
    if (last_site_ < sites.size() && sites[last_site_] == source)
      return last_site_;
    std::size_t k = 0;
    while (k < sites.size() && !(sites[k] == source))
      ++k;
    if (k == sites.size()) {
      if (k == kMaxSites) {
        events.too_many_sites = true;
        return 0;
      }
      sites.push_back(source);
    }
    last_site_ = k;
    return static_cast<unsigned>(k);
  }

  // A comparison or an equality test: a held operand's value, origin and
  // identity go to `held`, once for a run of tests against the same held value.
  void AddTest(EventKind kind, const Operand& a, const Operand& b, bool answer,
               const SourceLine& source) {
    AddHead(kind, answer, source);
    events.first.push_back(Stored(a.slot));
    events.second.push_back(Stored(b.slot));
    const bool a_held = a.slot == kNoSlot;
    const bool b_held = b.slot == kNoSlot;
    if (!a_held && !b_held)
      return;
    const HeldOperand first = a_held ? HeldOperand{a.value, a.from, a.identity}
                                     : HeldOperand{b.value, b.from, b.identity};
    std::vector<HeldOperand>& held = events.held;
    const bool same_as_last = !(a_held && b_held) && !held.empty() &&
                              held.back().value == first.value && held.back().from == first.from &&
                              held.back().identity == first.identity;
    if (!same_as_last) {
      held.push_back(first);
      if (a_held && b_held)
        held.push_back({b.value, b.from, b.identity});
    }
    const std::size_t at = held.size() - (a_held && b_held ? 2 : 1);
    events.extra.push_back(static_cast<std::int32_t>(at));
  }

  const Tracked* first_;
  std::size_t count_;
  bool keep_events_;
  std::size_t last_site_ = 0;
};

// An int that reports its writes into the range to the active log, that
// remembers, once copied out of the range, the slot it came from, and that
// carries its identity wherever it is copied.
class Tracked {
 public:
  explicit Tracked(int value = 0, int identity = kNoIdentity)
      : value_(value), identity_(identity) {}

  Tracked(const Tracked& other)
      : value_(other.value_), from_(OriginOf(other)), identity_(other.identity_) {}

  Tracked& operator=(const Tracked& other) {
    const int value = other.value_;
    const int from = OriginOf(other);
    const int identity = other.identity_;
    if (Log::active != nullptr) {
      const int slot = Log::active->SlotOf(this);
      if (slot != kNoSlot)
        Log::active->AddWrite(slot, value, identity, Log::active->site);
    }
    value_ = value;
    from_ = from;
    identity_ = identity;
    return *this;
  }

  ~Tracked() = default;

  int value() const { return value_; }
  int identity() const { return identity_; }

  // The library's hook (sorting::detail::AtLibraryLine): the line of the
  // equality test, exchange or standard algorithm about to run, or line 0 once
  // it has returned.
  static void AtLibraryLine(unsigned line, const char* file, const char* callee) {
    if (Log::active != nullptr)
      Log::active->site = {line, file, callee};
  }

  // Where this value was last copied from: its own slot while it stands in the
  // range, the slot of its source for a copy outside it, kNoSlot if neither.
  static int OriginOf(const Tracked& element) {
    const int slot = Log::active != nullptr ? Log::active->SlotOf(&element) : kNoSlot;
    return slot != kNoSlot ? slot : element.from_;
  }

  // An argument of a comparator call or an equality test, as the log keeps it.
  static Operand OperandOf(const Tracked& element) {
    const int slot = Log::active->SlotOf(&element);
    return {slot, element.value_, slot != kNoSlot ? slot : element.from_, element.identity_};
  }

  // Not a comparator call, so an event of its own kind.
  friend bool operator==(const Tracked& a, const Tracked& b) {
    const bool equal = a.value_ == b.value_;
    if (Log::active != nullptr) {
      Log::active->AddEqualityTest(OperandOf(a), OperandOf(b), equal, Log::active->site);
    }
    return equal;
  }

 private:
  int value_;
  int from_ = kNoSlot;
  int identity_;
};

inline int Log::SlotOf(const Tracked* element) const {
  const auto address = reinterpret_cast<std::uintptr_t>(element);
  const auto first = reinterpret_cast<std::uintptr_t>(first_);
  if (address < first || (address - first) % sizeof(Tracked) != 0)
    return kNoSlot;
  const std::uintptr_t slot = (address - first) / sizeof(Tracked);
  return slot < count_ ? static_cast<int>(slot) : kNoSlot;
}

// Compares the values as `<` (ascending) or `>` (descending) and logs the call.
// Arguments by reference, so that their addresses tell their slots. The line
// and file are those of the library's call; a call from inside a standard heap
// operation comes through the library's forwarding lambda, which stands on the
// line of the heap call, and is marked with that algorithm's name.
struct RecordingComparator {
  bool descending;

  bool operator()(const Tracked& a, const Tracked& b, unsigned line = __builtin_LINE(),
                  const char* file = __builtin_FILE()) const {
    const bool result = descending ? b.value() < a.value() : a.value() < b.value();
    if (Log::active != nullptr) {
      Log::active->AddComparison(Tracked::OperandOf(a), Tracked::OperandOf(b), result,
                                 SourceLine{line, file, Log::active->site.callee});
    }
    return result;
  }
};

// The library's sorts on the instrumented type, in the table's order.
using SortEntry = sorting::SortEntry<Tracked, RecordingComparator>;
inline constexpr const auto& kTrackedSorts = sorting::kSorts<Tracked, RecordingComparator>;

// What one input to the sorts is: a named pattern of a size and seed, or
// explicit values; and the direction.
struct Input {
  std::string pattern;  // a pattern's name, or "values"
  bool has_seed = false;
  std::uint32_t seed = 0;
  bool descending = false;
  std::vector<int> values;
};

inline Input PatternInput(sorting_patterns::Pattern pattern, std::size_t size, std::uint32_t seed,
                          bool descending) {
  Input input;
  input.pattern = sorting_patterns::PatternName(pattern);
  input.has_seed = true;
  input.seed = seed;
  input.descending = descending;
  input.values = sorting_patterns::MakePattern(pattern, size, seed);
  return input;
}

inline Input ValuesInput(std::vector<int> values, bool descending) {
  Input input;
  input.pattern = "values";
  input.descending = descending;
  input.values = std::move(values);
  return input;
}

// One sort's run on one input.
struct Trace {
  const char* algorithm;
  std::vector<int> output;
  // The identity of each output value: the slot of the input it started in.
  std::vector<int> output_identities;
  EventColumns events;  // empty when only the counts were kept
  long long comparisons = 0;
  long long equalities = 0;
  long long writes = 0;
  // Pairs of equal values that end in the other order than they started in:
  // 0 on every input for a stable sort.
  long long reordered_equal_pairs = 0;
};

// The pairs of slots p < q whose values are equal and whose identities stand in
// decreasing order: the inversions of the identities within each run of equal
// values, taken in slot order, counted by merging in O(n log n).
inline long long ReorderedEqualPairs(const std::vector<int>& values,
                                     const std::vector<int>& identities) {
  // The slots by value, each run of equal values in slot order.
  std::vector<std::pair<int, std::size_t>> slots(values.size());
  for (std::size_t k = 0; k < slots.size(); ++k)
    slots[k] = {values[k], k};
  std::sort(slots.begin(), slots.end());
  std::vector<int> run;
  std::vector<int> merged;
  long long pairs = 0;
  for (std::size_t begin = 0; begin < slots.size();) {
    std::size_t end = begin;
    run.clear();
    while (end < slots.size() && slots[end].first == slots[begin].first)
      run.push_back(identities[slots[end++].second]);
    // Bottom-up merge sort of the run, counting the pairs each merge crosses.
    merged.resize(run.size());
    for (std::size_t width = 1; width < run.size(); width *= 2) {
      for (std::size_t low = 0; low < run.size(); low += 2 * width) {
        const std::size_t mid = std::min(low + width, run.size());
        const std::size_t high = std::min(low + 2 * width, run.size());
        std::size_t i = low;
        std::size_t j = mid;
        for (std::size_t out = low; out < high; ++out) {
          if (j == high || (i < mid && run[i] <= run[j])) {
            merged[out] = run[i++];
          } else {
            pairs += static_cast<long long>(mid - i);
            merged[out] = run[j++];
          }
        }
      }
      run.swap(merged);
    }
    begin = end;
  }
  return pairs;
}

// Runs `run(first, last)` on a range holding `input`, each value's identity its
// slot, and records what it does (the counts alone unless `keep_events`);
// `name` becomes the trace's algorithm.
template <typename Run>
Trace RecordRun(const char* name, const std::vector<int>& input, Run run, bool keep_events = true) {
  Trace trace;
  trace.algorithm = name;
  std::vector<Tracked> range;
  range.reserve(input.size());
  for (std::size_t k = 0; k < input.size(); ++k)
    range.emplace_back(input[k], static_cast<int>(k));
  if (!range.empty()) {
    Log log(range.data(), range.size(), keep_events);
    Log::active = &log;
    run(range.data(), range.data() + (range.size() - 1));
    Log::active = nullptr;
    trace.events = std::move(log.events);
    trace.comparisons = log.comparisons;
    trace.equalities = log.equalities;
    trace.writes = log.writes;
  }
  for (const Tracked& element : range) {
    trace.output.push_back(element.value());
    trace.output_identities.push_back(element.identity());
  }
  trace.reordered_equal_pairs = ReorderedEqualPairs(trace.output, trace.output_identities);
  return trace;
}

inline Trace RecordSort(const SortEntry& entry, const std::vector<int>& input, bool descending,
                        bool keep_events = true) {
  return RecordRun(
      entry.name, input,
      [&](Tracked* first, Tracked* last) {
        entry.sort(first, last, RecordingComparator{descending});
      },
      keep_events);
}

// Every sort on one input, in the table's order.
struct Recording {
  Input input;
  std::vector<Trace> traces;
};

inline Recording RecordAll(Input input, bool keep_events = true) {
  Recording recording;
  for (const SortEntry& entry : kTrackedSorts)
    recording.traces.push_back(RecordSort(entry, input.values, input.descending, keep_events));
  recording.input = std::move(input);
  return recording;
}

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_RECORDER_H
