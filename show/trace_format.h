#ifndef SORTING_SHOW_TRACE_FORMAT_H
#define SORTING_SHOW_TRACE_FORMAT_H

// What a trace is made of, described once: the recorder's limits and defaults,
// the kinds of event with the fields each has in the sorting-trace JSON, and the
// binary columns in which the recorder keeps the events. The JSON writer lays
// out every event by the tables below, and the catalogue hands the same tables
// to the page and the Node scripts, which read every field by its name.
//
// The same source builds natively and for wasm32-wasi with -fno-exceptions.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <variant>
#include <vector>

namespace sorting_show {

// The largest input recorded with its events, natively and in the browser.
inline constexpr std::size_t kMaxValues = 2048;
// The largest input whose events are only counted (the cost curves).
inline constexpr std::size_t kMaxCountValues = 16384;
// An input named by a pattern alone has this size and seed.
inline constexpr std::size_t kDefaultSize = 40;
inline constexpr std::uint32_t kDefaultSeed = 1;
// The WebAssembly module's buffer for a pattern's name, NUL included: longer
// than every name in the table of patterns.
inline constexpr std::size_t kPatternNameBytes = 64;
// A run on n values is stopped after kCallBudgetPerSquare n² + kCallBudgetBase
// comparator calls (see CallBudget in show/trace_recorder.h).
inline constexpr long long kCallBudgetPerSquare = 4;
inline constexpr long long kCallBudgetBase = 64;
// Counting a sort at a larger n is skipped once its events at a smaller n, grown
// as n², would pass this many: the cost curves then stop for that sort, and say where.
inline constexpr long long kCountBudget = 200'000'000;

// The slot of a value that stands in no slot of the range (a pivot copy, a
// temporary of the standard heap or rotate algorithms), and the identity of a
// value that never stood in the range.
inline constexpr int kNoSlot = -1;
inline constexpr int kNoIdentity = -1;

// The library's line that made an event: the line and the file as the compiler
// named them (file is null where no line is known), and the standard algorithm
// the event happened in, called from that line (null for none).
struct SourceLine {
  unsigned line = 0;
  const char* file = nullptr;
  const char* callee = nullptr;
};

inline bool operator==(const SourceLine& a, const SourceLine& b) {
  return a.line == b.line && a.file == b.file && a.callee == b.callee;
}

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

// A comparator call that threw instead of answering (the comparator lab's
// throw-at:K): its two arguments.
struct ThrownCall {
  Operand first;
  Operand second;
  SourceLine source = {};
};

// An event as a reader sees it, with everything a replay knows filled in.
using Event = std::variant<Comparison, Write, EqualityTest, ThrownCall>;

inline const SourceLine& SourceOf(const Event& event) {
  return std::visit([](const auto& kind) -> const SourceLine& { return kind.source; }, event);
}

// ---------------------------------------------------------------------------
// The events in JSON: each kind is a list, its tag first, then its fields in
// the order of kEventKinds. The writer and every reader take the order from here.

enum class EventKind : std::uint8_t { kComparison = 0, kWrite = 1, kEqualityTest = 2, kThrow = 3 };

// How a field is written: a slot or identity (null for none), a number, a
// boolean, or the event's library line (the index of its file in the trace's
// files, the line, the standard algorithm it happened in; null where unknown).
enum class FieldType { kSlot, kNumber, kBoolean, kFile, kLine, kCallee };

struct EventField {
  const char* name;
  FieldType type;
  // The field's value, for the types that are numbers or booleans.
  long long (*value)(const Event& event);
};

template <typename Kind, int Kind::*Member>
long long IntOf(const Event& event) {
  return std::get<Kind>(event).*Member;
}
template <typename Kind, bool Kind::*Member>
long long BoolOf(const Event& event) {
  return (std::get<Kind>(event).*Member) ? 1 : 0;
}
template <typename Kind, Operand Kind::*Side, int Operand::*Member>
long long OperandOf(const Event& event) {
  return std::get<Kind>(event).*Side.*Member;
}

inline constexpr EventField kComparisonFields[] = {
    {"i", FieldType::kSlot, OperandOf<Comparison, &Comparison::first, &Operand::slot>},
    {"j", FieldType::kSlot, OperandOf<Comparison, &Comparison::second, &Operand::slot>},
    {"result", FieldType::kBoolean, BoolOf<Comparison, &Comparison::result>},
    {"a", FieldType::kNumber, OperandOf<Comparison, &Comparison::first, &Operand::value>},
    {"b", FieldType::kNumber, OperandOf<Comparison, &Comparison::second, &Operand::value>},
    {"from_i", FieldType::kSlot, OperandOf<Comparison, &Comparison::first, &Operand::from>},
    {"from_j", FieldType::kSlot, OperandOf<Comparison, &Comparison::second, &Operand::from>},
    {"file", FieldType::kFile, nullptr},
    {"line", FieldType::kLine, nullptr},
    {"id_i", FieldType::kSlot, OperandOf<Comparison, &Comparison::first, &Operand::identity>},
    {"id_j", FieldType::kSlot, OperandOf<Comparison, &Comparison::second, &Operand::identity>},
    {"callee", FieldType::kCallee, nullptr},
};

inline constexpr EventField kWriteFields[] = {
    {"slot", FieldType::kNumber, IntOf<Write, &Write::slot>},
    {"old", FieldType::kNumber, IntOf<Write, &Write::old_value>},
    {"new", FieldType::kNumber, IntOf<Write, &Write::new_value>},
    {"file", FieldType::kFile, nullptr},
    {"line", FieldType::kLine, nullptr},
    {"old_id", FieldType::kSlot, IntOf<Write, &Write::old_identity>},
    {"new_id", FieldType::kSlot, IntOf<Write, &Write::new_identity>},
    {"callee", FieldType::kCallee, nullptr},
};

inline constexpr EventField kEqualityTestFields[] = {
    {"i", FieldType::kSlot, IntOf<EqualityTest, &EqualityTest::first_slot>},
    {"j", FieldType::kSlot, IntOf<EqualityTest, &EqualityTest::second_slot>},
    {"equal", FieldType::kBoolean, BoolOf<EqualityTest, &EqualityTest::equal>},
    {"a", FieldType::kNumber, IntOf<EqualityTest, &EqualityTest::first_value>},
    {"b", FieldType::kNumber, IntOf<EqualityTest, &EqualityTest::second_value>},
    {"file", FieldType::kFile, nullptr},
    {"line", FieldType::kLine, nullptr},
    {"id_i", FieldType::kSlot, IntOf<EqualityTest, &EqualityTest::first_identity>},
    {"id_j", FieldType::kSlot, IntOf<EqualityTest, &EqualityTest::second_identity>},
};

inline constexpr EventField kThrownCallFields[] = {
    {"i", FieldType::kSlot, OperandOf<ThrownCall, &ThrownCall::first, &Operand::slot>},
    {"j", FieldType::kSlot, OperandOf<ThrownCall, &ThrownCall::second, &Operand::slot>},
    {"a", FieldType::kNumber, OperandOf<ThrownCall, &ThrownCall::first, &Operand::value>},
    {"b", FieldType::kNumber, OperandOf<ThrownCall, &ThrownCall::second, &Operand::value>},
    {"from_i", FieldType::kSlot, OperandOf<ThrownCall, &ThrownCall::first, &Operand::from>},
    {"from_j", FieldType::kSlot, OperandOf<ThrownCall, &ThrownCall::second, &Operand::from>},
    {"file", FieldType::kFile, nullptr},
    {"line", FieldType::kLine, nullptr},
    {"id_i", FieldType::kSlot, OperandOf<ThrownCall, &ThrownCall::first, &Operand::identity>},
    {"id_j", FieldType::kSlot, OperandOf<ThrownCall, &ThrownCall::second, &Operand::identity>},
    {"callee", FieldType::kCallee, nullptr},
};

// A kind of event: its name, its tag in JSON, the trace's count it adds to, its
// fields, and which field each binary column holds for it (below; null where
// the column holds none of them).
struct EventKindEntry {
  EventKind kind;
  const char* name;
  const char* tag;
  const char* counts;  // "comparisons", "equalities" or "writes"
  const EventField* fields;
  std::size_t field_count;
  const char* first;   // the field the `first` column holds
  const char* second;  // the field the `second` column holds
  const char* answer;  // the field the answer bit of `head` holds
  const char* extra;   // the field `extra` holds, or "held" for an index into `held`
};

// In the order of EventKind (checked below).
inline constexpr EventKindEntry kEventKinds[] = {
    {EventKind::kComparison, "comparison", "c", "comparisons", kComparisonFields,
     std::size(kComparisonFields), "i", "j", "result", "held"},
    {EventKind::kWrite, "write", "w", "writes", kWriteFields, std::size(kWriteFields), "slot",
     "new_id", nullptr, "new"},
    {EventKind::kEqualityTest, "equality", "e", "equalities", kEqualityTestFields,
     std::size(kEqualityTestFields), "i", "j", "equal", "held"},
    {EventKind::kThrow, "throw", "t", "comparisons", kThrownCallFields,
     std::size(kThrownCallFields), "i", "j", nullptr, "held"},
};

constexpr bool KindsInOrder() {
  for (std::size_t k = 0; k < std::size(kEventKinds); ++k) {
    if (kEventKinds[k].kind != static_cast<EventKind>(k))
      return false;
  }
  return true;
}
static_assert(KindsInOrder(), "kEventKinds must list every EventKind once, in its order");

inline constexpr const EventKindEntry& KindEntryOf(const Event& event) {
  return kEventKinds[event.index()];
}

// ---------------------------------------------------------------------------
// The events in binary, as the recorder keeps them and the WebAssembly module
// hands them to the page: columns of fixed width, 5 bytes an event and 4 more
// for a write. A replay knows the rest: an operand in a slot has the value and
// identity that stand there, and a write replaces the value and identity it finds.
//
//   head    one byte an event: its kind, the answer of a comparison or equality
//           test, and its site, the index of its library line in the trace's sites;
//   first   a write's slot; the first operand's slot of a comparison, an
//           equality test or a thrown call, or kHeld for a value held outside
//           the range;
//   second  a write's new identity; the second operand's slot, or kHeld;
//   extra   one entry for each write, its new value, and for each other event
//           with a held operand, the index in `held` of its first held operand
//           (a second one follows it);
//   held    what a replay cannot know of a held value: its value, the slot it was
//           copied from and its identity (kNoSlot, kNoIdentity for none).

struct HeadField {
  const char* name;
  unsigned shift;
  unsigned bits;
};
inline constexpr HeadField kHeadKind = {"kind", 0, 2};
inline constexpr HeadField kHeadAnswer = {"answer", 2, 1};
inline constexpr HeadField kHeadSite = {"site", 3, 5};
inline constexpr std::size_t kMaxSites = std::size_t{1} << kHeadSite.bits;
// In `first` and `second`: no slot (a held operand), or no identity.
inline constexpr std::uint16_t kHeld = 0xFFFF;
static_assert(kMaxValues < kHeld, "slots and identities must fit below kHeld");

struct HeldOperand {
  std::int32_t value;
  std::int32_t from;
  std::int32_t identity;
};
// `held` as a reader sees it: 32-bit integers, these fields in turn.
inline constexpr const char* kHeldFields[] = {"value", "from", "identity"};
static_assert(sizeof(HeldOperand) == sizeof(std::int32_t) * std::size(kHeldFields) &&
                  offsetof(HeldOperand, from) == sizeof(std::int32_t) &&
                  offsetof(HeldOperand, identity) == 2 * sizeof(std::int32_t),
              "kHeldFields must name HeldOperand's fields in their order");

// Each column and the type of its entries, as a reader's typed arrays name them.
struct ColumnType {
  const char* column;
  const char* type;
};
inline constexpr ColumnType kColumnTypes[] = {{"head", "uint8"},    {"first", "uint16"},
                                              {"second", "uint16"}, {"extra", "int32"},
                                              {"held", "int32"},    {"ranges", "int32"}};

// A sub-range the sort starts work on (the library's AtLibraryRange): from the
// event `at` on (the number of events before it), the work is on [first, last]
// at `depth` (1 for the whole range; a range inside the one before it is one
// deeper, and one that is not goes back up to the one that holds it), with
// IntroSort's remaining depth budget (-1 where there is none), from the
// library line that says so.
struct RangeEntry {
  std::int32_t at;
  std::int32_t first;
  std::int32_t last;
  std::int32_t depth;
  std::int32_t budget;
  SourceLine source;
};
// A range as a reader sees it, in JSON and in the binary `ranges` column (32-bit
// integers, these fields in turn; the file is an index into the trace's files).
inline constexpr const char* kRangeFields[] = {"at",     "first", "last", "depth",
                                               "budget", "file",  "line"};

struct EventColumns {
  std::vector<std::uint8_t> head;
  std::vector<std::uint16_t> first;
  std::vector<std::uint16_t> second;
  std::vector<std::int32_t> extra;
  std::vector<HeldOperand> held;
  // The library lines the events name, each once, in the order first met.
  std::vector<SourceLine> sites;
  std::vector<RangeEntry> ranges;
  // Set when a trace met more distinct library lines than `head` can name.
  bool too_many_sites = false;

