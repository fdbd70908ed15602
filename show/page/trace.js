"use strict";

// Reading sorting-trace documents (sort_show --json, the module's JSON) into typed arrays. The
// page reads embedded traces with it and the worker the ones it records, from this same text.

// Events are packed eleven numbers each: the kind, then for a comparison i, j, result, a, b,
// from_i, from_j; for an equality test i, j, equal, a, b, i, j; for a write slot, old, new,
// old_id, new_id; then for every kind the library line that made it: the index of its file in
// the trace's files, the line, and the index of the standard algorithm it happened inside in
// the packed trace's callees. A slot that is no slot, or a place not known, is -1. The worker
// and the page both pack with packTrace.
const STRIDE = 11;
const FILE_AT = 8;
const LINE_AT = 9;
const CALLEE_AT = 10;
// Where each kind of event keeps its file, line and standard algorithm in the trace format.
const PLACE_FIELDS = [
  [8, 9, 12],
  [4, 5, 8],
  [6, 7, -1],
]; // COMPARE, WRITE, EQUAL
const COMPARE = 0;
const WRITE = 1;
const EQUAL = 2;
// Seeking copies the nearest earlier snapshot and replays at most this many events, so the
// scrubber stays quick on runs of hundreds of thousands of events.
const CHECKPOINT_EVERY = 1024;

// A trace of the sorting-trace format (version 1 or 2) as typed arrays: the events packed,
// running counts of each kind, and snapshots of the values every CHECKPOINT_EVERY events.
// readEvents(visit, strings) calls visit(kind, fields) for each of the `length` events in
// order, fields[k] being the event's field k as a number: null and a missing field -1, true
// and false 1 and 0, a string its index in `strings` (added there when new); by default it
// reads trace.events.
function packTrace(trace, length = trace.events.length, readEvents = listedEvents(trace.events)) {
  const n = trace.input.length;
  const events = new Int32Array(length * STRIDE);
  const comparisonsBefore = new Int32Array(length + 1);
  const equalitiesBefore = new Int32Array(length + 1);
  const values = Int32Array.from(trace.input);
  const checkpoints = new Int32Array((Math.floor(length / CHECKPOINT_EVERY) + 1) * n);
  checkpoints.set(values, 0);
  // Each slot's identity (the slot its value stood in before the sort), carried by the writes.
  const ids = Int32Array.from(trace.input, (_, k) => k);
  const idCheckpoints = new Int32Array(checkpoints.length);
  idCheckpoints.set(ids, 0);
  let identified = true; // false for traces that carry no identities (version 1)
  let consistent = true;
  let comparisons = 0;
  let equalities = 0;
  let k = 0;
  const callees = [];
  readEvents((kind, fields) => {
    if (k === length) {
      consistent = false;
      return;
    }
    const at = k * STRIDE;
    const [f1, f2, f3, f4, f5, f6, f7] = fields.slice(1, 8);
    events[at] = kind;
    events[at + 1] = f1;
    events[at + 2] = f2;
    events[at + 3] = f3;
    const place = PLACE_FIELDS[kind];
    events[at + FILE_AT] = fields[place[0]];
    events[at + LINE_AT] = fields[place[1]];
    events[at + CALLEE_AT] = place[2] < 0 ? -1 : fields[place[2]];
    if (kind === WRITE) {
      if (values[f1] !== f2) consistent = false;
      values[f1] = f3;
      events[at + 4] = fields[6];
      events[at + 5] = fields[7];
      if (fields[7] < 0) identified = false;
      else ids[f1] = fields[7];
    } else {
      events[at + 4] = f4;
      events[at + 5] = f5;
      // An equality test is always between two slots: its values came from where they stand.
      events[at + 6] = kind === EQUAL ? f1 : f6;
      events[at + 7] = kind === EQUAL ? f2 : f7;
      if (kind === EQUAL) ++equalities;
      else ++comparisons;
    }
    ++k;
    comparisonsBefore[k] = comparisons;
    equalitiesBefore[k] = equalities;
    if (k % CHECKPOINT_EVERY === 0) {
      checkpoints.set(values, (k / CHECKPOINT_EVERY) * n);
      idCheckpoints.set(ids, (k / CHECKPOINT_EVERY) * n);
    }
  }, callees);
  if (k !== length) consistent = false;
  for (let i = 0; i < n; ++i) if (values[i] !== trace.output[i]) consistent = false;
  // Pairs of equal values whose identities end in the opposite order: 0 for a stable sort.
  let reorderedPairs = identified ? 0 : -1;
  for (let p = 0; identified && p < n; ++p) {
    for (let q = p + 1; q < n; ++q)
      if (values[p] === values[q] && ids[p] > ids[q]) ++reorderedPairs;
  }
  return {
    algorithm: trace.algorithm,
    pattern: trace.pattern,
    size: trace.size,
    seed: trace.seed,
    comparator: trace.comparator,
    input: Int32Array.from(trace.input),
    output: Int32Array.from(trace.output),
    comparisons: trace.comparisons,
    equalities: trace.equalities || 0,
    writes: trace.writes,
    files: trace.files || [],
    callees,
    length,
    events,
    comparisonsBefore,
    equalitiesBefore,
    checkpoints,
    idCheckpoints,
    reorderedPairs,
    consistent,
  };
}

