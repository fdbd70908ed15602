// The recorder's C interface in the WebAssembly module: JavaScript writes values
// into the input buffer (or a pattern's name into the name buffer), calls a
// record function, and reads the recording from memory: a short header in JSON
// that says where the input, each trace's output and its binary event columns
// (show/trace_format.h) stand, and those as they are, for typed arrays. The
// catalogue of sorts and patterns, with the trace format's description, is the
// one sort_show --catalog writes. The module also counts a pattern's events
// without keeping them (for cost curves over many sizes), and draws the last
// recording's history picture as sort_show draws it, in RGBA pixels for a canvas.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "show/history_picture.h"
#include "show/trace_json.h"
#include "show/trace_recorder.h"
#include "show/variants.h"
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

using sorting_show::kMaxCountValues;
using sorting_show::kMaxValues;
using sorting_show::kPatternNameBytes;

// Only constant-initialised globals: the module has no start function, so no
// static constructor ever runs. The text is made on first use instead.
std::int32_t input_values[kMaxValues];
char pattern_name[kPatternNameBytes];
// The comparator's name ("less", "throw-at:5"; empty for less), and the call
// budget (-1: the recorder's own).
char comparator_name[kPatternNameBytes];
long long call_budget = -1;
std::string* json = nullptr;
// The last recording with its events, whose columns its header points at, and
// its history picture.
sorting_show::Recording* last_recording = nullptr;
sorting_show::Recording* last_variant = nullptr;
// The rows of the ranges that the last recording's and the last variant's headers point at.
std::vector<std::vector<std::int32_t>>* recording_ranges = nullptr;
std::vector<std::vector<std::int32_t>>* variant_ranges = nullptr;
sorting_show::Image* picture = nullptr;
std::vector<unsigned char>* picture_rgba = nullptr;

std::int32_t Publish(std::string text) {
  if (json == nullptr)
    json = new std::string;
  *json = std::move(text);
  return static_cast<std::int32_t>(json->size());
}

// Where a vector's entries start in the module's memory, and how many there are.
template <typename Entry>
void AppendPlace(std::string& out, const char* name, const std::vector<Entry>& entries) {
  out += ",\"";
  out += name;
  out += "\":[";
  sorting_show::AppendInt(out,
                          static_cast<long long>(reinterpret_cast<std::uintptr_t>(entries.data())));
  out += ',';
  sorting_show::AppendInt(out, static_cast<long long>(entries.size()));
  out += ']';
}

// The "sorting-recording" document: what the page reads of a recording that
// stays in the module's memory. Every trace's input (McIlroy's adversary makes
// one for each sort), output and identities and its event columns are
// [address, count] places in the memory; the rest is the trace document's own
// fields, with each trace's sites (its library lines: the index of the file in
// its files, the line and the standard algorithm, or null, null, null) and its
// count of reordered pairs of equal values.
std::string RecordingHeader(const sorting_show::Recording& recording,
                            std::vector<std::vector<std::int32_t>>& range_rows) {
  range_rows.clear();
  std::string out = "{\"format\":\"sorting-recording\",\"version\":1";
  sorting_show::AppendInputFields(out, recording.input);
  out += ",\"traces\":[";
  for (const sorting_show::Trace& trace : recording.traces) {
    if (&trace != &recording.traces.front())
      out += ',';
    out += "{\"algorithm\":";
    sorting_show::AppendString(out, trace.algorithm);
    sorting_show::AppendCounts(out, trace);
    out += ",\"rule\":";
    sorting_show::AppendString(out, trace.comparator.c_str());
    out += ",\"outcome\":";
    sorting_show::AppendString(out, trace.outcome.ended);
    out += trace.outcome.kept ? ",\"kept\":true" : ",\"kept\":false";
    const sorting_show::FileList files(trace.events.sites, trace.events.ranges);
    out += ",\"files\":[";
    for (const std::string& path : files.paths()) {
      if (&path != &files.paths().front())
        out += ',';
      sorting_show::AppendString(out, path.c_str());
    }
    out += "],\"sites\":[";
    for (std::size_t k = 0; k < trace.events.sites.size(); ++k) {
      const sorting_show::SourceLine& site = trace.events.sites[k];
      const int file = files.FileOfSite(k);
      out += k == 0 ? "[" : ",[";
      sorting_show::AppendSlot(out, file);
      out += ',';
      if (file < 0)
        out += "null";
      else
        sorting_show::AppendInt(out, site.line);
      out += ',';
      sorting_show::AppendNameOrNull(out, site.callee);
      out += ']';
    }
    out += ']';
    AppendPlace(out, "input", trace.input);
    AppendPlace(out, "output", trace.output);
    AppendPlace(out, "output_identities", trace.output_identities);
    AppendPlace(out, "head", trace.events.head);
    AppendPlace(out, "first", trace.events.first);
    AppendPlace(out, "second", trace.events.second);
    AppendPlace(out, "extra", trace.events.extra);
    AppendPlace(out, "held", trace.events.held);
    // The ranges as rows of 32-bit fields, kept until the next header of this recording.
    std::vector<std::int32_t>& rows = range_rows.emplace_back();
    for (const sorting_show::RangeEntry& range : trace.events.ranges) {
      const sorting_show::RangeRow row = sorting_show::RangeRowOf(range, files);
      rows.insert(rows.end(), row.begin(), row.end());
    }
    out += ",\"ranges\":[";
    sorting_show::AppendInt(out,
                            static_cast<long long>(reinterpret_cast<std::uintptr_t>(rows.data())));
    out += ',';
    sorting_show::AppendInt(out, static_cast<long long>(trace.events.ranges.size()));
    out += ']';
    out += '}';
  }
  out += "]}";
  return out;
}

