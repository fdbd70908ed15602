#ifndef SORTING_SHOW_COMPARATOR_LAB_H
#define SORTING_SHOW_COMPARATOR_LAB_H

// The comparators the recorder can run the library's sorts under: the strict
// order the sorts ask for, and comparators that break that contract the way
// real programs do (`<=` for `<`, a coin for a tie-break, a NaN among doubles,
// an order that is no order, a comparator that throws), and M. D. McIlroy's
// adversary ("A Killer Adversary for Quicksort", Software: Practice and
// Experience, 1999), which decides the values only as the sort asks about them.
// The sorts run unchanged; this only answers their questions.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace sorting_show {

enum class Rule {
  kLess,
  kLessEqual,
  kAlwaysTrue,
  kAlwaysFalse,
  kRandom,
  kNonTransitive,
  kNan,
  kThrowAt,
  kAdversary,
};

struct RuleEntry {
  Rule rule;
  const char* name;         // as sort_show --comparator, links and traces name it
  const char* description;  // one line for people
};

// Every rule, in the order of the enumeration (checked below).
inline constexpr RuleEntry kRules[] = {
    {Rule::kLess, "less", "a < b: the strict order the sorts ask for"},
    {Rule::kLessEqual, "less-equal", "a <= b: also true for equal values, a common slip"},
    {Rule::kAlwaysTrue, "always-true", "true, whatever it is asked"},
    {Rule::kAlwaysFalse, "always-false", "false, whatever it is asked: every value looks equal"},
    {Rule::kRandom, "random", "a coin tossed at every call, from the input's seed"},
    {Rule::kNonTransitive, "non-transitive",
     "rock-paper-scissors on the value modulo 3: each beats one and loses to another"},
    {Rule::kNan, "nan",
     "a < b, but the input's first value compares false with everything, as a NaN does"},
    {Rule::kThrowAt, "throw-at", "a < b, but its K-th call throws (throw-at:K)"},
    {Rule::kAdversary, "adversary",
     "McIlroy's adversary: settles the values only as the sort asks, to force the most "
     "comparisons from a quicksort"},
};

constexpr bool RulesInOrder() {
  for (std::size_t k = 0; k < std::size(kRules); ++k) {
    if (kRules[k].rule != static_cast<Rule>(k))
      return false;
  }
  return true;
}
static_assert(RulesInOrder(), "kRules must list every Rule once, in the order of the enumeration");

// A comparator as chosen: its rule, and K for throw-at.
struct ComparatorChoice {
  Rule rule = Rule::kLess;
  long long at = 0;

  // "less", "throw-at:5": as it was given, and as traces and links name it.
  // (By hand: the WebAssembly module links no C++ library for std::to_string.)
  std::string Name() const {
    std::string name = kRules[static_cast<std::size_t>(rule)].name;
    if (rule != Rule::kThrowAt)
      return name;
    std::string digits;
    for (long long k = at; digits.empty() || k > 0; k /= 10)
      digits.insert(digits.begin(), static_cast<char>('0' + k % 10));
    return name + ":" + digits;
  }
};

// A decimal integer in [low, high], all of `text` and nothing else: throw-at's
// K, and the numbers sort_show's options take.
inline bool ParseInteger(const std::string& text, long long low, long long high,
                         long long* result) {
  std::size_t k = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (negative)
    k = 1;
  if (k == text.size())
    return false;
  unsigned long long magnitude = 0;
  for (; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9')
      return false;
    magnitude = magnitude * 10 + static_cast<unsigned>(text[k] - '0');
    if (magnitude > (1ULL << 40))  // far beyond every limit, and no overflow
      return false;
  }
  const long long value =
      negative ? -static_cast<long long>(magnitude) : static_cast<long long>(magnitude);
  if (value < low || value > high)
    return false;
  *result = value;
  return true;
}

