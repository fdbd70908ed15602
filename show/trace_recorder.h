#ifndef SORTING_SHOW_TRACE_RECORDER_H
#define SORTING_SHOW_TRACE_RECORDER_H

// Records what the library's sorts do, without touching them: the unchanged
// templates run on an instrumented element type, Tracked, under a comparator
// wrapper, RecordingComparator. Every comparator call, every equality test of
// two elements and every write into a slot of the range lands in the active Log
// as an Event. A write keeps the value
// it replaced, so a trace can be replayed backwards as exactly as forwards.
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

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <sorting/sort_table.h>

#include "support/input_patterns.h"

namespace sorting_show {

// The slot of a value that stands in no slot of the range (a pivot copy, a
// temporary of the standard heap or rotate algorithms).
inline constexpr int kNoSlot = -1;

// The largest input recorded, natively and in the browser.
inline constexpr std::size_t kMaxValues = 512;

// The identity of a value that never stood in the range.
inline constexpr int kNoIdentity = -1;

// The library's line that made an event: the line and the file as the compiler
// named them (file is null where no line is known), and the standard algorithm
// the event happened in, called from that line (null for none).
struct SourceLine {
  unsigned line = 0;
  const char* file = nullptr;
  const char* callee = nullptr;
};

// One argument of a comparator call: the slot it stands in (kNoSlot for a value
// held outside the range), its value, the slot it was last copied from, and its
// identity (the slot it started in).
struct Operand {
  int slot;
  int value;
  int from;
  int identity = kNoIdentity;
};

// A comparator call: its two arguments and its answer.
struct Comparison {
  Operand first;
  Operand second;
  bool result;
  SourceLine source = {};
};

// A write into a slot of the range. The old value and identity make it reversible.
struct Write {
  int slot;
  int old_value;
  int new_value;
  SourceLine source = {};
  int old_identity = kNoIdentity;
  int new_identity = kNoIdentity;
};

// An equality test of two elements: operator==, which BubbleSort asks before
// the comparator (through the library's detail::Equal). The slots of both (or
// kNoSlot), their values, the answer, and their identities.
struct EqualityTest {
  int first_slot;
  int second_slot;
  int first_value;
  int second_value;
  bool equal;
  SourceLine source = {};
  int first_identity = kNoIdentity;
  int second_identity = kNoIdentity;
};

using Event = std::variant<Comparison, Write, EqualityTest>;

class Tracked;

// The events of the sort that is running on the range [first, first + count),
// and their counts; with keep_events false, the counts alone (for cost curves
// over many sizes). One sort is recorded at a time: Tracked finds the log
// through `active`.
class Log {
 public:
  Log(const Tracked* first, std::size_t count, bool keep_events = true)
      : first_(first), count_(count), keep_events_(keep_events) {}

  // The slot that `element` occupies, or kNoSlot if it lies outside the range.
  // Compared as integers: the relational operators are unspecified for
  // pointers into different objects.
  int SlotOf(const Tracked* element) const;

  void Add(const Event& event) {
    if (std::holds_alternative<Comparison>(event))
      ++comparisons;
    else if (std::holds_alternative<EqualityTest>(event))
      ++equalities;
    else
      ++writes;
    if (keep_events_)
      events.push_back(event);
  }

  std::vector<Event> events;
  long comparisons = 0;
  long equalities = 0;
  long writes = 0;
  // The library's line around the equality test, exchange or standard
  // algorithm that is running, as AtLibraryLine last said.
  SourceLine site;
  static inline Log* active = nullptr;

 private:
  const Tracked* first_;
  std::size_t count_;
  bool keep_events_;
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
        Log::active->Add(Write{slot, value_, value, Log::active->site, identity_, identity});
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

  // Not a comparator call, so an event of its own kind.
  friend bool operator==(const Tracked& a, const Tracked& b) {
    const bool equal = a.value_ == b.value_;
    if (Log::active != nullptr) {
      Log::active->Add(EqualityTest{Log::active->SlotOf(&a), Log::active->SlotOf(&b), a.value_,
                                    b.value_, equal, Log::active->site, a.identity_, b.identity_});
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
      Log::active->Add(Comparison{OperandOf(a), OperandOf(b), result,
                                  SourceLine{line, file, Log::active->site.callee}});
    }
    return result;
  }

  static Operand OperandOf(const Tracked& element) {
    return {Log::active->SlotOf(&element), element.value(), Tracked::OriginOf(element),
            element.identity()};
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
  std::vector<Event> events;  // empty when only the counts were kept
  long comparisons = 0;
  long equalities = 0;
  long writes = 0;
  // Pairs of equal values that end in the other order than they started in:
  // 0 on every input for a stable sort.
  long reordered_equal_pairs = 0;
};

// The pairs of equal values whose identities stand in decreasing order.
inline long ReorderedEqualPairs(const std::vector<int>& values,
                                const std::vector<int>& identities) {
  long pairs = 0;
  for (std::size_t p = 0; p < values.size(); ++p) {
    for (std::size_t q = p + 1; q < values.size(); ++q) {
      if (values[p] == values[q] && identities[p] > identities[q])
        ++pairs;
    }
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