  std::size_t size() const { return head.size(); }
};

inline unsigned HeadValue(std::uint8_t head, const HeadField& field) {
  return (head >> field.shift) & ((1U << field.bits) - 1);
}

// Reads a trace's columns back into events, in order, from the input the trace
// started from: the replay fills in the values, identities and old values.
class EventReader {
 public:
  EventReader(const std::vector<int>& input, const EventColumns& columns)
      : columns_(columns), values_(input), identities_(input.size()) {
    for (std::size_t k = 0; k < identities_.size(); ++k)
      identities_[k] = static_cast<int>(k);
  }

  bool Done() const { return next_ >= columns_.size(); }

  Event Next() {
    const std::size_t k = next_++;
    const std::uint8_t head = columns_.head[k];
    const SourceLine source = columns_.sites[HeadValue(head, kHeadSite)];
    const bool answer = HeadValue(head, kHeadAnswer) != 0;
    const auto kind = static_cast<EventKind>(HeadValue(head, kHeadKind));
    if (kind == EventKind::kWrite) {
      const int slot = columns_.first[k];
      const int identity = IdentityOf(columns_.second[k]);
      Write write{slot,   values_[slot],     columns_.extra[extra_++],
                  source, identities_[slot], identity};
      values_[slot] = write.new_value;
      identities_[slot] = identity;
      return write;
    }
    const HeldOperand* held = nullptr;
    if (columns_.first[k] == kHeld || columns_.second[k] == kHeld)
      held = &columns_.held[static_cast<std::size_t>(columns_.extra[extra_++])];
    const Operand a = OperandAt(columns_.first[k], held);
    const Operand b = OperandAt(columns_.second[k], held);
    if (kind == EventKind::kComparison)
      return Comparison{a, b, answer, source};
    if (kind == EventKind::kThrow)
      return ThrownCall{a, b, source};
    return EqualityTest{a.slot, b.slot, a.value, b.value, answer, source, a.identity, b.identity};
  }

 private:
  static int IdentityOf(std::uint16_t stored) {
    return stored == kHeld ? kNoIdentity : static_cast<int>(stored);
  }

  // A slot's operand from the replay, or the next held operand.
  Operand OperandAt(std::uint16_t slot, const HeldOperand*& held) const {
    if (slot != kHeld)
      return {slot, values_[slot], slot, identities_[slot]};
    const HeldOperand operand = *held++;
    return {kNoSlot, operand.value, operand.from, operand.identity};
  }

  const EventColumns& columns_;
  std::vector<int> values_;
  std::vector<int> identities_;
  std::size_t next_ = 0;
  std::size_t extra_ = 0;
};

// Every event of `columns`, decoded: for tests and readers that want them all.
inline std::vector<Event> DecodeEvents(const std::vector<int>& input, const EventColumns& columns) {
  std::vector<Event> events;
  events.reserve(columns.size());
  for (EventReader reader(input, columns); !reader.Done();)
    events.push_back(reader.Next());
  return events;
}

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_FORMAT_H
