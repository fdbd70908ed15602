// The fuzzer's committed corpus means what its file names say: each input holds
// its target's own code, which adding a sort does not change, and is named after
// the target, the element type and the comparator it asks for.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/fuzz_input.h"

namespace sorting_test {
namespace {

TEST(FuzzCorpus, NamesSayWhatEachInputAsksFor) {
  const std::filesystem::path folder = std::filesystem::path(SORTING_SOURCE_DIR) / "fuzz/corpus";
  int inputs = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    ++inputs;
    const std::string name = file.path().filename().string();
    std::ifstream in(file.path(), std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    sorting_fuzz::Header header;
    std::string expected = "none";
    if (sorting_fuzz::ReadHeader(data, bytes.size(), header)) {
      expected = sorting_fuzz::CorpusName(header);
      EXPECT_EQ(data[0] | data[1] << 8, header.target->code)
          << "fuzz/corpus/" << name << " reaches " << header.target->name
          << " by position, which a new sort changes: make fuzz-corpus writes the code in";
    }
    EXPECT_TRUE(name == expected || name.rfind(expected + "-", 0) == 0)
        << "fuzz/corpus/" << name << " asks for " << expected
        << ": make fuzz-corpus names it so (build-fuzz/fuzz/sort_fuzz_names FILE)";
  }
  EXPECT_GT(inputs, 0) << "no input in " << folder;
}

// Every target has inputs of its own in the corpus.
TEST(FuzzCorpus, ReachesEveryTarget) {
  const std::filesystem::path folder = std::filesystem::path(SORTING_SOURCE_DIR) / "fuzz/corpus";
  for (const sorting_fuzz::Target& target : sorting_fuzz::kTargets) {
    const std::string prefix = sorting_fuzz::TargetWord(target) + "-";
    bool found = false;
    for (const auto& file : std::filesystem::directory_iterator(folder))
      found = found || file.path().filename().string().rfind(prefix, 0) == 0;
    EXPECT_TRUE(found) << "no input in fuzz/corpus reaches " << target.name
                       << ": run make fuzz, then make fuzz-corpus";
  }
}

}  // namespace
}  // namespace sorting_test
