// The built sort_show, run as a user runs it: a bad option or value ends it with
// one line on standard error, a non-zero status and nothing at the output path;
// a good run fills the page and leaves no partial file behind.

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "show/trace_json.h"
#include "support/input_patterns.h"

namespace sorting_test {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The names in a folder, sorted, without "." and "..".
std::vector<std::string> Entries(const std::string& path) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(path.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..")
        names.push_back(name);
    }
    closedir(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A scratch folder per test, so that parallel runs never share files.
class SortShowProgram : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/sort_show_test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }

  Outcome Start(const std::string& arguments) const {
    const std::string out = dir_ + "/stdout";
    const std::string err = dir_ + "/stderr";
    const int status = std::system(
        (std::string(SORT_SHOW_PATH) + " " + arguments + " >" + out + " 2>" + err + " </dev/null")
            .c_str());
    Outcome run{WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(out), Slurp(err)};
    std::remove(out.c_str());
    std::remove(err.c_str());
    return run;
  }

  std::string dir_;
};

struct BadCase {
  const char* arguments;  // "@" stands for the scratch folder
  const char* message;    // a part of the one line expected on standard error
};

const BadCase kBadCases[] = {
    {"--pattern zigzag", "unknown pattern 'zigzag'"},
    {"--comparator lesser", "unknown comparator 'lesser'"},
    {"--comparator throw-at:0", "throw-at needs a call number"},
    {"--adversary --comparator nan", "--comparator is given twice, or with --adversary"},
    {"--budget 0", "--budget must be a whole number"},
    {"--pattern shuffled,,ascending", "--pattern needs"},
    {"--pattern shuffled,ascending --pattern shuffled", "pattern 'shuffled' is given twice"},
    {"--size 12x", "not '12x'"},
    {"--size", "--size needs a value"},
    {"--seed -1", "--seed must be"},
    {"--seed 4294967296", "--seed must be"},
    {"--values 5,1,x,2", "'x' is not an integer"},
    {"--values 1,2147483648", "'2147483648' is not an integer"},
    {"--values 1,,2", "--values needs integers"},
    {"--values ,", "--values needs integers"},
    {"--values 1,2 --size 5", "--values replaces --pattern"},
    {"--direction up", "--direction must be ascending or descending"},
    {"--colour red", "unknown option '--colour'"},
    {"--catalog --json", "--catalog takes no other option"},
    {"--sources --size 5", "--sources takes no other option"},
    {"--output @/missing/page.html", "cannot write @/missing/page.html"},
    {"--output @", "cannot write @"},
};

std::string Substitute(std::string text, const std::string& dir) {
  for (std::size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + 1))
    text.replace(at, 1, dir);
  return text;
}

