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
// Runs can go under one of the comparator lab's comparators (show/comparator_lab.h),
// and end early where that comparator throws or a call budget is spent.
//
// The same source builds natively and for wasm32-wasi with -fno-exceptions:
// nothing here prints or reads a file, and nothing throws but the end of a run
// where there are exceptions (RunStopped, which RecordRun catches).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <sorting/sort_table.h>

#include "show/comparator_lab.h"
#include "show/trace_format.h"
#include "support/input_patterns.h"

namespace sorting_show {

class Tracked;

// Why a run ended before its sort returned: its comparator threw (throw-at:K),
// or it reached the call budget.
enum class Stop { kNone, kThrew, kBudget };

#if defined(__cpp_exceptions)
// What the recorder's comparator throws to end a run; the sort lets it pass.
struct RunStopped {};
#endif

// The events of the sort that is running on the range [first, first + count),
// in binary columns, and their counts; with keep_events false, the counts alone
// (for cost curves over many sizes). One sort is recorded at a time: Tracked
// finds the log through `active`. The log also follows the values and
// identities in the slots as its writes leave them, which is the range itself
// until a run stops.
class Log {
 public:
  Log(const Tracked* first, const std::vector<int>& input, bool keep_events = true,
      ComparatorLab* lab = nullptr, long long budget = -1)
      : values(input),
        identities(input.size()),
        lab(lab),
        budget(budget),
        first_(first),
        count_(input.size()),
        keep_events_(keep_events) {
    for (std::size_t k = 0; k < identities.size(); ++k)
      identities[k] = static_cast<int>(k);
  }

  // The slot that `element` occupies, or kNoSlot if it lies outside the range.
  // Compared as integers: the relational operators are unspecified for
  // pointers into different objects.
  int SlotOf(const Tracked* element) const;

  // A comparator call: the answer the comparator gives (the lab's, or a < b), as
  // the run goes on or stops. A call that throws (throw-at:K, or the budget
  // spent) ends the run: where there are exceptions it throws RunStopped, and
  // the library lets it pass; the WebAssembly build has none, so the log plays
  // the throw instead (Stopped, below).
  bool Compare(const Operand& a, const Operand& b, bool descending, const SourceLine& source) {
    if (state_ != State::kRunning)
      return false;
    const long long call = comparisons + 1;
    const bool throws = lab != nullptr && lab->Throws(call);
    if (throws || (budget >= 0 && call > budget)) {
      if (throws) {
        ++comparisons;
        if (keep_events_)
          AddTest(EventKind::kThrow, a, b, false, source);
      }
      return Stopped(throws ? Stop::kThrew : Stop::kBudget, source);
    }
    const bool result = lab != nullptr ? lab->Answer(a.value, a.identity, b.value, b.identity)
                        : descending   ? b.value < a.value
                                       : a.value < b.value;
    ++comparisons;
    if (keep_events_)
      AddTest(EventKind::kComparison, a, b, result, source);
    return result;
  }

  bool EqualityTest(const Operand& a, const Operand& b, const SourceLine& source) {
    const bool equal =
        lab != nullptr ? lab->Equal(a.value, a.identity, b.value, b.identity) : a.value == b.value;
    if (state_ != State::kStopped) {
      ++equalities;
      if (keep_events_)
        AddTest(EventKind::kEqualityTest, a, b, equal, source);
    }
    return equal;
  }

  // Where the library stands (AtLibraryLine). In a played throw inside a standard
  // heap operation, the operation's end is where the library throws again.
  void AtSite(const SourceLine& where) {
    site = where;
    if (state_ == State::kCaught && where.file == nullptr)
      state_ = State::kStopped;
  }

  // A sub-range the sort starts work on (AtLibraryRange). Its depth comes from
  // the ranges before it: those that do not hold it are finished, and one equal
  // to the innermost that does (Merge's, after MergeSort's halves) is that same
  // piece of work, at its depth.
  void AddRange(int first, int last, int budget, const SourceLine& source) {
    if (!keep_events_ || stop != Stop::kNone || state_ != State::kRunning)
      return;
    while (!open_ranges_.empty() &&
           (first < open_ranges_.back().first || last > open_ranges_.back().last))
      open_ranges_.pop_back();
    const bool same = !open_ranges_.empty() && open_ranges_.back().first == first &&
                      open_ranges_.back().last == last;
    if (!same)
      open_ranges_.push_back({first, last});
    const auto at = static_cast<std::int32_t>(events.size());
    events.ranges.push_back(
        {at, first, last, static_cast<std::int32_t>(open_ranges_.size()), budget, source});
  }

