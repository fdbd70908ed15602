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
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "show/trace_recorder.h"

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

// The files a trace's events name, sorted, and each event's index into them.
class FileList {
 public:
  explicit FileList(const std::vector<Event>& events) {
    for (const Event& event : events) {
      const char* file = SourceOf(event).file;
      if (file != nullptr && file != last_file_) {
        last_file_ = file;
        const std::string path = LibraryPath(file);
        if (std::find(paths_.begin(), paths_.end(), path) == paths_.end())
          paths_.push_back(path);
      }
    }
    std::sort(paths_.begin(), paths_.end());
    last_file_ = nullptr;
  }

  const std::vector<std::string>& paths() const { return paths_; }

  // The index of `file` in paths(), or -1 for a null file. Consecutive events
  // mostly name the same file, so the last answer is kept.
  int IndexOf(const char* file) {
    if (file == nullptr)
      return -1;
    if (file != last_file_ && (last_file_ == nullptr || std::strcmp(file, last_file_) != 0)) {
      const std::string path = LibraryPath(file);
      last_file_ = file;
      last_index_ =
          static_cast<int>(std::find(paths_.begin(), paths_.end(), path) - paths_.begin());
    }
    return last_index_;
  }

  static const SourceLine& SourceOf(const Event& event) {
    if (const Comparison* comparison = std::get_if<Comparison>(&event))
      return comparison->source;
    if (const Write* write = std::get_if<Write>(&event))
      return write->source;
    static const SourceLine kUnknown;
    const EqualityTest* test = std::get_if<EqualityTest>(&event);
    return test != nullptr ? test->source : kUnknown;
  }

 private:
  std::vector<std::string> paths_;
  const char* last_file_ = nullptr;
  int last_index_ = -1;
};

// The file index and the line of an event, null and null where none is known.
inline void AppendSource(std::string& out, const SourceLine& source, FileList& files) {
  const int index = files.IndexOf(source.file);
  out += ',';
  AppendSlot(out, index < 0 ? kNoSlot : index);
  out += ',';
  if (index < 0)
    out += "null";
  else
    AppendInt(out, source.line);
}

inline void AppendCallee(std::string& out, const char* callee) {
  out += ',';
  if (callee == nullptr)
    out += "null";
  else
    AppendString(out, callee);
}

// A comparison: ["c", i, j, result, a, b, from_i, from_j, file, line, id_i,
// id_j, callee]; a write: ["w", slot, old, new, file, line, old_id, new_id,
// callee]; an equality test: ["e", i, j, equal, a, b, file, line, id_i, id_j].
// `file` indexes the trace's "files"; an identity is the slot the value
// started in; `callee` names the standard algorithm the event happened in.
inline void AppendEvent(std::string& out, const Event& event, FileList& files) {
  if (const Comparison* comparison = std::get_if<Comparison>(&event)) {
    out += "[\"c\",";
    AppendSlot(out, comparison->first.slot);
    out += ',';
    AppendSlot(out, comparison->second.slot);
    out += comparison->result ? ",true," : ",false,";
    AppendInt(out, comparison->first.value);
    out += ',';
    AppendInt(out, comparison->second.value);
    out += ',';
    AppendSlot(out, comparison->first.from);
    out += ',';
    AppendSlot(out, comparison->second.from);
    AppendSource(out, comparison->source, files);
    out += ',';
    AppendSlot(out, comparison->first.identity);
    out += ',';
    AppendSlot(out, comparison->second.identity);
    AppendCallee(out, comparison->source.callee);
    out += ']';
  } else if (const Write* write = std::get_if<Write>(&event)) {
    out += "[\"w\",";
    AppendInt(out, write->slot);
    out += ',';
    AppendInt(out, write->old_value);
    out += ',';
    AppendInt(out, write->new_value);
    AppendSource(out, write->source, files);
    out += ',';
    AppendSlot(out, write->old_identity);
    out += ',';
    AppendSlot(out, write->new_identity);
    AppendCallee(out, write->source.callee);
    out += ']';
  } else if (const EqualityTest* test = std::get_if<EqualityTest>(&event)) {
    out += "[\"e\",";
    AppendSlot(out, test->first_slot);
    out += ',';
    AppendSlot(out, test->second_slot);
    out += test->equal ? ",true," : ",false,";
    AppendInt(out, test->first_value);
    out += ',';
    AppendInt(out, test->second_value);
    AppendSource(out, test->source, files);
    out += ',';
    AppendSlot(out, test->first_identity);
    out += ',';
    AppendSlot(out, test->second_identity);
    out += ']';
  }
}

// One trace. Its "files" come last but for its events, and it carries nothing
// that depends on the moves of the standard library's algorithms but its
// events and counts (the stability verdict is in the counts document), so that
// traces recorded on libstdc++ and libc++ differ in those alone.
inline void AppendTrace(std::string& out, const Input& input, const Trace& trace) {
  out += "{\"algorithm\":\"";
  out += trace.algorithm;
  out += "\",\"pattern\":\"";
  out += input.pattern;
  out += "\",\"size\":";
  AppendInt(out, static_cast<long long>(input.values.size()));
  out += ",\"seed\":";
  if (input.has_seed)
    AppendInt(out, input.seed);
  else
    out += "null";
  out += ",\"comparator\":\"";
  out += input.descending ? "descending" : "ascending";
  out += "\",\"input\":";
  AppendValues(out, input.values);
  out += ",\"output\":";
  AppendValues(out, trace.output);
  out += ",\"comparisons\":";
  AppendInt(out, trace.comparisons);
  out += ",\"equalities\":";
  AppendInt(out, trace.equalities);
  out += ",\"writes\":";
  AppendInt(out, trace.writes);
  FileList files(trace.events);
  out += ",\"files\":[";
  for (const std::string& path : files.paths()) {
    if (&path != &files.paths().front())
      out += ',';
    AppendString(out, path.c_str());
  }
  out += "],\"events\":[";
  for (std::size_t k = 0; k < trace.events.size(); ++k) {
    if (k != 0)
      out += ',';
    AppendEvent(out, trace.events[k], files);
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

// The counts of every sort on one input, without events: what a cost curve
// needs. `recording` may come from RecordAll with or without its events.
inline std::string CountsDocument(const Recording& recording) {
  std::string out = "{\"format\":\"sorting-counts\",\"version\":1,\"pattern\":";
  AppendString(out, recording.input.pattern.c_str());
  out += ",\"size\":";
  AppendInt(out, static_cast<long long>(recording.input.values.size()));
  out += ",\"seed\":";
  if (recording.input.has_seed)
    AppendInt(out, recording.input.seed);
  else
    out += "null";
  out += recording.input.descending ? ",\"comparator\":\"descending\""
                                    : ",\"comparator\":\"ascending\"";
  out += ",\"sorts\":[";
  for (const Trace& trace : recording.traces) {
    if (&trace != &recording.traces.front())
      out += ',';
    out += "{\"name\":";
    AppendString(out, trace.algorithm);
    const std::pair<const char*, long> counts[] = {
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
    out += '}';
  }
  out += "]}";
  return out;
}

// What the page and other readers need to know of the sorts and the input
// patterns, from their two tables, in the tables' order.
inline std::string CatalogDocument() {
  std::string out = "{\"format\":\"sorting-catalog\",\"version\":1,\"max_values\":";
  AppendInt(out, static_cast<long long>(kMaxValues));
  out += ",\"sorts\":[";
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
    out += "{\"name\":";
    AppendString(out, pattern.name);
    out += ",\"description\":";
    AppendString(out, pattern.description);
    out += '}';
  }
  out += "]}";
  return out;
}

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_JSON_H