TEST_F(SortShowProgram, RejectsBadOptionsWithOneLineAndNoOutput) {
  std::vector<BadCase> cases(std::begin(kBadCases), std::end(kBadCases));
  // The recorder's limit holds for --size and for all --values together.
  const std::string most = std::to_string(sorting_show::kMaxValues);
  const std::string beyond = std::to_string(sorting_show::kMaxValues + 1);
  const std::string size_message = "--size must be a whole number from 1 to " + most + ",";
  const std::string size_beyond = "--size " + beyond;
  cases.push_back({"--size 0", size_message.c_str()});
  cases.push_back({size_beyond.c_str(), size_message.c_str()});
  std::string values = "1";
  for (std::size_t k = 2; k <= sorting_show::kMaxValues; ++k)
    values += "," + std::to_string(k);
  const std::string too_many = "--values " + values + " --values " + beyond;
  const std::string too_many_message = "at most " + most + " values, not " + beyond;
  cases.push_back({too_many.c_str(), too_many_message.c_str()});
  for (const BadCase& bad : cases) {
    const std::string arguments = Substitute(bad.arguments, dir_);
    SCOPED_TRACE(arguments);
    const std::string page = dir_ + "/page.html";
    // Cases without their own --output would write the page here.
    const bool own_output = arguments.find("--output") != std::string::npos;
    std::string command = own_output ? "" : "--output " + page + " ";
    command += arguments;
    const Outcome run = Start(command);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("sort_show: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    EXPECT_NE(run.err.find(Substitute(bad.message, dir_)), std::string::npos) << run.err;
    EXPECT_EQ(Entries(dir_), std::vector<std::string>{}) << "nothing written, not even in part";
  }
}

// The help and the catalogue tell every pattern of the table, with what it is.
TEST_F(SortShowProgram, NamesAndDescribesEveryPattern) {
  const Outcome help = Start("--help");
  const Outcome catalog = Start("--catalog");
  ASSERT_EQ(help.status, 0) << help.err;
  for (const sorting_patterns::PatternEntry& pattern : sorting_patterns::kPatterns) {
    const std::string name = pattern.name;
    EXPECT_NE(help.out.find(" " + name + " "), std::string::npos) << name;
    EXPECT_NE(help.out.find(pattern.description), std::string::npos) << name;
    EXPECT_NE(catalog.out.find("{\"name\":\"" + name + "\",\"description\":\"" +
                               pattern.description + "\"}"),
              std::string::npos)
        << name;
  }
}

// How often `part` stands in `text`.
std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// --adversary records one input, however many patterns there are, and drives QuickSort to
// n^2/4 comparisons or more; --comparator names its comparator in every trace.
TEST_F(SortShowProgram, RunsTheComparatorLab) {
  const Outcome adversary = Start("--json --adversary --size 64");
  ASSERT_EQ(adversary.status, 0) << adversary.err;
  EXPECT_EQ(Count(adversary.out, "\"rule\":\"adversary\""), std::size(sorting::kSorts<int>));
  const std::size_t quick = adversary.out.find("{\"algorithm\":\"QuickSort\"");
  ASSERT_NE(quick, std::string::npos);
  const std::size_t at = adversary.out.find("\"comparisons\":", quick) + 14;
  EXPECT_GE(std::stol(adversary.out.substr(at)), 64 * 64 / 4);
  const Outcome broken = Start("--json --pattern shuffled --size 9 --comparator throw-at:3");
  ASSERT_EQ(broken.status, 0) << broken.err;
  EXPECT_EQ(Count(broken.out, "\"rule\":\"throw-at:3\",\"outcome\":\"threw\",\"kept\":true"),
            std::size(sorting::kSorts<int>));
}

TEST_F(SortShowProgram, FillsThePageAndLeavesNoPartialFile) {
  const std::string page = dir_ + "/page.html";
  const Outcome run =
      Start("--values 5,1,4,2,3 --output " + page + " --pictures " + dir_ + "/pics");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "Page: " + page + "\nPicture: " + dir_ + "/pics/history-values.png\n");
  const std::string text = Slurp(page);
  EXPECT_EQ(text.find("__SORTING_TRACES__"), std::string::npos);
  EXPECT_EQ(text.find("__SORTING_CATALOG__"), std::string::npos);
  EXPECT_EQ(text.find("__SORTING_WASM__"), std::string::npos);
  EXPECT_EQ(text.find("__SORTING_INPUTS__"), std::string::npos);
  EXPECT_NE(text.find("{\"format\":\"sorting-inputs\",\"version\":1,\"inputs\":[{\"pattern\":"
                      "\"values\",\"values\":[5,1,4,2,3],\"direction\":\"ascending\","
                      "\"rule\":\"less\",\"reordered_equal_pairs\":[0,0,0,0,0]}]}"),
            std::string::npos)
      << "the page lists its input";
  // With the module (gzipped, so in base64 it starts with that of the gzip magic 1f 8b 08),
  // the page records its input at load; without it, the page holds the document that --json
  // prints.
  const bool has_module = text.find("\"H4sI") != std::string::npos;
  const Outcome json = Start("--json --values 5,1,4,2,3");
  ASSERT_EQ(json.status, 0) << json.err;
  ASSERT_EQ(json.out.back(), '\n');
  EXPECT_EQ(text.find(json.out.substr(0, json.out.size() - 1)) != std::string::npos, !has_module)
      << "the traces are in the page exactly when it has no module to record them";
  const Outcome catalog = Start("--catalog");
  ASSERT_EQ(catalog.status, 0) << catalog.err;
  EXPECT_EQ(catalog.out.find('\n'), catalog.out.size() - 1) << "one line";
  EXPECT_EQ(catalog.out.rfind("{\"format\":\"sorting-catalog\",\"version\":2,", 0), 0u);
  EXPECT_NE(text.find(catalog.out.substr(0, catalog.out.size() - 1)), std::string::npos)
      << "the page holds the catalogue that --catalog prints";
  EXPECT_EQ(Entries(dir_), (std::vector<std::string>{"page.html", "pics"}));

  // --sources holds the text of every header the traces name, as it is on disk.
  const Outcome sources = Start("--sources");
  ASSERT_EQ(sources.status, 0) << sources.err;
  EXPECT_EQ(sources.out.find('\n'), sources.out.size() - 1) << "one line";
  EXPECT_EQ(sources.out.find("</"), std::string::npos);
  std::vector<std::string> named;  // every path of every trace's "files"
  for (std::size_t at = json.out.find("\"files\":["); at != std::string::npos;
       at = json.out.find("\"files\":[", at + 1)) {
    const std::size_t end = json.out.find(']', at);
    for (std::size_t quote = json.out.find('"', at + 9); quote < end;
         quote = json.out.find('"', json.out.find('"', quote + 1) + 1))
      named.push_back(json.out.substr(quote + 1, json.out.find('"', quote + 1) - quote - 1));
  }
  EXPECT_NE(std::find(named.begin(), named.end(), "sorting/quick_sort.h"), named.end());
  for (const std::string& path : named) {
    std::string entry;
    sorting_show::AppendString(entry, path.c_str());
    entry += ':';
    sorting_show::AppendString(entry, Slurp(std::string(SORTING_INCLUDE_DIR) + "/" + path).c_str());
    EXPECT_NE(sources.out.find(entry), std::string::npos) << path;
  }
  EXPECT_EQ(Slurp(dir_ + "/pics/history-values.png").rfind("\x89PNG\r\n\x1a\n", 0), 0u);

  // With the document on standard output, the report of the pictures goes beside it.
  // The extreme values span more than an int holds (the sanitized build checks it).
  const std::string extremes = "--values -2147483648,2147483647,0";
  const Outcome alone = Start("--json " + extremes);
  const Outcome both = Start("--json " + extremes + " --pictures " + dir_ + "/pics");
  ASSERT_EQ(both.status, 0) << both.err;
  EXPECT_EQ(both.out, alone.out);
  EXPECT_EQ(both.err, "Picture: " + dir_ + "/pics/history-values.png\n");
}

}  // namespace
}  // namespace sorting_test