  void AddWrite(int slot, int new_value, int new_identity, const SourceLine& source) {
    if (state_ == State::kStopped)
      return;
    values[static_cast<std::size_t>(slot)] = new_value;
    identities[static_cast<std::size_t>(slot)] = new_identity;
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
  // The slots' values and identities as the writes recorded left them.
  std::vector<int> values;
  std::vector<int> identities;
  Stop stop = Stop::kNone;
  ComparatorLab* lab;
  long long budget;  // comparator calls allowed, or -1 for no limit
  // The library's line around the equality test, exchange or standard
  // algorithm that is running, as AtLibraryLine last said.
  SourceLine site;
  static inline Log* active = nullptr;

 private:
  // After a stop: kCaught while the library's handler of a standard heap
  // operation finishes it (writes go on, the comparator is not called), then
  // kStopped: nothing more happened.
  enum class State { kRunning, kCaught, kStopped };

  // Ends the run at a comparator call. With exceptions, a throw that the library
  // catches inside a heap operation (answering false until the operation
  // returns, then throwing again) comes back to RecordRun. Without them the log
  // plays it: inside a heap operation, where the library catches it, the
  // operation goes on with false for every question; elsewhere the throw would
  // leave the sort at once. Either way the events recorded are the same.
  bool Stopped(Stop why, const SourceLine& source) {
    stop = why;
#if defined(__cpp_exceptions)
    static_cast<void>(source);
    throw RunStopped{};
#else
    state_ = source.callee != nullptr ? State::kCaught : State::kStopped;
    return false;
#endif
  }

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
  State state_ = State::kRunning;
  struct OpenRange {
    int first;
    int last;
  };
  std::vector<OpenRange> open_ranges_;
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
      Log::active->AtSite({line, file, callee});
  }

