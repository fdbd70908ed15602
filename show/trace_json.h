#ifndef SORTING_SHOW_TRACE_JSON_H
#define SORTING_SHOW_TRACE_JSON_H

// Writes recordings as a "sorting-trace" JSON document, version 2, and the
// catalogue of the sorts and the input patterns as a "sorting-catalog"
// document, each on one line. The native program and the WebAssembly module
// both write through this code, so the two give byte-identical text. Neither
// text ever contains "</" (strings escape '<'), so each can stand inside an HTML
// script element as it is.

#include <cstdint>
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

// A comparison: ["c", i, j, result, a, b, from_i, from_j]; a write:
// ["w", slot, old, new]; an equality test: ["e", i, j, equal, a, b].
inline void AppendEvent(std::string& out, const Event& event) {
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
    out += ']';
  } else if (const Write* write = std::get_if<Write>(&event)) {
    out += "[\"w\",";
    AppendInt(out, write->slot);
    out += ',';
    AppendInt(out, write->old_value);
    out += ',';
    AppendInt(out, write->new_value);
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
    out += ']';
  }
}

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
  out += ",\"events\":[";
  for (std::size_t k = 0; k < trace.events.size(); ++k) {
    if (k != 0)
      out += ',';
    AppendEvent(out, trace.events[k]);
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
