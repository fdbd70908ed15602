"use strict";

// Traces as the page holds them: the recorder's binary event columns, as the
// catalogue describes them ("events" and "binary"), taken from the WebAssembly
// module's memory (or made from JSON by trace_json.js); a cursor that replays
// them; and checkpoints for seeking. Every field is read by its name from the
// catalogue; no position of a field is written here. The worker runs this file too.
//
// A packed trace: { algorithm, pattern, size, seed, comparator, input, output,
// outputIds, comparisons, equalities, writes, reorderedPairs, files, sites,
// head, first, second, extra, held, length, identified, checkpoints, consistent }.

// The catalogue's description of the trace format, ready for reading events.
function traceFormat(catalog) {
  const kinds = {};
  catalog.events.forEach((entry, code) => {
    // The column that holds each field of this kind, e.g. a write's slot: "first".
    const columnOf = {};
    for (const [column, field] of Object.entries(entry.columns))
      if (field) columnOf[field] = column;
    kinds[entry.kind] = {
      name: entry.kind,
      code,
      tag: entry.tag,
      counts: entry.counts,
      fields: entry.fields,
      columns: entry.columns,
      columnOf,
    };
  });
  const bits = ([shift, count]) => ({ shift, mask: (1 << count) - 1 });
  const heldAt = {};
  catalog.binary.held_fields.forEach((name, k) => (heldAt[name] = k));
  return {
    kinds,
    byCode: Object.values(kinds).sort((x, y) => x.code - y.code),
    byTag: Object.fromEntries(Object.values(kinds).map((kind) => [kind.tag, kind])),
    head: {
      kind: bits(catalog.binary.head.kind),
      answer: bits(catalog.binary.head.answer),
      site: bits(catalog.binary.head.site),
    },
    none: catalog.binary.held,
    heldAt,
    heldStride: catalog.binary.held_fields.length,
    // The fields of a range, by name, and how many 32-bit entries one takes.
    rangeAt: Object.fromEntries(catalog.binary.range_fields.map((name, k) => [name, k])),
    rangeStride: catalog.binary.range_fields.length,
    columnTypes: catalog.binary.columns,
    limits: catalog.limits,
    defaults: catalog.defaults,
  };
}

const TYPED_ARRAYS = { uint8: Uint8Array, uint16: Uint16Array, int32: Int32Array };

// Replays a packed trace one event at a time from its input, forwards, and says
// what the event it applied last was. Seeking goes through the checkpoints, so
// that any tick is a few thousand events away at most.
class TraceCursor {
  constructor(format, trace) {
    this.format = format;
    this.trace = trace;
    const write = format.kinds.write.columnOf;
    this.writeSlot = trace[write.slot];
    this.writeId = trace[write.new_id];
    this.writeValue = trace[write.new];
    this.WRITE = format.kinds.write.code;
    // Which of the counts each kind of event adds to, by its code.
    this.counts = format.byCode.map((kind) => kind.counts);
    this.values = Int32Array.from(trace.input);
    this.ids = Int32Array.from(trace.input, (_, k) => k);
    this.position = 0; // events applied
    this.comparisons = 0;
    this.equalities = 0;
    this.extraAt = 0; // entries of `extra` used
    this.old = 0; // the value and identity the last write replaced
    this.oldId = 0;
  }

  get writes() {
    return this.position - this.comparisons - this.equalities;
  }

  kindOf(k) {
    const { shift, mask } = this.format.head.kind;
    return (this.trace.head[k] >> shift) & mask;
  }

  // Event k's entry in the trace's sites, [file, line, callee], or undefined for none.
  siteOf(k) {
    const { shift, mask } = this.format.head.site;
    return this.trace.sites[(this.trace.head[k] >> shift) & mask];
  }

  forward() {
    const k = this.position++;
    const kind = this.kindOf(k);
    const none = this.format.none;
    if (kind === this.WRITE) {
      const slot = this.writeSlot[k];
      this.old = this.values[slot];
      this.oldId = this.ids[slot];
      this.values[slot] = this.writeValue[this.extraAt++];
      this.ids[slot] = this.writeId[k] === none ? -1 : this.writeId[k];
      return;
    }
    if (this.counts[kind] === "comparisons") ++this.comparisons;
    else ++this.equalities;
    if (this.trace.first[k] === none || this.trace.second[k] === none) ++this.extraAt;
  }

