"use strict";

// Traces as the page holds them: the recorder's binary event columns, as the
// catalogue describes them ("events" and "binary"), taken from the WebAssembly
// module's memory or made from a sorting-trace JSON document; a cursor that
// replays them; checkpoints for seeking; and the sorting-trace JSON written back
// from the columns, as sort_show --json writes it. Every field is read by its
// name from the catalogue; no position of a field is written here.
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
    for (const [column, field] of Object.entries(entry.columns)) if (field) columnOf[field] = column;
    kinds[entry.kind] = { code, tag: entry.tag, fields: entry.fields, columns: entry.columns, columnOf };
  });
  const bits = ([shift, count]) => ({ shift, mask: (1 << count) - 1 });
  const heldAt = {};
  catalog.binary.held_fields.forEach((name, k) => (heldAt[name] = k));
  return {
    kinds,
    byCode: Object.values(kinds).sort((x, y) => x.code - y.code),
    byTag: Object.fromEntries(Object.values(kinds).map((kind) => [kind.tag, kind])),
    head: { kind: bits(catalog.binary.head.kind), answer: bits(catalog.binary.head.answer),
            site: bits(catalog.binary.head.site) },
    none: catalog.binary.held,
    heldAt,
    heldStride: catalog.binary.held_fields.length,
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
    this.COMPARISON = format.kinds.comparison.code;
    this.values = Int32Array.from(trace.input);
    this.ids = Int32Array.from(trace.input, (_, k) => k);
    this.position = 0;  // events applied
    this.comparisons = 0;
    this.equalities = 0;
    this.extraAt = 0;  // entries of `extra` used
    this.old = 0;  // the value and identity the last write replaced
    this.oldId = 0;
  }

  get writes() {
    return this.position - this.comparisons - this.equalities;
  }

  kindOf(k) {
    const { shift, mask } = this.format.head.kind;
    return (this.trace.head[k] >> shift) & mask;
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
    if (kind === this.COMPARISON) ++this.comparisons;
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

  // The event applied last, as an object of its kind's fields with `kind` its
  // tag: what the status narrates and the JSON writes. Null before the first.
  // The object is reused by the next call.
  lastEvent() {
    if (this.position === 0) return null;
    const k = this.position - 1;
    const { trace, format } = this;
    const kind = format.byCode[this.kindOf(k)];
    const siteBits = format.head.site;
    const site = trace.sites[(trace.head[k] >> siteBits.shift) & siteBits.mask];
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
      return { kind: kind.tag, fields };
    }
    const none = format.none;
    let held = trace.first[k] === none || trace.second[k] === none
      ? trace.extra[this.extraAt - 1] * format.heldStride : -1;
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
    fields[kind.columns.answer] = ((trace.head[k] >> answerBits.shift) & answerBits.mask) === 1;
    return { kind: kind.tag, fields };
  }
}

// Every field name any kind of event has, so that lastEvent's object keeps one shape.
const EVENT_FIELDS = ["i", "j", "a", "b", "from_i", "from_j", "id_i", "id_j", "result", "equal", "slot", "old",
                      "new", "old_id", "new_id", "file", "line", "callee"];
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
  const checkpoints = { every, values: new Int32Array(count * n), ids: new Int32Array(count * n),
                        counts: new Int32Array(count * 3) };
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
  trace.consistent = cursor.values.every((value, k) => value === trace.output[k]) &&
    cursor.comparisons === trace.comparisons && cursor.equalities === trace.equalities &&
    cursor.writes === trace.writes &&
    (!trace.identified || cursor.ids.every((id, k) => id === trace.outputIds[k]));
  return trace;
}

// A recording the module left in its memory: its header (a sorting-recording
// document) and copies of the arrays it points at, in their own buffers so that
// they can be transferred. The traces get their checkpoints.
function recordingFromModule(format, header, buffer) {
  const copy = (Type, [address, count], width = 1) => new Type(buffer, address, count * width).slice();
  const input = copy(Int32Array, header.input);
  const traces = header.traces.map((entry) => {
    const trace = {
      algorithm: entry.algorithm, pattern: header.pattern, size: header.size, seed: header.seed,
      comparator: header.comparator, input, output: copy(Int32Array, entry.output),
      outputIds: copy(Int32Array, entry.output_identities), comparisons: entry.comparisons,
      equalities: entry.equalities, writes: entry.writes, reorderedPairs: entry.reordered_equal_pairs,
      files: entry.files, sites: entry.sites, identified: true,
    };
    for (const [column, type] of Object.entries(format.columnTypes)) {
      trace[column] = copy(TYPED_ARRAYS[type], entry[column], column === "held" ? format.heldStride : 1);
    }
    trace.length = trace.head.length;
    return addCheckpoints(format, trace);
  });
  return { traces };
}

// The typed arrays of a packed trace, for transferring it to another thread.
function traceBuffers(trace) {
  const { checkpoints } = trace;
  return [trace.output, trace.outputIds, trace.head, trace.first, trace.second, trace.extra, trace.held,
          checkpoints.values, checkpoints.ids, checkpoints.counts].map((array) => array.buffer);
}

