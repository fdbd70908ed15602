#ifndef SORTING_SHOW_TRACE_JSON_H
#define SORTING_SHOW_TRACE_JSON_H

// Writes recordings as a "sorting-trace" JSON document, version 1, on one line.
// The native program and the WebAssembly module both write through this code,
// so the two give byte-identical text for the same input. The text holds only
// numbers, fixed names and punctuation, so it never contains "</" and can stand
// inside an HTML script element as it is.

#include <cstdint>
#include <string>
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
// ["w", slot, old, new].
inline void AppendEvent(std::string& out, const Event& event) {
  if (event.comparison) {
    out += "[\"c\",";
    AppendSlot(out, event.i);
    out += ',';
    AppendSlot(out, event.j);
    out += event.result ? ",true," : ",false,";
    AppendInt(out, event.a);
    out += ',';
    AppendInt(out, event.b);
    out += ',';
    AppendSlot(out, event.from_i);
    out += ',';
    AppendSlot(out, event.from_j);
    out += ']';
  } else {
    out += "[\"w\",";
    AppendInt(out, event.i);
    out += ',';
    AppendInt(out, event.a);
    out += ',';
    AppendInt(out, event.b);
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

// The whole document: the traces of every recording, each recording's five in order.
inline std::string TraceDocument(const std::vector<Recording>& recordings) {
  std::string out = "{\"format\":\"sorting-trace\",\"version\":1,\"traces\":[";
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

}  // namespace sorting_show

#endif  // SORTING_SHOW_TRACE_JSON_H
