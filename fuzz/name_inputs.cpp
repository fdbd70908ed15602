// Names fuzzer inputs after what they ask for, so that the committed corpus says
// what each input is for and keeps meaning it when sorts are added:
//
//   sort_fuzz_names fuzz/corpus/*
//
// An input whose target code is not its target's own (libFuzzer's mutations
// rarely hit one; the others pick a target by position) gets that code written
// in, which changes no byte the target reads. Then a file not yet named
// "<target>-<type>-<comparator>", such as "partition-char-lessorequal", is
// renamed so, with the first 8 characters of its old name after it
// (libFuzzer's names are hashes of the contents); one that asks for nothing
// becomes "none-...". Prints each change; files already named stay as they are.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/fuzz_input.h"

namespace {

namespace fs = std::filesystem;

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// False when the file cannot be read or written.
bool Name(const fs::path& path) {
  std::vector<char> bytes;
  {
    std::ifstream in(path, std::ios::binary);
    if (!in)
      return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  sorting_fuzz::Header header;
  std::string prefix = "none";
  if (sorting_fuzz::ReadHeader(data, bytes.size(), header)) {
    prefix = sorting_fuzz::CorpusName(header);
    const std::uint16_t code = header.target->code;
    if ((data[0] | data[1] << 8) != code) {
      bytes[0] = static_cast<char>(code & 0xFF);
      bytes[1] = static_cast<char>(code >> 8);
      std::ofstream out(path, std::ios::binary | std::ios::trunc);
      if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return false;
      std::printf("%s: the code of %s written in\n", path.c_str(), header.target->name);
    }
  }
  const std::string name = path.filename().string();
  if (name == prefix || StartsWith(name, prefix + "-"))
    return true;
  fs::path renamed = path.parent_path() / (prefix + "-" + name.substr(0, 8));
  for (int k = 2; fs::exists(renamed); ++k)
    renamed = path.parent_path() / (prefix + "-" + name.substr(0, 8) + "-" + std::to_string(k));
  std::error_code error;
  fs::rename(path, renamed, error);
  if (error)
    return false;
  std::printf("%s: renamed %s\n", path.c_str(), renamed.filename().c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (!Name(argv[i])) {
      std::fprintf(stderr, "sort_fuzz_names: cannot read or write %s\n", argv[i]);
      status = 1;
    }
  }
  return status;
}
