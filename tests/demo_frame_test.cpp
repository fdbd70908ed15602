// The demonstration's building blocks: comparators, printing and source data.

#include <cstdlib>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "demo/comparators.h"
#include "demo/print_array.h"
#include "demo/source_data.h"

namespace {

template <typename T>
std::string Printed(const T* elements, int count) {
  std::ostringstream out;
  PrintArray(elements, count, out);
  return out.str();
}

TEST(PrintArray, SeparatesElementsWithCommaSpaceOnly) {
  const int one[] = {7};
  const int three[] = {7, 42, 0};
  const char letters[] = {'a', 'Z', 'q'};
  EXPECT_EQ(Printed(one, 1), "7");
  EXPECT_EQ(Printed(three, 3), "7, 42, 0");
  EXPECT_EQ(Printed(letters, 3), "a, Z, q");
  EXPECT_EQ(Printed(three, 0), "");
}

TEST(Comparators, CharactersCompareAsSignedBytes) {
  const char high = static_cast<char>(0x80);  // -128 as a signed byte
  EXPECT_TRUE(AscendingChar(high, 'A'));
  EXPECT_TRUE(AscendingChar('Z', 'a'));
  EXPECT_TRUE(DescendingChar('a', 'Z'));
  EXPECT_FALSE(AscendingChar('q', 'q'));
  EXPECT_FALSE(DescendingChar('q', 'q'));
}

TEST(RandomLetter, DrawsEveryAsciiLetterAndNothingElse) {
  std::srand(1);
  std::set<char> seen;
  for (int i = 0; i < 5000; ++i)
    seen.insert(RandomLetter());
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  EXPECT_EQ(std::string(seen.begin(), seen.end()), letters);
}

TEST(FillSourceData, KeepsDisplayedValuesSmallAndTheRestBelowTenThousand) {
  bool any_large = false;
  for (unsigned seed = 1; seed <= 50; ++seed) {
    std::srand(seed);
    int arr[kFullCount];
    char c[kDisplayCount];
    FillSourceData(arr, c);
    for (int i = 0; i < kFullCount; ++i) {
      const int bound = i <= kDisplayCount ? 100 : 10000;
      ASSERT_GE(arr[i], 0) << "index " << i << ", seed " << seed;
      ASSERT_LT(arr[i], bound) << "index " << i << ", seed " << seed;
      any_large = any_large || arr[i] >= 100;
    }
    for (char letter : c) {
      ASSERT_TRUE(std::strchr("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", letter) &&
                  letter != '\0')
          << "seed " << seed;
    }
  }
  EXPECT_TRUE(any_large);
}

}  // namespace
