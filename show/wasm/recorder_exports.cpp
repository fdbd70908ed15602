// The recorder's C interface in the WebAssembly module: JavaScript writes values
// into the input buffer (or names a pattern), calls a record function, and reads
// the JSON text from memory. The document is the one sort_show --json writes for
// the same input, made by the same code.

#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "tests/input_patterns.h"

#define SORTING_EXPORT(name) extern "C" __attribute__((export_name(#name)))

// Allocation without a C++ runtime library: straight from wasi-libc's malloc,
// and a trap (the module has no way to report) when memory cannot grow.
void* operator new(std::size_t size) {
  if (void* memory = std::malloc(size != 0 ? size : 1))
    return memory;
  __builtin_trap();
}
void operator delete(void* memory) noexcept {
  std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  std::free(memory);
}

namespace {

// Only constant-initialised globals: the module has no start function, so no
// static constructor ever runs. The text is made on first use instead.
std::int32_t input_values[sorting_show::kMaxValues];
std::string* json = nullptr;

std::int32_t Record(sorting_show::Input input) {
  if (json == nullptr)
    json = new std::string;
  *json = sorting_show::TraceDocument({sorting_show::RecordAll(std::move(input))});
  return static_cast<std::int32_t>(json->size());
}

}  // namespace

SORTING_EXPORT(sorting_max_values) std::int32_t sorting_max_values() {
  return static_cast<std::int32_t>(sorting_show::kMaxValues);
}

SORTING_EXPORT(sorting_input) std::int32_t* sorting_input() {
  return input_values;
}

// Records the five sorts on the first `count` values of the input buffer;
// returns the JSON length in bytes, or -1 for a count out of range.
SORTING_EXPORT(sorting_record_values)
std::int32_t sorting_record_values(std::int32_t count, std::int32_t descending) {
  if (count < 1 || count > sorting_max_values())
    return -1;
  return Record(sorting_show::ValuesInput(std::vector<int>(input_values, input_values + count),
                                          descending != 0));
}

// Records the five sorts on pattern number `pattern` (the order of
// sorting_test::kAllPatterns) at `size` from `seed`, as sort_show does.
SORTING_EXPORT(sorting_record_pattern)
std::int32_t sorting_record_pattern(std::int32_t pattern, std::int32_t size, std::int32_t seed,
                                    std::int32_t descending) {
  constexpr std::int32_t kPatterns =
      sizeof sorting_test::kAllPatterns / sizeof sorting_test::kAllPatterns[0];
  if (pattern < 0 || pattern >= kPatterns || size < 1 || size > sorting_max_values())
    return -1;
  return Record(sorting_show::PatternInput(sorting_test::kAllPatterns[pattern],
                                           static_cast<std::size_t>(size),
                                           static_cast<std::uint32_t>(seed), descending != 0));
}

// The JSON text of the last recording, valid until the next record call.
SORTING_EXPORT(sorting_json) const char* sorting_json() {
  return json != nullptr ? json->data() : "";
}
