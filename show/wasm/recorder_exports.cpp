// The recorder's C interface in the WebAssembly module: JavaScript writes values
// into the input buffer (or a pattern's name into the name buffer), calls a
// record function, and reads the JSON text from memory. The document is the one
// sort_show --json writes for the same input, made by the same code; the
// catalogue of sorts and patterns is the one sort_show --catalog writes. The
// module also counts a pattern's events without keeping them (for cost curves
// over many sizes), and draws the last recording's history picture as sort_show
// draws it, in RGBA pixels for a canvas.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "show/history_picture.h"
#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "support/input_patterns.h"

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
// A pattern's name, NUL-terminated; longer than every name in the table.
constexpr std::size_t kPatternNameSize = 64;
char pattern_name[kPatternNameSize];
std::string* json = nullptr;
// The last recording with its events, for its history picture, and the picture.
sorting_show::Recording* last_recording = nullptr;
sorting_show::Image* picture = nullptr;
std::vector<unsigned char>* picture_rgba = nullptr;

std::int32_t Publish(std::string text) {
  if (json == nullptr)
    json = new std::string;
  *json = std::move(text);
  return static_cast<std::int32_t>(json->size());
}

std::int32_t Record(sorting_show::Input input) {
  if (last_recording == nullptr)
    last_recording = new sorting_show::Recording;
  *last_recording = sorting_show::RecordAll(std::move(input));
  return Publish(sorting_show::TraceDocument({*last_recording}));
}

// The pattern named in the name buffer, or null for a name that is no
// pattern's or has no NUL in the buffer.
const sorting_patterns::PatternEntry* NamedPattern() {
  if (std::memchr(pattern_name, '\0', kPatternNameSize) == nullptr)
    return nullptr;
  return sorting_patterns::FindPattern(pattern_name);
}

}  // namespace

SORTING_EXPORT(sorting_max_values) std::int32_t sorting_max_values() {
  return static_cast<std::int32_t>(sorting_show::kMaxValues);
}

SORTING_EXPORT(sorting_input) std::int32_t* sorting_input() {
  return input_values;
}

// Records every sort on the first `count` values of the input buffer;
// returns the JSON length in bytes, or -1 for a count out of range.
SORTING_EXPORT(sorting_record_values)
std::int32_t sorting_record_values(std::int32_t count, std::int32_t descending) {
  if (count < 1 || count > sorting_max_values())
    return -1;
  return Record(sorting_show::ValuesInput(std::vector<int>(input_values, input_values + count),
                                          descending != 0));
}

// The buffer of kPatternNameSize bytes that sorting_record_pattern reads a
// pattern's name from.
SORTING_EXPORT(sorting_pattern_name) char* sorting_pattern_name() {
  return pattern_name;
}

// Records every sort on the pattern named in the name buffer at `size` from
// `seed`, as sort_show does; returns the JSON length in bytes, or -1 for a name
// that is not a pattern's (or not NUL-terminated) or a size out of range.
SORTING_EXPORT(sorting_record_pattern)
std::int32_t sorting_record_pattern(std::int32_t size, std::int32_t seed, std::int32_t descending) {
  const sorting_patterns::PatternEntry* entry = NamedPattern();
  if (entry == nullptr || size < 1 || size > sorting_max_values())
    return -1;
  return Record(sorting_show::PatternInput(entry->pattern, static_cast<std::size_t>(size),
                                           static_cast<std::uint32_t>(seed), descending != 0));
}

// Counts what every sort does on the pattern named in the name buffer, as
// sorting_record_pattern would record it, without keeping the events; writes a
// sorting-counts document where sorting_json() points and returns its length,
// or -1 as sorting_record_pattern does. The last recording stays the one the
// history picture shows.
SORTING_EXPORT(sorting_count_pattern)
std::int32_t sorting_count_pattern(std::int32_t size, std::int32_t seed, std::int32_t descending) {
  const sorting_patterns::PatternEntry* entry = NamedPattern();
  if (entry == nullptr || size < 1 || size > sorting_max_values())
    return -1;
  const sorting_show::Input input =
      sorting_show::PatternInput(entry->pattern, static_cast<std::size_t>(size),
                                 static_cast<std::uint32_t>(seed), descending != 0);
  return Publish(sorting_show::CountsDocument(sorting_show::RecordAll(input, false)));
}

// Draws the history picture of the last recording, as sort_show --pictures
// does; returns where its RGBA pixels start (sorting_picture_width() times
// sorting_picture_height() times 4 bytes, row by row), or 0 before any
// recording. They stay until the next call of this function.
SORTING_EXPORT(sorting_history_picture) const unsigned char* sorting_history_picture() {
  if (last_recording == nullptr)
    return nullptr;
  if (picture == nullptr) {
    picture = new sorting_show::Image;
    picture_rgba = new std::vector<unsigned char>;
  }
  *picture = sorting_show::DrawHistory(*last_recording);
  *picture_rgba = sorting_show::Rgba(*picture);
  return picture_rgba->data();
}

// The size in pixels of the picture sorting_history_picture() last drew; 0
// before it drew one.
SORTING_EXPORT(sorting_picture_width) std::int32_t sorting_picture_width() {
  return picture != nullptr ? picture->width : 0;
}

SORTING_EXPORT(sorting_picture_height) std::int32_t sorting_picture_height() {
  return picture != nullptr ? picture->height : 0;
}

// Writes the catalogue of the sorts and the patterns where sorting_json()
// points; returns its length in bytes.
SORTING_EXPORT(sorting_catalog) std::int32_t sorting_catalog() {
  return Publish(sorting_show::CatalogDocument());
}

// The JSON text of the last recording or catalogue, valid until the next call
// that makes one.
SORTING_EXPORT(sorting_json) const char* sorting_json() {
  return json != nullptr ? json->data() : "";
}
