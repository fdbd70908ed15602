#ifndef SORTING_SHOW_TRACE_JSON_H
#define SORTING_SHOW_TRACE_JSON_H

// Writes recordings as a "sorting-trace" JSON document, version 2, their counts
// alone as a "sorting-counts" document, and the catalogue of the sorts and the
// input patterns as a "sorting-catalog" document, each on one line. The native
// program and the WebAssembly module both write through this code, so the two
// give byte-identical text. Neither
// text ever contains "</" (strings escape '<'), so each can stand inside an HTML
// script element as it is.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "show/trace_format.h"
#include "show/trace_recorder.h"
#include "show/variants.h"

namespace sorting_show {

inline void AppendInt(std::string& out, long long value) {
  char digits[24];
  int count = 0;
  // Through the unsigned value, so that the most negative value has a magnitude.
  unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                           : static_cast<unsigned long long>(value);
  do {
    digits[count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0)
    out += '-';
  while (count > 0)
    out += digits[--count];
}

inline void AppendSlot(std::string& out, int slot) {
  if (slot == kNoSlot)
    out += "null";
  else
    AppendInt(out, slot);
}

// A JSON string; '<' is escaped too, so that no "</" can end a script element.
inline void AppendString(std::string& out, const char* text) {
  static const char kHex[] = "0123456789abcdef";
  out += '"';
  for (; *text != '\0'; ++text) {
    const auto c = static_cast<unsigned char>(*text);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == '<') {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

// The words of a space-separated list as a JSON list of strings.
inline void AppendWords(std::string& out, const char* words) {
  out += '[';
  bool first = true;
  std::string word;
  for (const char* at = words;; ++at) {
    if (*at != ' ' && *at != '\0') {
      word += *at;
      continue;
    }
    if (!word.empty()) {
      if (!first)
        out += ',';
      first = false;
      AppendString(out, word.c_str());
      word.clear();
    }
    if (*at == '\0')
      break;
  }
  out += ']';
}

inline void AppendValues(std::string& out, const std::vector<int>& values) {
  out += '[';
  for (std::size_t k = 0; k < values.size(); ++k) {
    if (k != 0)
      out += ',';
    AppendInt(out, values[k]);
  }
  out += ']';
}

// A source file as the trace names it: the path below the last "include/" of
// the compiler's path, "sorting/quick_sort.h", whatever folder the build used.
inline std::string LibraryPath(const char* file) {
  const std::string path = file;
  if (path.rfind("include/", 0) == 0)
    return path.substr(8);
  const std::size_t at = path.rfind("/include/");
  return at == std::string::npos ? path : path.substr(at + 9);
}

// The files a trace's events name, sorted, and the index into them of each of
// the trace's sites (-1 for a site with no file).
class FileList {
 public:
  explicit FileList(const std::vector<SourceLine>& sites,
                    const std::vector<RangeEntry>& ranges = {}) {
    const auto add = [this](const char* file) {
      if (file == nullptr)
        return;
      const std::string path = LibraryPath(file);
      if (std::find(paths_.begin(), paths_.end(), path) == paths_.end())
        paths_.push_back(path);
    };
    for (const SourceLine& site : sites)
      add(site.file);
    for (const RangeEntry& range : ranges)
      add(range.source.file);
    std::sort(paths_.begin(), paths_.end());
    for (const SourceLine& site : sites) {
      site_files_.push_back(
          site.file == nullptr
              ? -1
              : static_cast<int>(std::find(paths_.begin(), paths_.end(), LibraryPath(site.file)) -
                                 paths_.begin()));
    }
  }

  const std::vector<std::string>& paths() const { return paths_; }
  int FileOfSite(std::size_t site) const { return site_files_[site]; }

  // The index of a file in paths(), or -1 for none.
  int IndexOf(const char* file) const {
    if (file == nullptr)
      return -1;
    return static_cast<int>(std::find(paths_.begin(), paths_.end(), LibraryPath(file)) -
                            paths_.begin());
  }

 private:
  std::vector<std::string> paths_;
  std::vector<int> site_files_;
};

// A range's fields as 32-bit integers, in the order of kRangeFields, with its
// file as an index into the trace's files; -1 for a budget, file or line that
// is not there.
using RangeRow = std::array<std::int32_t, std::size(kRangeFields)>;
inline RangeRow RangeRowOf(const RangeEntry& range, const FileList& files) {
  const int file = files.IndexOf(range.source.file);
  return {range.at,
          range.first,
          range.last,
          range.depth,
          range.budget,
          file,
          file < 0 ? -1 : static_cast<std::int32_t>(range.source.line)};
}

// One event as a JSON list, its fields in the order of its kind's table in
// show/trace_format.h: ["c", 0, null, false, 3, 2, ...]. `file` indexes the
// trace's "files", or is -1 where the event names no line.
inline void AppendEvent(std::string& out, const Event& event, int file) {
  const EventKindEntry& kind = KindEntryOf(event);
  const SourceLine& source = SourceOf(event);
  out += "[\"";
  out += kind.tag;
  out += '"';
  for (std::size_t k = 0; k < kind.field_count; ++k) {
    const EventField& field = kind.fields[k];
    out += ',';
    switch (field.type) {
      case FieldType::kSlot:
        AppendSlot(out, static_cast<int>(field.value(event)));
        break;
      case FieldType::kNumber:
        AppendInt(out, field.value(event));
        break;
      case FieldType::kBoolean:
        out += field.value(event) != 0 ? "true" : "false";
        break;
      case FieldType::kFile:
        AppendSlot(out, file);
        break;
      case FieldType::kLine:
        if (file < 0)
          out += "null";
        else
          AppendInt(out, source.line);
        break;
      case FieldType::kCallee:
        if (source.callee == nullptr)
          out += "null";
        else
          AppendString(out, source.callee);
        break;
    }
  }
  out += ']';
}

// `,"pattern":…,"size":…,"seed":…,"comparator":…`: what names an input, as the
// counts document and the WebAssembly module's recording header give it.
inline void AppendInputFields(std::string& out, const Input& input) {
  out += ",\"pattern\":";
  AppendString(out, input.pattern.c_str());
  out += ",\"size\":";
  AppendInt(out, static_cast<long long>(input.values.size()));
  out += ",\"seed\":";
  if (input.has_seed)
    AppendInt(out, input.seed);
  else
    out += "null";
  out += input.descending ? ",\"comparator\":\"descending\"" : ",\"comparator\":\"ascending\"";
}

// One trace. Its "files" come last but for its events, and it carries nothing
// that depends on the moves of the standard library's algorithms but its
// events and counts (the stability verdict is in the counts document), so that
// traces recorded on libstdc++ and libc++ differ in those alone.
inline void AppendTrace(std::string& out, const Input& input, const Trace& trace) {
  out += "{\"algorithm\":";
  AppendString(out, trace.algorithm);
  AppendInputFields(out, input);
  out += ",\"input\":";
  AppendValues(out, trace.input);
  out += ",\"output\":";
  AppendValues(out, trace.output);
  out += ",\"comparisons\":";
  AppendInt(out, trace.comparisons);
  out += ",\"equalities\":";
  AppendInt(out, trace.equalities);
  out += ",\"writes\":";
  AppendInt(out, trace.writes);
  out += ",\"rule\":";
  AppendString(out, trace.comparator.c_str());
  out += ",\"outcome\":";
  AppendString(out, trace.outcome.ended);
  out += trace.outcome.kept ? ",\"kept\":true" : ",\"kept\":false";
  const FileList files(trace.events.sites, trace.events.ranges);
  out += ",\"ranges\":[";
  for (const RangeEntry& range : trace.events.ranges) {
    if (&range != &trace.events.ranges.front())
      out += ',';
    const RangeRow row = RangeRowOf(range, files);
    out += '[';
    for (std::size_t k = 0; k < row.size(); ++k) {
      if (k != 0)
        out += ',';
      // A budget, file or line that is not there is null; the rest are numbers.
      if (row[k] < 0)
        out += "null";
      else
        AppendInt(out, row[k]);
    }
    out += ']';
  }
  out += ']';
  out += ",\"files\":[";
  for (const std::string& path : files.paths()) {
    if (&path != &files.paths().front())
      out += ',';
    AppendString(out, path.c_str());
  }
  out += "],\"events\":[";
  std::size_t k = 0;
  for (EventReader reader(trace.input, trace.events); !reader.Done(); ++k) {
    if (k != 0)
      out += ',';
    const int site = static_cast<int>(HeadValue(trace.events.head[k], kHeadSite));
    AppendEvent(out, reader.Next(), files.FileOfSite(static_cast<std::size_t>(site)));
  }
  out += "]}";
}

// The whole document: the traces of every recording, each recording's in the table's order.
inline std::string TraceDocument(const std::vector<Recording>& recordings) {
  std::string out = "{\"format\":\"sorting-trace\",\"version\":2,\"traces\":[";
  bool first = true;
  for (const Recording& recording : recordings) {
    for (const Trace& trace : recording.traces) {
      if (!first)
        out += ',';
      first = false;
      AppendTrace(out, recording.input, trace);
    }
  }
  out += "]}";
  return out;
}

// `,"comparisons":…,"equalities":…,"writes":…,"reordered_equal_pairs":…` of a trace.
inline void AppendCounts(std::string& out, const Trace& trace) {
  const std::pair<const char*, long long> counts[] = {
      {"comparisons", trace.comparisons},
      {"equalities", trace.equalities},
      {"writes", trace.writes},
      {"reordered_equal_pairs", trace.reordered_equal_pairs}};
  for (const auto& [key, count] : counts) {
    out += ",\"";
    out += key;
    out += "\":";
    AppendInt(out, count);
  }
}

// The counts of every sort on one input, without events: what a cost curve
// needs. `recording` may come from RecordAll with or without its events.
inline std::string CountsDocument(const Recording& recording) {
  std::string out = "{\"format\":\"sorting-counts\",\"version\":1";
  AppendInputFields(out, recording.input);
  out += ",\"sorts\":[";
  for (const Trace& trace : recording.traces) {
    if (&trace != &recording.traces.front())
      out += ',';
    out += "{\"name\":";
    AppendString(out, trace.algorithm);
    AppendCounts(out, trace);
    out += '}';
  }
  out += "]}";
  return out;
}

// A {"name":value,...} object of numbers.
inline void AppendNumbers(std::string& out,
                          std::initializer_list<std::pair<const char*, long long>> numbers) {
  out += '{';
  for (const auto& [name, value] : numbers) {
    if (name != numbers.begin()->first)
      out += ',';
    AppendString(out, name);
    out += ':';
    AppendInt(out, value);
  }
  out += '}';
}

// A {"key":"text",...} object of strings.
inline void AppendStrings(std::string& out,
                          std::initializer_list<std::pair<const char*, const char*>> fields) {
  out += '{';
  for (const auto& [key, text] : fields) {
    if (key != fields.begin()->first)
      out += ',';
    AppendString(out, key);
    out += ':';
    AppendString(out, text);
  }
  out += '}';
}

inline void AppendNameOrNull(std::string& out, const char* name) {
  if (name == nullptr)
    out += "null";
  else
    AppendString(out, name);
}

// The description of show/trace_format.h, for readers that take every field by
// its name: "limits", "defaults", "events" (each kind, its JSON fields in
// order and the field each binary column holds for it) and "binary" (the
// columns' types and the bit fields of `head`).
inline void AppendTraceFormat(std::string& out) {
  out += "\"limits\":";
  AppendNumbers(out, {{"max_values", static_cast<long long>(kMaxValues)},
                      {"max_count_values", static_cast<long long>(kMaxCountValues)},
                      {"pattern_name_bytes", static_cast<long long>(kPatternNameBytes)},
                      {"count_budget", kCountBudget},
                      {"call_budget_per_square", kCallBudgetPerSquare},
                      {"call_budget_base", kCallBudgetBase}});
  out += ",\"defaults\":";
  AppendNumbers(out, {{"size", static_cast<long long>(kDefaultSize)}, {"seed", kDefaultSeed}});
  out += ",\"events\":[";
  for (const EventKindEntry& kind : kEventKinds) {
    if (&kind != kEventKinds)
      out += ',';
    out += "{\"kind\":";
    AppendString(out, kind.name);
    out += ",\"tag\":";
    AppendString(out, kind.tag);
    out += ",\"counts\":";
    AppendString(out, kind.counts);
    out += ",\"fields\":[";
    for (std::size_t k = 0; k < kind.field_count; ++k) {
      if (k != 0)
        out += ',';
      AppendString(out, kind.fields[k].name);
    }
    out += "],\"columns\":{";
    const std::pair<const char*, const char*> columns[] = {{"first", kind.first},
                                                           {"second", kind.second},
                                                           {"answer", kind.answer},
                                                           {"extra", kind.extra}};
    for (const auto& [column, field] : columns) {
      if (column != columns[0].first)
        out += ',';
      AppendString(out, column);
      out += ':';
      AppendNameOrNull(out, field);
    }
    out += "}}";
  }
  out += "],\"binary\":{\"columns\":{";
  for (const ColumnType& column : kColumnTypes) {
    if (&column != kColumnTypes)
      out += ',';
    AppendString(out, column.column);
    out += ':';
    AppendString(out, column.type);
  }
  out += "},\"head\":{";
  for (const HeadField& field : {kHeadKind, kHeadAnswer, kHeadSite}) {
    if (field.shift != 0)
      out += ',';
    AppendString(out, field.name);
    out += ":[";
    AppendInt(out, field.shift);
    out += ',';
    AppendInt(out, field.bits);
    out += ']';
  }
  out += "},\"held\":";
  AppendInt(out, kHeld);
  out += ",\"range_fields\":[";
  for (const char* field : kRangeFields) {
    if (field != kRangeFields[0])
      out += ',';
    AppendString(out, field);
  }
  out += "],\"held_fields\":[";
  for (const char* field : kHeldFields) {
    if (field != kHeldFields[0])
      out += ',';
    AppendString(out, field);
  }
  out += "]}";
}

// What the page and other readers need to know of the sorts and the input
// patterns, from their two tables, in the tables' order.
inline std::string CatalogDocument() {
  std::string out = "{\"format\":\"sorting-catalog\",\"version\":2,";
  AppendTraceFormat(out);
  out += ",\"comparators\":[";
  for (const RuleEntry& rule : kRules) {
    if (&rule != kRules)
      out += ',';
    out += "{\"name\":";
    AppendString(out, rule.name);
    out += ",\"description\":";
    AppendString(out, rule.description);
    // What the rule's name takes after a colon ("throw-at:K"), null for most.
    out += rule.rule == Rule::kThrowAt ? ",\"takes\":\"K\"}" : ",\"takes\":null}";
  }
  out += "],\"variants\":[";
  for (const auto& variant : sorting_variants::kVariants<Tracked, RecordingComparator>) {
    if (&variant != sorting_variants::kVariants<Tracked, RecordingComparator>)
      out += ',';
    AppendStrings(
        out,
        {{"sort", variant.sort}, {"name", variant.name}, {"description", variant.description}});
  }
  out += "],\"sorts\":[";
  for (const SortEntry& entry : kTrackedSorts) {
    if (&entry != kTrackedSorts)
      out += ',';
    out += "{\"name\":";
    AppendString(out, entry.name);
    out += entry.stable ? ",\"stable\":true" : ",\"stable\":false";
    const std::pair<const char*, const char*> facts[] = {{"calls", entry.calls},
                                                         {"best", entry.best},
                                                         {"average", entry.average},
                                                         {"worst", entry.worst},
                                                         {"memory", entry.memory}};
    for (const auto& [key, value] : facts) {
      out += ",\"";
      out += key;
      out += "\":";
      AppendString(out, value);
    }
    out += ",\"quadratic_on\":";
    AppendWords(out, entry.quadratic_on);
    out += '}';
  }
  out += "],\"patterns\":[";
  for (const sorting_patterns::PatternEntry& pattern : sorting_patterns::kPatterns) {
    if (&pattern != sorting_patterns::kPatterns)
      out += ',';
    AppendStrings(out, {{"name", pattern.name}, {"description", pattern.description}});
  }
  out += "]}";
  return out;
}

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_JSON_H