// A trace of a sorting-trace JSON document (version 1 or 2) packed into columns.
// Version 1 has no identities and no lines; `reorderedPairs` is null unless given.
function packJsonTrace(format, trace, reorderedPairs = null) {
  const length = trace.events.length;
  const head = new Uint8Array(length);
  const first = new Uint16Array(length);
  const second = new Uint16Array(length);
  const extra = [];
  const held = [];
  const sites = [];
  const siteKeys = new Map();
  const at = (kind, field) => kind.fields.indexOf(field) + 1;
  const h = format.head;
  let identified = true;
  trace.events.forEach((event, k) => {
    const kind = format.byTag[event[0]];
    const read = (field) => (at(kind, field) > 0 ? event[at(kind, field)] : undefined);
    const site = [read("file") ?? null, read("file") == null ? null : read("line"), read("callee") ?? null];
    const key = site.join();
    if (!siteKeys.has(key)) siteKeys.set(key, sites.push(site) - 1);
    let answer = 0;
    if (kind === format.kinds.write) {
      first[k] = read("slot");
      const id = read("new_id");
      if (id === undefined) identified = false;
      second[k] = id == null ? format.none : id;
      extra.push(read("new"));
    } else {
      answer = read(kind.columns.answer) ? 1 : 0;
      const operands = [["i", "a", "from_i", "id_i"], ["j", "b", "from_j", "id_j"]];
      const heldAt = held.length / format.heldStride;
      operands.forEach(([slotName, valueName, fromName, idName], side) => {
        const slot = read(slotName);
        (side === 0 ? first : second)[k] = slot == null ? format.none : slot;
        if (slot != null) return;
        const entry = [];
        entry[format.heldAt.value] = read(valueName);
        entry[format.heldAt.from] = read(fromName) ?? -1;
        entry[format.heldAt.identity] = read(idName) ?? -1;
        held.push(...entry);
      });
      if (held.length / format.heldStride > heldAt) extra.push(heldAt);
    }
    head[k] = (kind.code << h.kind.shift) | (answer << h.answer.shift) | (siteKeys.get(key) << h.site.shift);
  });
  return addCheckpoints(format, {
    algorithm: trace.algorithm, pattern: trace.pattern, size: trace.size, seed: trace.seed,
    comparator: trace.comparator, input: Int32Array.from(trace.input), output: Int32Array.from(trace.output),
    outputIds: null, comparisons: trace.comparisons,
    equalities: trace.equalities || 0, writes: trace.writes, reorderedPairs: identified ? reorderedPairs : null,
    files: trace.files || [], sites, head, first, second, extra: Int32Array.from(extra),
    held: Int32Array.from(held), length, identified,
  });
}

// A string as the recorder writes one in JSON: '<' escaped too.
function jsonString(text) {
  return `"${text.replace(/["\\\u0000-\u001f<]/g, (c) => (c === '"' || c === "\\" ? `\\${c}`
    : `\\u00${c.charCodeAt(0).toString(16).padStart(2, "0")}`))}"`;
}

function jsonValue(value) {
  return typeof value === "string" ? jsonString(value) : String(value);
}

// The sorting-trace document of packed traces, as sort_show --json writes it, in
// pieces (a long one passes the longest string a browser makes): join them, or
// make a Blob of them.
function traceDocumentChunks(format, traces) {
  const chunks = ['{"format":"sorting-trace","version":2,"traces":['];
  traces.forEach((trace, t) => {
    const list = (values) => `[${Array.from(values).join(",")}]`;
    chunks.push(`${t ? "," : ""}{"algorithm":${jsonString(trace.algorithm)},"pattern":${jsonString(trace.pattern)},` +
      `"size":${trace.size},"seed":${jsonValue(trace.seed)},"comparator":${jsonString(trace.comparator)},` +
      `"input":${list(trace.input)},"output":${list(trace.output)},"comparisons":${trace.comparisons},` +
      `"equalities":${trace.equalities},"writes":${trace.writes},` +
      `"files":[${trace.files.map(jsonString).join(",")}],"events":[`);
    const cursor = new TraceCursor(format, trace);
    const tags = Object.fromEntries(format.byCode.map((kind) => [kind.tag, `[${jsonString(kind.tag)}`]));
    // Many short pieces joined at once: far quicker than growing one string.
    let parts = [];
    while (cursor.position < trace.length) {
      cursor.forward();
      const { kind, fields } = cursor.lastEvent();
      parts.push(cursor.position > 1 ? `,${tags[kind]}` : tags[kind]);
      for (const name of format.byTag[kind].fields) parts.push(",", jsonValue(fields[name]));
      parts.push("]");
      if (parts.length > 1 << 20) {
        chunks.push(parts.join(""));
        parts = [];
      }
    }
    chunks.push(parts.join(""));
    chunks.push("]}");
  });
  chunks.push("]}");
  return chunks;
}

if (typeof module === "object") {
  module.exports = { traceFormat, TraceCursor, addCheckpoints, recordingFromModule, traceBuffers, packJsonTrace,
                     traceDocumentChunks };
}