// Reads a comparator's name ("less", "throw-at:7", K from 1 to 2^31 - 1); on a
// mistake returns false with a sentence that lists the names.
inline bool ParseComparator(const std::string& text, ComparatorChoice* choice, std::string* error) {
  const std::size_t colon = text.find(':');
  const std::string name = text.substr(0, colon);
  for (const RuleEntry& entry : kRules) {
    if (name != entry.name)
      continue;
    const bool takes_k = entry.rule == Rule::kThrowAt;
    if (takes_k != (colon != std::string::npos)) {
      break;
    }
    choice->rule = entry.rule;
    choice->at = 0;
    if (!takes_k)
      return true;
    if (!ParseInteger(text.substr(colon + 1), 1, 2147483647LL, &choice->at)) {
      *error = "throw-at needs a call number from 1 to 2147483647, as in throw-at:5";
      return false;
    }
    return true;
  }
  std::string names;
  for (const RuleEntry& entry : kRules)
    names += (names.empty() ? "" : ", ") + std::string(entry.name);
  *error = "unknown comparator '" + text + "' (the comparators: " + names + ", with throw-at:K)";
  return false;
}

// McIlroy's adversary over the identities of n elements: every value starts as
// "gas", greater than every settled one; when two gas values meet, the one the
// sort has just compared (the candidate, likely its pivot) is frozen to the next
// settled value. Gas then always goes after it, so a quicksort that picks that
// value as pivot splits off one element at a time. Its answers stay those of the
// values it settles on, so the input it makes (Values) gives the same run again.
class Adversary {
 public:
  explicit Adversary(std::size_t n) : values_(n, Gas(n)), gas_(Gas(n)) {}

  // Whether the element with identity x goes before the one with identity y.
  bool Less(int x, int y) {
    Settle(x, y);
    return values_[x] < values_[y];
  }

  bool Equal(int x, int y) {
    Settle(x, y);
    return values_[x] == values_[y];
  }

  // The value of each identity: the input on which the same sort runs the same way.
  const std::vector<int>& Values() const { return values_; }

 private:
  static int Gas(std::size_t n) { return n == 0 ? 0 : static_cast<int>(n - 1); }

  // The paper's step, as it stands: freeze one of two gas values, then remember
  // the gas one of the pair.
  void Settle(int x, int y) {
    if (values_[x] == gas_ && values_[y] == gas_)
      values_[x == candidate_ ? x : y] = settled_++;
    if (values_[x] == gas_)
      candidate_ = x;
    else if (values_[y] == gas_)
      candidate_ = y;
  }

  std::vector<int> values_;
  int gas_;
  int settled_ = 0;
  int candidate_ = 0;
};

// The answers of a chosen comparator for one sort's run, the call count and, for
// throw-at, whether this is the call that throws.
class ComparatorLab {
 public:
  ComparatorLab(const ComparatorChoice& choice, bool descending, std::uint32_t seed, std::size_t n)
      : choice_(choice), descending_(descending), random_(seed), adversary_(n) {}

  const ComparatorChoice& choice() const { return choice_; }
  const Adversary& adversary() const { return adversary_; }

  // Whether the call now starting is the one that throws.
  bool Throws(long long call) const { return choice_.rule == Rule::kThrowAt && call == choice_.at; }

  // The answer to "does a go before b?" for values a, b with identities ia, ib.
  bool Answer(int a, int ia, int b, int ib) {
    if (descending_) {
      std::swap(a, b);
      std::swap(ia, ib);
    }
    switch (choice_.rule) {
      case Rule::kLessEqual:
        return a <= b;
      case Rule::kAlwaysTrue:
        return true;
      case Rule::kAlwaysFalse:
        return false;
      case Rule::kRandom:
        return (random_() & 1U) != 0;
      case Rule::kNonTransitive: {
        const int x = ((a % 3) + 3) % 3;
        const int y = ((b % 3) + 3) % 3;
        return (x + 1) % 3 == y;
      }
      case Rule::kNan:
        return ia != 0 && ib != 0 && a < b;
      case Rule::kAdversary:
        return adversary_.Less(ia, ib);
      case Rule::kLess:
      case Rule::kThrowAt:
        break;
    }
    return a < b;
  }

  // operator== as this comparator's world sees it: a NaN equals nothing, and the
  // adversary settles what it is asked about.
  bool Equal(int a, int ia, int b, int ib) {
    if (choice_.rule == Rule::kNan && (ia == 0 || ib == 0))
      return false;
    if (choice_.rule == Rule::kAdversary)
      return adversary_.Equal(ia, ib);
    return a == b;
  }

 private:
  ComparatorChoice choice_;
  bool descending_;
  std::mt19937 random_;
  Adversary adversary_;
};

}  // namespace sorting_show

#endif  // SORTING_SHOW_COMPARATOR_LAB_H