// Records every sort on `input` under the comparator named in its buffer and
// publishes the recording's header; -3 for a comparator's name the lab does not
// know, -2 when a trace names more library lines than the binary format holds.
std::int32_t Record(sorting_show::Input input) {
  if (std::memchr(comparator_name, '\0', kPatternNameBytes) == nullptr)
    return -3;
  std::string error;
  if (comparator_name[0] != '\0' &&
      !sorting_show::ParseComparator(comparator_name, &input.comparator, &error))
    return -3;
  if (last_recording == nullptr)
    last_recording = new sorting_show::Recording;
  *last_recording = sorting_show::RecordAll(std::move(input), true, call_budget);
  for (const sorting_show::Trace& trace : last_recording->traces) {
    if (trace.events.too_many_sites)
      return -2;
  }
  if (recording_ranges == nullptr)
    recording_ranges = new std::vector<std::vector<std::int32_t>>;
  return Publish(RecordingHeader(*last_recording, *recording_ranges));
}

// The variants of the sorts, on the instrumented type.
constexpr const auto& kTrackedVariants =
    sorting_variants::kVariants<sorting_show::Tracked, sorting_show::RecordingComparator>;

// The pattern named in the name buffer, or null for a name that is no
// pattern's or has no NUL in the buffer.
const sorting_patterns::PatternEntry* NamedPattern() {
  if (std::memchr(pattern_name, '\0', kPatternNameBytes) == nullptr)
    return nullptr;
  return sorting_patterns::FindPattern(pattern_name);
}

}  // namespace

SORTING_EXPORT(sorting_input) std::int32_t* sorting_input() {
  return input_values;
}

// Records every sort on the first `count` values of the input buffer; returns
// the length of the recording's header, or -1 for a count out of range (-2 as
// Record says).
SORTING_EXPORT(sorting_record_values)
std::int32_t sorting_record_values(std::int32_t count, std::int32_t descending) {
  if (count < 1 || count > static_cast<std::int32_t>(kMaxValues))
    return -1;
  return Record(sorting_show::ValuesInput(std::vector<int>(input_values, input_values + count),
                                          descending != 0));
}