  // The library's hook (sorting::detail::AtLibraryRange): a sub-range that a
  // recursive sort starts work on.
  static void AtLibraryRange(const Tracked* first, const Tracked* last, int budget, unsigned line,
                             const char* file) {
    if (Log::active != nullptr) {
      Log::active->AddRange(Log::active->SlotOf(first), Log::active->SlotOf(last), budget,
                            {line, file, nullptr});
    }
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
    if (Log::active == nullptr)
      return a.value_ == b.value_;
    return Log::active->EqualityTest(OperandOf(a), OperandOf(b), Log::active->site);
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
    if (Log::active == nullptr)
      return descending ? b.value() < a.value() : a.value() < b.value();
    return Log::active->Compare(Tracked::OperandOf(a), Tracked::OperandOf(b), descending,
                                SourceLine{line, file, Log::active->site.callee});
  }
};

// The library's sorts on the instrumented type, in the table's order.
using SortEntry = sorting::SortEntry<Tracked, RecordingComparator>;
inline constexpr const auto& kTrackedSorts = sorting::kSorts<Tracked, RecordingComparator>;

// What one input to the sorts is: a named pattern of a size and seed, or
// explicit values; the direction; and the comparator (the strict order, or one
// of the comparator lab's).
struct Input {
  std::string pattern;  // a pattern's name, or "values"
  bool has_seed = false;
  std::uint32_t seed = 0;
  bool descending = false;
  std::vector<int> values;
  ComparatorChoice comparator;
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

// How a run ended, from its output's values and identities: "sorted", "not
// sorted", "threw" (its comparator threw) or "stopped" (by the call budget); and
// whether every value of the input is still in the range, each once.
struct Outcome {
  const char* ended = "sorted";
  bool kept = true;
};

// One sort's run on one input.
struct Trace {
  const char* algorithm;
  // The values it started from: the input's, but for McIlroy's adversary, which
  // makes one input for each sort.
  std::vector<int> input;
  std::string comparator;  // the comparator's name: "less", "throw-at:5", ...
  Outcome outcome;
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

// How a run that left `values` and `identities` in the range ended.
inline Outcome OutcomeOf(const std::vector<int>& values, const std::vector<int>& identities,
                         bool descending, Stop stop) {
  Outcome outcome;
  std::vector<bool> seen(identities.size());
  for (int identity : identities) {
    const auto k = static_cast<std::size_t>(identity);
    if (identity < 0 || k >= seen.size() || seen[k])
      outcome.kept = false;
    else
      seen[k] = true;
  }
  bool sorted = true;
  for (std::size_t k = 1; k < values.size(); ++k)
    sorted = sorted && !(descending ? values[k - 1] < values[k] : values[k] < values[k - 1]);
  outcome.ended = stop == Stop::kThrew    ? "threw"
                  : stop == Stop::kBudget ? "stopped"
                  : sorted                ? "sorted"
                                          : "not sorted";
  return outcome;
}

// How a run is recorded: all its events or its counts alone, under which of the
// comparator lab's comparators (null: a < b, or a > b descending), and after how
// many comparator calls it is stopped (-1: never).
struct RunOptions {
  bool keep_events = true;
  ComparatorLab* lab = nullptr;
  long long budget = -1;
  bool descending = false;
};

// Runs `run(first, last)` on a range holding `input`, each value's identity its
// slot, and records what it does; `name` becomes the trace's algorithm. The
// output is what the recorded writes left in the range, also where a run was
// stopped by a throw the WebAssembly build can only play (see Log::Stopped).
template <typename Run>
Trace RecordRun(const char* name, const std::vector<int>& input, Run run,
                const RunOptions& options = {}) {
  Trace trace;
  trace.algorithm = name;
  trace.input = input;
  trace.comparator = options.lab != nullptr ? options.lab->choice().Name() : "less";
  std::vector<Tracked> range;
  range.reserve(input.size());
  for (std::size_t k = 0; k < input.size(); ++k)
    range.emplace_back(input[k], static_cast<int>(k));
  Log log(range.data(), input, options.keep_events, options.lab, options.budget);
  if (!range.empty()) {
    Log::active = &log;
#if defined(__cpp_exceptions)
    try {
      run(range.data(), range.data() + (range.size() - 1));
    } catch (const RunStopped&) {
      // The run ended where the log says why.
    }
#else
    run(range.data(), range.data() + (range.size() - 1));
#endif
    Log::active = nullptr;
    trace.events = std::move(log.events);
    trace.comparisons = log.comparisons;
    trace.equalities = log.equalities;
    trace.writes = log.writes;
  }
  trace.output = log.values;
  trace.output_identities = log.identities;
  trace.outcome = OutcomeOf(trace.output, trace.output_identities, options.descending, log.stop);
  trace.reordered_equal_pairs = ReorderedEqualPairs(trace.output, trace.output_identities);
  return trace;
}

// The comparator calls a run on n values may make before it is stopped: more
// than any sort of the library makes under any comparator (BubbleSort's n passes
// make n² - n), so only a sort that runs away reaches it.
inline long long CallBudget(std::size_t n) {
  return kCallBudgetPerSquare * static_cast<long long>(n) * static_cast<long long>(n) +
         kCallBudgetBase;
}

// A sort (of the table, or a variant of one) on `input` under its comparator,
// its trace named `name`. Under McIlroy's adversary it runs twice: once to let
// the adversary settle the values as the sort asks about them, and once,
// recorded, on the values it settled on, which give the same answers, so that
// the trace is an ordinary one of that input.
inline Trace RecordSort(const char* name, sorting::SortFunction<Tracked, RecordingComparator> sort,
                        const Input& input, bool keep_events = true, long long budget = -1) {
  const std::size_t n = input.values.size();
  const auto run = [&](Tracked* first, Tracked* last) {
    sort(first, last, RecordingComparator{input.descending});
  };
  RunOptions options{keep_events, nullptr, budget >= 0 ? budget : CallBudget(n), input.descending};
  ComparatorLab lab(input.comparator, input.descending, input.has_seed ? input.seed : 1, n);
  if (input.comparator.rule == Rule::kAdversary) {
    RecordRun(name, input.values, run, {false, &lab, options.budget, input.descending});
    Trace trace = RecordRun(name, lab.adversary().Values(), run, options);
    trace.comparator = input.comparator.Name();
    return trace;
  }
  if (input.comparator.rule != Rule::kLess)
    options.lab = &lab;
  return RecordRun(name, input.values, run, options);
}

inline Trace RecordSort(const SortEntry& entry, const Input& input, bool keep_events = true,
                        long long budget = -1) {
  return RecordSort(entry.name, entry.sort, input, keep_events, budget);
}

// A sort on explicit values under a < b (or a > b), for tests.
inline Trace RecordSort(const SortEntry& entry, const std::vector<int>& values, bool descending,
                        bool keep_events = true) {
  Input input;
  input.pattern = "values";
  input.values = values;
  input.descending = descending;
  return RecordSort(entry, input, keep_events);
}

// Every sort on one input, in the table's order.
struct Recording {
  Input input;
  std::vector<Trace> traces;
};

inline Recording RecordAll(Input input, bool keep_events = true, long long budget = -1) {
  Recording recording;
  for (const SortEntry& entry : kTrackedSorts)
    recording.traces.push_back(RecordSort(entry, input, keep_events, budget));
  recording.input = std::move(input);
  return recording;
}

// A variant of the recording's sort `sort`, run as that sort was recorded, so
// that its trace agrees with the sort's as far as the variant does: under the
// same comparator, or against McIlroy's adversary on the values the adversary
// settled on for that sort, which the sort's trace ran on in an ordinary order.
inline Trace RecordVariant(const char* sort, const char* name,
                           sorting::SortFunction<Tracked, RecordingComparator> run,
                           const Recording& recording, long long budget = -1) {
  Input input = recording.input;
  if (input.comparator.rule == Rule::kAdversary) {
    for (const Trace& trace : recording.traces) {
      if (std::strcmp(trace.algorithm, sort) == 0)
        input.values = trace.input;
    }
    input.comparator = ComparatorChoice{};
  }
  return RecordSort(name, run, input, true, budget);
}

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_RECORDER_H
