#ifndef SORTING_SHOW_TRACE_RECORDER_H
#define SORTING_SHOW_TRACE_RECORDER_H

// Records what the library's sorts do, without touching them: the unchanged
// templates run on an instrumented element type, Tracked, under a comparator
// wrapper, RecordingComparator. Every comparator call, every equality test of
// two elements and every write into a slot of the range lands in the active Log
// as an Event. A write keeps the value
// it replaced, so a trace can be replayed backwards as exactly as forwards.
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

// One argument of a comparator call: the slot it stands in (kNoSlot for a value
// held outside the range), its value, and the slot it was last copied from.
struct Operand {
  int slot;
  int value;
  int from;
};

// A comparator call: its two arguments and its answer.
struct Comparison {
  Operand first;
  Operand second;
  bool result;
};

// A write into a slot of the range. The old value makes it reversible.
struct Write {
  int slot;
  int old_value;
  int new_value;
};

// An equality test of two elements: operator==, which BubbleSort asks before
// the comparator (through the library's detail::Equal). The slots of both (or
// kNoSlot), their values, and the answer.
struct EqualityTest {
  int first_slot;
  int second_slot;
  int first_value;
  int second_value;
  bool equal;
};

using Event = std::variant<Comparison, Write, EqualityTest>;

class Tracked;

// The events of the sort that is running on the range [first, first + count).
// One sort is recorded at a time: Tracked finds the log through `active`.
class Log {
 public:
  Log(const Tracked* first, std::size_t count) : first_(first), count_(count) {}

  // The slot that `element` occupies, or kNoSlot if it lies outside the range.
  // Compared as integers: the relational operators are unspecified for
  // pointers into different objects.
  int SlotOf(const Tracked* element) const;

  std::vector<Event> events;
  static inline Log* active = nullptr;

 private:
  const Tracked* first_;
  std::size_t count_;
};

// An int that reports its writes into the range to the active log, and that
// remembers, once copied out of the range, the slot it came from.
class Tracked {
 public:
  explicit Tracked(int value = 0) : value_(value) {}

  Tracked(const Tracked& other) : value_(other.value_), from_(OriginOf(other)) {}

  Tracked& operator=(const Tracked& other) {
    const int value = other.value_;
    const int from = OriginOf(other);
    if (Log::active != nullptr) {
      const int slot = Log::active->SlotOf(this);
      if (slot != kNoSlot)
        Log::active->events.push_back(Write{slot, value_, value});
    }
    value_ = value;
    from_ = from;
    return *this;
  }

  ~Tracked() = default;

  int value() const { return value_; }

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
      Log::active->events.push_back(EqualityTest{Log::active->SlotOf(&a), Log::active->SlotOf(&b),
                                                 a.value_, b.value_, equal});
    }
    return equal;
  }

 private:
  int value_;
  int from_ = kNoSlot;
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
// Arguments by reference, so that their addresses tell their slots.
struct RecordingComparator {
  bool descending;

  bool operator()(const Tracked& a, const Tracked& b) const {
    const bool result = descending ? b.value() < a.value() : a.value() < b.value();
    if (Log::active != nullptr)
      Log::active->events.push_back(Comparison{OperandOf(a), OperandOf(b), result});
    return result;
  }

  static Operand OperandOf(const Tracked& element) {
    return {Log::active->SlotOf(&element), element.value(), Tracked::OriginOf(element)};
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
  std::vector<Event> events;
  long comparisons = 0;
  long equalities = 0;
  long writes = 0;
};

// Runs `run(first, last)` on a range holding `input` (at least one value) and
// records what it does; `name` becomes the trace's algorithm.
template <typename Run>
Trace RecordRun(const char* name, const std::vector<int>& input, Run run) {
  Trace trace;
  trace.algorithm = name;
  std::vector<Tracked> range(input.begin(), input.end());
  if (!range.empty()) {
    Log log(range.data(), range.size());
    Log::active = &log;
    run(range.data(), range.data() + (range.size() - 1));
    Log::active = nullptr;
    trace.events = std::move(log.events);
  }
  for (const Tracked& element : range)
    trace.output.push_back(element.value());
  for (const Event& event : trace.events) {
    if (std::holds_alternative<Comparison>(event))
      ++trace.comparisons;
    else if (std::holds_alternative<EqualityTest>(event))
      ++trace.equalities;
    else
      ++trace.writes;
  }
  return trace;
}

inline Trace RecordSort(const SortEntry& entry, const std::vector<int>& input, bool descending) {
  return RecordRun(entry.name, input, [&](Tracked* first, Tracked* last) {
    entry.sort(first, last, RecordingComparator{descending});
  });
}

// Every sort on one input, in the table's order.
struct Recording {
  Input input;
  std::vector<Trace> traces;
};

inline Recording RecordAll(Input input) {
  Recording recording;
  for (const SortEntry& entry : kTrackedSorts)
    recording.traces.push_back(RecordSort(entry, input.values, input.descending));
  recording.input = std::move(input);
  return recording;
}

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_RECORDER_H
