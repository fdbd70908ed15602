// A libFuzzer target that calls the library's sorts and step functions on
// arbitrary elements, ranges and comparators, including comparators that break
// the rules of a strict ordering, and stops with a report when a call reads or
// writes outside its range, loses or invents an element, or, under a strict
// comparator, leaves the range out of order. support/fuzz_input.h reads what an
// input asks for.
//
// The guards are poisoned for AddressSanitizer while the call runs, so a single
// read of one is reported where it happens; afterwards they must still hold
// their values.

#include <sanitizer/asan_interface.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sorting/sorting.h>

#include "support/fuzz_input.h"
#include "support/sort_checks.h"

namespace {

using sorting_test::Record;
using sorting_test::Sorter;
using sorting_test::SortFunction;

using sorting_fuzz::Header;
using sorting_fuzz::kHeaderSize;
using sorting_fuzz::kOrderNames;
using sorting_fuzz::kTypeNames;
using sorting_fuzz::Order;
using sorting_fuzz::Step;
using sorting_fuzz::Type;

constexpr std::size_t kGranule = 8;  // AddressSanitizer poisons 8-byte granules

bool IsStrict(Order order) {
  return order == Order::kAscending || order == Order::kDescending || order == Order::kByKey;
}

// The answers of the inconsistent comparator. A comparator is a plain function
// pointer, so its source has to live outside it.
struct {
  const std::uint8_t* bits = nullptr;
  std::size_t bit_count = 0;
  std::size_t next = 0;
} answers;

bool NextAnswer() {
  if (answers.bit_count == 0)
    return false;
  const std::size_t bit = answers.next;
  answers.next = (answers.next + 1) % answers.bit_count;
  return (answers.bits[bit / 8] >> (bit % 8)) & 1;
}

// Per element type: a total order, a coarser key, the non-strict comparison,
// a guard value, and how an element is read from the input.
bool TotalLess(int a, int b) {
  return a < b;
}
bool TotalLess(char a, char b) {
  return a < b;
}
bool TotalLess(const Record& a, const Record& b) {
  return a.key < b.key || (a.key == b.key && a.tag < b.tag);
}

int Key(int value) {
  return value & 7;
}
int Key(char value) {
  return value & 7;
}
int Key(const Record& record) {
  return record.key;
}

bool LessOrEqual(int a, int b) {
  return a <= b;
}
bool LessOrEqual(char a, char b) {
  return a <= b;
}
bool LessOrEqual(Record a, Record b) {
  return a.key <= b.key;
}

template <typename T>
T Guard();
template <>
int Guard<int>() {
  return 0x5A5A5A5A;
}
template <>
char Guard<char>() {
  return 0x5A;
}
template <>
Record Guard<Record>() {
  return {0x5A5A5A5A, -1};
}

void Decode(const std::uint8_t* bytes, int& value) {
  const std::uint32_t bits =
      bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  std::memcpy(&value, &bits, sizeof value);
}
void Decode(const std::uint8_t* bytes, char& value) {
  value = static_cast<char>(bytes[0]);
}
void Decode(const std::uint8_t* bytes, Record& value) {
  value = {static_cast<signed char>(bytes[0]), bytes[1]};
}

template <typename T>
bool Ascending(T a, T b) {
  return TotalLess(a, b);
}
template <typename T>
bool Descending(T a, T b) {
  return TotalLess(b, a);
}
template <typename T>
bool ByKey(T a, T b) {
  return Key(a) < Key(b);
}
template <typename T>
bool NonStrict(T a, T b) {
  return LessOrEqual(a, b);
}
template <typename T>
bool KeyLessOrEqual(T a, T b) {
  return Key(a) <= Key(b);
}
template <typename T>
bool AlwaysTrue(T, T) {
  return true;
}
template <typename T>
bool AlwaysFalse(T, T) {
  return false;
}
template <typename T>
bool Inconsistent(T, T) {
  return NextAnswer();
}

template <typename T>
sorting::Comparator<T> ComparatorFor(Order order) {
  switch (order) {
    case Order::kAscending:
      return Ascending<T>;
    case Order::kDescending:
      return Descending<T>;
    case Order::kByKey:
      return ByKey<T>;
    case Order::kLessOrEqual:
      return NonStrict<T>;
    case Order::kAlwaysTrue:
      return AlwaysTrue<T>;
    case Order::kAlwaysFalse:
      return AlwaysFalse<T>;
    case Order::kKeyLessOrEqual:
      return KeyLessOrEqual<T>;
    default:
      return Inconsistent<T>;
  }
}

template <typename T>
SortFunction<T> SortFunctionFor(const Sorter& sorter);
template <>
SortFunction<int> SortFunctionFor<int>(const Sorter& sorter) {
  return sorter.ints;
}
template <>
SortFunction<char> SortFunctionFor<char>(const Sorter& sorter) {
  return sorter.chars;
}
template <>
SortFunction<Record> SortFunctionFor<Record>(const Sorter& sorter) {
  return sorter.records;
}

[[noreturn]] void Fail(const Header& c, const char* what) {
  std::fprintf(stderr, "%s on %zu %s elements, comparator %s: %s\n", c.target->name, c.count,
               kTypeNames[static_cast<int>(c.type)], kOrderNames[static_cast<int>(c.order)], what);
  std::abort();
}

// True when both ranges hold the same elements the same number of times.
template <typename T>
bool SameMultiset(std::vector<T> a, std::vector<T> b) {
  std::sort(a.begin(), a.end(), Ascending<T>);
  std::sort(b.begin(), b.end(), Ascending<T>);
  return a == b;
}

// True when each place holds an element equivalent under `comp` to the one
// `expected` has there: equality for a total order, and for a coarser one the
// freedom an unstable sort has among equivalent elements.
template <typename T>
bool EquivalentAtEveryPlace(const std::vector<T>& result, const std::vector<T>& expected,
                            sorting::Comparator<T> comp) {
  for (std::size_t i = 0; i < result.size(); ++i) {
    if (comp(result[i], expected[i]) || comp(expected[i], result[i]))
      return false;
  }
  return true;
}

template <typename T>
void Run(const Header& c, const std::uint8_t* element_bytes) {
  const sorting::Comparator<T> comp = ComparatorFor<T>(c.order);
  std::vector<T> input(c.count);
  for (std::size_t i = 0; i < c.count; ++i)
    Decode(element_bytes + i * c.width, input[i]);

  // Merge takes two sorted runs: sorted here by the comparator when it is
  // strict, and by the total order under <= (ascending runs are in order under
  // <= as well). The other comparators define no order, so any runs will do.
  const std::size_t split = c.target->step == Step::kMerge ? c.parameter % (c.count + 1) : 0;
  if (c.target->step == Step::kMerge && c.order <= Order::kLessOrEqual) {
    const sorting::Comparator<T> run_order = IsStrict(c.order) ? comp : Ascending<T>;
    std::sort(input.begin(), input.begin() + split, run_order);
    std::sort(input.begin() + split, input.end(), run_order);
  }

  // The range starts on a granule boundary, so that poisoning the guards before
  // it leaves the whole range addressable.
  std::vector<T> buffer(c.guards_before + kGranule + c.count + c.guards_after, Guard<T>());
  std::size_t offset = c.guards_before;
  while (reinterpret_cast<std::uintptr_t>(buffer.data() + offset) % kGranule != 0)
    ++offset;
  T* const first = buffer.data() + offset;
  T* const last = first + c.count - 1;  // first - 1 for no element, still inside the buffer
  std::copy(input.begin(), input.end(), first);

  ASAN_POISON_MEMORY_REGION(buffer.data(), offset * sizeof(T));
  ASAN_POISON_MEMORY_REGION(first + c.count, (buffer.size() - offset - c.count) * sizeof(T));
  T* pivot = nullptr;
  switch (c.target->step) {
    case Step::kNone: {
      const SortFunction<T> sort = SortFunctionFor<T>(*c.target->sort);
      sort(first, last, comp);
      break;
    }
    case Step::kPartition:
      pivot = sorting::Partition(first, last, comp);
      break;
    case Step::kMerge:
      sorting::Merge(first, first + split, last, comp);
      break;
    default:
      sorting::IntroSortStep(first, last, c.parameter, comp);
      break;
  }
  ASAN_UNPOISON_MEMORY_REGION(buffer.data(), buffer.size() * sizeof(T));

  for (std::size_t i = 0; i < buffer.size(); ++i) {
    if ((i < offset || i >= offset + c.count) && !(buffer[i] == Guard<T>()))
      Fail(c, "a guard element changed");
  }
  const std::vector<T> result(first, first + c.count);
  if (!SameMultiset(result, input))
    Fail(c, "the range no longer holds the same elements");

  if (c.target->step == Step::kPartition) {
    if (pivot < first || pivot > last)
      Fail(c, "Partition returned a place outside the range");
    if (!IsStrict(c.order))
      return;
    if (!(*pivot == input.back()))
      Fail(c, "Partition did not put the last element at the returned place");
    for (T* element = first; element != last + 1; ++element) {
      if (element != pivot && comp(*element, *pivot) != (element < pivot))
        Fail(c, "Partition left an element on the wrong side of the pivot");
    }
    return;
  }
  if (!IsStrict(c.order))
    return;
  // A stable sort has exactly one right result; the others may order equivalent
  // elements as they like.
  std::vector<T> expected = input;
  if (c.target->sort != nullptr && c.target->sort->stable) {
    std::stable_sort(expected.begin(), expected.end(), comp);
    if (!(result == expected))
      Fail(c, "the result differs from std::stable_sort's");
  } else {
    std::sort(expected.begin(), expected.end(), comp);
    if (!EquivalentAtEveryPlace(result, expected, comp))
      Fail(c, "the result differs from std::sort's");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Header c;
  if (!sorting_fuzz::ReadHeader(data, size, c))
    return -1;
  const std::uint8_t* const element_bytes = data + kHeaderSize;
  const std::size_t used = kHeaderSize + c.count * c.width;
  answers.bits = data + used;
  answers.bit_count = (size - used) * 8;
  answers.next = 0;

  switch (c.type) {
    case Type::kInt:
      Run<int>(c, element_bytes);
      break;
    case Type::kChar:
      Run<char>(c, element_bytes);
      break;
    default:
      Run<Record>(c, element_bytes);
      break;
  }
  return 0;
}