// Records variant `k` (in the catalogue's order of variants) as its sort was
// recorded last (see RecordVariant), and publishes a recording header of its one
// trace, named after the variant; -1 for a k out of range or before any
// recording. The last recording stays the one the history picture shows.
SORTING_EXPORT(sorting_record_variant) std::int32_t sorting_record_variant(std::int32_t k) {
  if (last_recording == nullptr || k < 0 ||
      static_cast<std::size_t>(k) >= std::size(kTrackedVariants))
    return -1;
  const auto& variant = kTrackedVariants[k];
  sorting_show::Recording recording;
  recording.input = last_recording->input;
  recording.traces.push_back(sorting_show::RecordVariant(variant.sort, variant.name, variant.run,
                                                         *last_recording, call_budget));
  if (recording.traces[0].events.too_many_sites)
    return -2;
  // The header points into this recording's arrays: they stay until the next call.
  if (last_variant == nullptr)
    last_variant = new sorting_show::Recording;
  *last_variant = std::move(recording);
  if (variant_ranges == nullptr)
    variant_ranges = new std::vector<std::vector<std::int32_t>>;
  return Publish(RecordingHeader(*last_variant, *variant_ranges));
}

// The buffer of kPatternNameBytes bytes that the record functions read the
// comparator's name from, NUL-terminated; empty (as at first) for less.
SORTING_EXPORT(sorting_comparator_name) char* sorting_comparator_name() {
  return comparator_name;
}

// The comparator calls after which a recording stops each sort; -1 (as at
// first) for the recorder's own budget, 4 n^2 + 64.
SORTING_EXPORT(sorting_set_call_budget) void sorting_set_call_budget(std::int32_t calls) {
  call_budget = calls;
}

// The buffer of kPatternNameBytes bytes that sorting_record_pattern and
// sorting_count_pattern read a pattern's name from.
SORTING_EXPORT(sorting_pattern_name) char* sorting_pattern_name() {
  return pattern_name;
}

// Records every sort on the pattern named in the name buffer at `size` from
// `seed`, as sort_show does; returns the length of the recording's header, or
// -1 for a name that is not a pattern's (or not NUL-terminated) or a size out
// of range (-2 as Record says).
SORTING_EXPORT(sorting_record_pattern)
std::int32_t sorting_record_pattern(std::int32_t size, std::int32_t seed, std::int32_t descending) {
  const sorting_patterns::PatternEntry* entry = NamedPattern();
  if (entry == nullptr || size < 1 || size > static_cast<std::int32_t>(kMaxValues))
    return -1;
  return Record(sorting_show::PatternInput(entry->pattern, static_cast<std::size_t>(size),
                                           static_cast<std::uint32_t>(seed), descending != 0));
}

// Counts what the sorts whose bits are set in `sorts` (bit k for the k-th sort
// of the catalogue) do on the pattern named in the name buffer, as
// sorting_record_pattern would record it, without keeping the events; writes a
// sorting-counts document of those sorts where sorting_json() points and
// returns its length, or -1 for a bad name or a size out of 1 to
// kMaxCountValues. The last recording stays the one the history picture shows.
SORTING_EXPORT(sorting_count_pattern)
std::int32_t sorting_count_pattern(std::int32_t size, std::int32_t seed, std::int32_t descending,
                                   std::int32_t sorts) {
  const sorting_patterns::PatternEntry* entry = NamedPattern();
  if (entry == nullptr || size < 1 || size > static_cast<std::int32_t>(kMaxCountValues))
    return -1;
  const sorting_show::Input input =
      sorting_show::PatternInput(entry->pattern, static_cast<std::size_t>(size),
                                 static_cast<std::uint32_t>(seed), descending != 0);
  sorting_show::Recording counted;
  counted.input = input;
  for (std::size_t k = 0; k < std::size(sorting_show::kTrackedSorts); ++k) {
    if ((static_cast<std::uint32_t>(sorts) >> k & 1U) != 0) {
      counted.traces.push_back(sorting_show::RecordSort(sorting_show::kTrackedSorts[k],
                                                        input.values, input.descending, false));
    }
  }
  return Publish(sorting_show::CountsDocument(counted));
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

// Writes the catalogue of the sorts and the patterns, with the description of
// the trace format, where sorting_json() points; returns its length in bytes.
SORTING_EXPORT(sorting_catalog) std::int32_t sorting_catalog() {
  return Publish(sorting_show::CatalogDocument());
}

// The text of the last recording's header, counts or catalogue, valid until
// the next call that makes one.
SORTING_EXPORT(sorting_json) const char* sorting_json() {
  return json != nullptr ? json->data() : "";
}