// The index of `text` in `strings`, which it joins if new.
function stringIndex(strings, text) {
  const found = strings.indexOf(text);
  return found >= 0 ? found : strings.push(text) - 1;
}

function listedEvents(list) {
  return (visit, strings) => {
    const fields = new Array(16);
    for (const event of list) {
      fields.fill(-1);
      event.forEach((field, k) => {
        fields[k] =
          field === null
            ? -1
            : field === true
              ? 1
              : field === false
                ? 0
                : typeof field === "string"
                  ? stringIndex(strings, field)
                  : field;
      });
      visit(event[0] === "w" ? WRITE : event[0] === "e" ? EQUAL : COMPARE, fields);
    }
  };
}

// A sorting-trace document's text, packed without building an array per event: the lists of
// events are cut out and read straight from the bytes, and JSON.parse reads the rest. For
// 512 values that is several times quicker than JSON.parse of the whole, and far less memory.
function packDocument(bytes) {
  const decoder = new TextDecoder();
  const marker = Array.from('"events":[', (c) => c.charCodeAt(0));
  const found = (at) => marker.every((code, k) => bytes[at + k] === code);
  const rest = [];
  const lists = [];
  let from = 0;
  for (let at = 0; at + marker.length <= bytes.length; ++at) {
    if (!found(at)) continue;
    const open = at + marker.length - 1;
    let depth = 0;
    let count = 0;
    let end = open;
    for (; end < bytes.length; ++end) {
      if (bytes[end] === 34)
        end = stringEnd(bytes, end); // a string may hold a bracket
      else if (bytes[end] === 91 && ++depth === 2)
        ++count; // [
      else if (bytes[end] === 93 && --depth === 0) break; // ]
    }
    rest.push(decoder.decode(bytes.subarray(from, open)), "[]");
    lists.push({ open, end, count });
    from = end + 1;
    at = end;
  }
  rest.push(decoder.decode(bytes.subarray(from)));
  const doc = JSON.parse(rest.join(""));
  return doc.traces.map((trace, k) =>
    packTrace(trace, lists[k].count, scannedEvents(bytes, lists[k])),
  );
}

// The position of the quote that closes the JSON string opened at `at`.
function stringEnd(bytes, at) {
  let p = at + 1;
  while (p < bytes.length && bytes[p] !== 34) p += bytes[p] === 92 ? 2 : 1; // \ escapes the next
  return p;
}

// The events of one list in the bytes of a document: ["c",0,null,false,3,2,0,2,0,25,...],
// ["w",1,5,3,0,31,...],...
function scannedEvents(bytes, { open, end }) {
  const decoder = new TextDecoder();
  return (visit, strings) => {
    const fields = new Array(16);
    let p = open + 1;
    while (p < end) {
      if (bytes[p] !== 91) {
        // between events: a comma or a blank
        ++p;
        continue;
      }
      const kind = bytes[p + 2] === 119 ? WRITE : bytes[p + 2] === 101 ? EQUAL : COMPARE; // "w", "e"
      p += 4;
      let field = 0;
      fields.fill(-1);
      while (p < end && bytes[p] !== 93) {
        const b = bytes[p];
        if (b === 110 || b === 116) {
          // null, true
          fields[++field] = b === 110 ? -1 : 1;
          p += 4;
        } else if (b === 102) {
          // false
          fields[++field] = 0;
          p += 5;
        } else if (b === 34) {
          // a string: the names in it are plain, with no escapes
          const close = stringEnd(bytes, p);
          fields[++field] = stringIndex(strings, decoder.decode(bytes.subarray(p + 1, close)));
          p = close + 1;
        } else if (b === 45 || (b >= 48 && b <= 57)) {
          const negative = b === 45;
          if (negative) ++p;
          let value = 0;
          while (bytes[p] >= 48 && bytes[p] <= 57) value = value * 10 + bytes[p++] - 48;
          fields[++field] = negative ? -value : value;
        } else {
          ++p; // a comma or a blank
        }
      }
      ++p;
      visit(kind, fields);
    }
  };
}

function packedBuffers(packed) {
  return [
    packed.input,
    packed.output,
    packed.events,
    packed.comparisonsBefore,
    packed.equalitiesBefore,
    packed.checkpoints,
    packed.idCheckpoints,
  ].map((array) => array.buffer);
}
