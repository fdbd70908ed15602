#ifndef SORTING_SUPPORT_FUZZ_INPUT_H
#define SORTING_SUPPORT_FUZZ_INPUT_H

// What a fuzzer input asks for, read from its first bytes: shared by the fuzzer,
// the tool that names the inputs of its committed corpus, and the test that
// checks those names.
//
// Layout (every byte value is valid; values wrap around):
//   bytes 0, 1  what to call, as a code, little-endian: a sort of
//               sorting_test::kSorters or a step function (Partition, Merge,
//               IntroSortStep). Each target's code is a hash of its name, so it
//               stays the same when a sort is added and an input that holds it
//               keeps its meaning; any other value picks the target at its
//               remainder modulo the number of targets.
//   byte 2      element type: int, char or Record (a key and a tag)
//   byte 3      comparator, see Order
//   byte 4, 5   guard elements before and after the range: 1 to 16 each (more
//               before it when needed to start the range on an 8-byte boundary)
//   byte 6      Merge: where the right run starts; IntroSortStep: the depth budget
//   byte 7, 8   element count, little-endian, clipped to what the input holds
//   then        the elements: 4 bytes little-endian for an int, 1 for a char,
//               2 for a Record (a signed key byte, then a tag byte)
//   the rest    the inconsistent comparator's answers, one bit per call, reused
//               from the start when they run out (no bits: always false)

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

#include "support/sort_checks.h"

namespace sorting_fuzz {

enum class Step { kNone, kPartition, kMerge, kIntroSortStep };

struct Target {
  const char* name;
  const sorting_test::Sorter* sort;  // null for a step function
  Step step;
  std::uint16_t code;
};

// FNV-1a of the name, folded to 16 bits.
constexpr std::uint16_t CodeOf(std::string_view name) {
  std::uint32_t hash = 2166136261u;
  for (const char c : name) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 16777619u;
  }
  return static_cast<std::uint16_t>((hash >> 16) ^ (hash & 0xFFFFu));
}

inline constexpr std::size_t kSortCount = std::size(sorting_test::kSorters);
inline constexpr std::size_t kTargetCount = kSortCount + 3;

template <std::size_t... k>
constexpr std::array<Target, kTargetCount> MakeTargets(std::index_sequence<k...>) {
  return {Target{sorting_test::kSorters[k].name, &sorting_test::kSorters[k], Step::kNone,
                 CodeOf(sorting_test::kSorters[k].name)}...,
          Target{"Partition", nullptr, Step::kPartition, CodeOf("Partition")},
          Target{"Merge", nullptr, Step::kMerge, CodeOf("Merge")},
          Target{"IntroSortStep", nullptr, Step::kIntroSortStep, CodeOf("IntroSortStep")}};
}

// The sorts of the table, in its order, then the step functions.
inline constexpr std::array<Target, kTargetCount> kTargets =
    MakeTargets(std::make_index_sequence<kSortCount>());

constexpr bool CodesDiffer() {
  for (std::size_t i = 0; i < kTargetCount; ++i) {
    for (std::size_t j = i + 1; j < kTargetCount; ++j) {
      if (kTargets[i].code == kTargets[j].code)
        return false;
    }
  }
  return true;
}
static_assert(CodesDiffer(), "two fuzz targets have the same code: their names hash alike");

enum class Type { kInt, kChar, kRecord, kCount };

// The first three are strict weak orderings; the rest break the rules.
enum class Order {
  kAscending,    // a total order
  kDescending,   // the same, reversed
  kByKey,        // a record's key; an int's or a char's lowest three bits
  kLessOrEqual,  // <= (on the key, for records)
  kAlwaysTrue,
  kAlwaysFalse,
  kInconsistent,    // answers drawn from the input
  kKeyLessOrEqual,  // <= on the key, while == compares the whole element
  kCount
};

// For messages, and as the corpus's file names spell them.
inline constexpr const char* kTypeNames[] = {"int", "char", "Record"};
inline constexpr const char* kTypeWords[] = {"int", "char", "record"};
inline constexpr const char* kOrderNames[] = {"ascending",    "descending",   "by key",
                                              "<=",           "always true",  "always false",
                                              "inconsistent", "<= on the key"};
inline constexpr const char* kOrderWords[] = {"ascending",    "descending",    "bykey",
                                              "lessorequal",  "alwaystrue",    "alwaysfalse",
                                              "inconsistent", "keylessorequal"};

inline constexpr std::size_t kHeaderSize = 9;
inline constexpr std::size_t kMaxElements = 1024;  // BubbleSort stays near a million calls
inline constexpr int kMaxGuards = 16;

// An input's header, as the fuzzer reads it.
struct Header {
  const Target* target;
  Type type;
  Order order;
  int guards_before;
  int guards_after;
  int parameter;  // Merge's split, IntroSortStep's depth
  std::size_t count;
  std::size_t width;  // bytes per element
};

constexpr std::size_t WidthOf(Type type) {
  return type == Type::kInt ? 4 : type == Type::kChar ? 1 : 2;
}

// The target that `code` picks.
constexpr const Target& TargetOf(std::uint16_t code) {
  for (const Target& target : kTargets) {
    if (target.code == code)
      return target;
  }
  return kTargets[code % kTargetCount];
}

// False for an input that asks for nothing: shorter than the header, or a
// Partition of fewer than two elements, which needs one at least.
inline bool ReadHeader(const std::uint8_t* data, std::size_t size, Header& header) {
  if (size < kHeaderSize)
    return false;
  header.target = &TargetOf(static_cast<std::uint16_t>(data[0] | data[1] << 8));
  header.type = static_cast<Type>(data[2] % static_cast<int>(Type::kCount));
  header.order = static_cast<Order>(data[3] % static_cast<int>(Order::kCount));
  header.guards_before = 1 + data[4] % kMaxGuards;
  header.guards_after = 1 + data[5] % kMaxGuards;
  header.parameter = data[6];
  header.width = WidthOf(header.type);
  header.count = std::min({static_cast<std::size_t>(data[7] | data[8] << 8),
                           (size - kHeaderSize) / header.width, kMaxElements});
  return !(header.target->step == Step::kPartition && header.count < 2);
}

// A target's name as the corpus's file names spell it: "partition".
inline std::string TargetWord(const Target& target) {
  std::string word = target.name;
  std::transform(word.begin(), word.end(), word.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return word;
}

// How a corpus file that asks for `header` is named: "partition-char-lessorequal".
inline std::string CorpusName(const Header& header) {
  return TargetWord(*header.target) + "-" + kTypeWords[static_cast<int>(header.type)] + "-" +
         kOrderWords[static_cast<int>(header.order)];
}

}  // namespace sorting_fuzz

#endif  // SORTING_SUPPORT_FUZZ_INPUT_H