  // Stands on `target` events applied, from the checkpoint before it.
  seek(target) {
    const trace = this.trace;
    target = Math.max(0, Math.min(trace.length, target));
    const { every, values, ids, counts } = trace.checkpoints;
    // The last event applied is always replayed, so that a write knows what it replaced.
    if (target <= this.position - 1 || target - this.position > every) {
      const c = Math.floor(Math.max(0, target - 1) / every);
      const n = this.values.length;
      this.values.set(values.subarray(c * n, (c + 1) * n));
      this.ids.set(ids.subarray(c * n, (c + 1) * n));
      [this.comparisons, this.equalities, this.extraAt] = counts.subarray(c * 3, c * 3 + 3);
      this.position = c * every;
    }
    while (this.position < target) this.forward();
  }

  // The event applied last: `kind`, its kind as traceFormat describes it, and `fields`, an
  // object of its kind's JSON fields (file the index of its file in the trace's files): what
  // the status narrates and the JSON writes. Null before the first event. The object is
  // reused by the next call.
  lastEvent() {
    if (this.position === 0) return null;
    const k = this.position - 1;
    const { trace, format } = this;
    const kind = format.byCode[this.kindOf(k)];
    const site = this.siteOf(k);
    const fields = (this.fields ||= Object.fromEntries(EVENT_FIELDS.map((name) => [name, null])));
    fields.file = site ? site[0] : null;
    fields.line = site ? site[1] : null;
    fields.callee = site ? site[2] : null;
    if (kind.code === this.WRITE) {
      const slot = this.writeSlot[k];
      fields.slot = slot;
      fields.old = this.old;
      fields.new = this.values[slot];
      fields.old_id = idOrNull(this.oldId);
      fields.new_id = idOrNull(this.ids[slot]);
      return { kind, fields };
    }
    const none = format.none;
    let held =
      trace.first[k] === none || trace.second[k] === none
        ? trace.extra[this.extraAt - 1] * format.heldStride
        : -1;
    // Each operand: its slot, value, origin and identity, from the replay or `held`.
    const operand = (slot, names) => {
      if (slot !== none) {
        fields[names[0]] = slot;
        fields[names[1]] = this.values[slot];
        fields[names[2]] = slot;
        fields[names[3]] = this.ids[slot];
        return;
      }
      const at = held;
      held += format.heldStride;
      fields[names[0]] = null;
      fields[names[1]] = trace.held[at + format.heldAt.value];
      fields[names[2]] = idOrNull(trace.held[at + format.heldAt.from]);
      fields[names[3]] = idOrNull(trace.held[at + format.heldAt.identity]);
    };
    operand(trace.first[k], OPERAND_I);
    operand(trace.second[k], OPERAND_J);
    const answerBits = format.head.answer;
    if (kind.columns.answer) {
      fields[kind.columns.answer] = ((trace.head[k] >> answerBits.shift) & answerBits.mask) === 1;
    }
    return { kind, fields };
  }
}

// Every field name any kind of event has, so that lastEvent's object keeps one shape.
const EVENT_FIELDS = [
  "i",
  "j",
  "a",
  "b",
  "from_i",
  "from_j",
  "id_i",
  "id_j",
  "result",
  "equal",
  "slot",
  "old",
  "new",
  "old_id",
  "new_id",
  "file",
  "line",
  "callee",
];
// The JSON fields of a comparison's or an equality test's two operands.
const OPERAND_I = ["i", "a", "from_i", "id_i"];
const OPERAND_J = ["j", "b", "from_j", "id_j"];

function idOrNull(id) {
  return id < 0 ? null : id;
}

// Snapshots of the replay every `every` events (at least every 1024, and every 16 n
// for n values, so that they hold about two bytes an event), the counts there, and
// whether the trace replays to its recorded output and identities.
function addCheckpoints(format, trace) {
  const n = trace.input.length;
  const every = Math.max(1024, 16 * n);
  const count = Math.floor(trace.length / every) + 1;
  const checkpoints = {
    every,
    values: new Int32Array(count * n),
    ids: new Int32Array(count * n),
    counts: new Int32Array(count * 3),
  };
  trace.checkpoints = checkpoints;
  const cursor = new TraceCursor(format, trace);
  for (let c = 0; c < count; ++c) {
    while (cursor.position < c * every) cursor.forward();
    checkpoints.values.set(cursor.values, c * n);
    checkpoints.ids.set(cursor.ids, c * n);
    checkpoints.counts.set([cursor.comparisons, cursor.equalities, cursor.extraAt], c * 3);
  }
  while (cursor.position < trace.length) cursor.forward();
  // A trace read from JSON learns its output's identities from the replay.
  if (!trace.outputIds) trace.outputIds = Int32Array.from(cursor.ids);
  trace.consistent =
    cursor.values.every((value, k) => value === trace.output[k]) &&
    cursor.comparisons === trace.comparisons &&
    cursor.equalities === trace.equalities &&
    cursor.writes === trace.writes &&
    (!trace.identified || cursor.ids.every((id, k) => id === trace.outputIds[k]));
  return trace;
}

// A recording the module left in its memory: its header (a sorting-recording
// document) and copies of the arrays it points at, in their own buffers so that
// they can be transferred. The traces get their checkpoints.
function recordingFromModule(format, header, buffer) {
  const copy = (Type, [address, count], width = 1) =>
    new Type(buffer, address, count * width).slice();

  const traces = header.traces.map((entry) => {
    const trace = {
      algorithm: entry.algorithm,
      pattern: header.pattern,
      size: header.size,
      seed: header.seed,
      comparator: header.comparator,
      input: copy(Int32Array, entry.input),
      output: copy(Int32Array, entry.output),
      outputIds: copy(Int32Array, entry.output_identities),
      comparisons: entry.comparisons,
      equalities: entry.equalities,
      writes: entry.writes,
      reorderedPairs: entry.reordered_equal_pairs,
      rule: entry.rule,
      outcome: entry.outcome,
      kept: entry.kept,
      files: entry.files,
      sites: entry.sites,
      identified: true,
    };
    for (const [column, type] of Object.entries(format.columnTypes)) {
      const width = { held: format.heldStride, ranges: format.rangeStride }[column] || 1;
      trace[column] = copy(TYPED_ARRAYS[type], entry[column], width);
    }
    trace.length = trace.head.length;
    return addCheckpoints(format, trace);
  });
  return { traces };
}

// The typed arrays of a packed trace, for transferring it to another thread.
function traceBuffers(trace) {
  const { checkpoints } = trace;
  return [
    trace.input,
    trace.output,
    trace.outputIds,
    trace.head,
    trace.first,
    trace.second,
    trace.extra,
    trace.held,
    trace.ranges,
    checkpoints.values,
    checkpoints.ids,
    checkpoints.counts,
  ].map((array) => array.buffer);
}

// The sub-range the sort works on when the clock stands on `tick` (its last event's): the last
// range the library announced at or before that event, as an object of the catalogue's range
// fields (a budget, file or line not there is -1), with `index` its place among the ranges;
// null before the first.
function rangeAt(format, trace, tick) {
  const { ranges } = trace;
  const stride = format.rangeStride;
  const at = format.rangeAt.at;
  let low = 0;
  let high = ranges.length / stride;
  // The first range that starts after the event tick - 1.
  while (low < high) {
    const middle = (low + high) >> 1;
    if (ranges[middle * stride + at] <= tick - 1) low = middle + 1;
    else high = middle;
  }
  if (low === 0 || tick === 0) return null;
  return { index: low - 1, ...rangeRow(format, trace, low - 1) };
}

// Range r (from 0) of a trace as an object of its fields (a budget, file or line not there is
// -1).
function rangeRow(format, trace, r) {
  const row = {};
  for (const [name, k] of Object.entries(format.rangeAt))
    row[name] = trace.ranges[r * format.rangeStride + k];
  return row;
}

// One field of every range of a trace, in order.
function rangeColumn(format, trace, name) {
  const column = [];
  for (let k = format.rangeAt[name]; k < trace.ranges.length; k += format.rangeStride)
    column.push(trace.ranges[k]);
  return column;
}
