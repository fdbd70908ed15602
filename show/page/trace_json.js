"use strict";

// The sorting-trace JSON and the page's packed traces, both ways: an embedded document (a page
// built without the WebAssembly module) packed into the binary columns trace.js replays, and
// the columns written back as the document sort_show --json writes, byte for byte, for
// window.sortingTraces and the download. Fields are found by the names the catalogue gives.

// An event of a sorting-trace document, ["w", 3, 7, 2, ...], by the names of its kind's fields:
// { kind, fields: { slot: 3, old: 7, new: 2, ... } }, kind as traceFormat describes it. A field
// the event does not have (a version 1 event has fewer) is undefined.
function jsonEvent(format, event) {
  const kind = format.byTag[event[0]];
  const fields = {};
  kind.fields.forEach((name, k) => (fields[name] = event[k + 1]));
  return { kind, fields };
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
  const h = format.head;
  let identified = true;
  trace.events.forEach((event, k) => {
    const { kind, fields } = jsonEvent(format, event);
    const read = (field) => fields[field];
    const site = [
      read("file") ?? null,
      read("file") == null ? null : read("line"),
      read("callee") ?? null,
    ];
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
      answer = kind.columns.answer && read(kind.columns.answer) ? 1 : 0;
      const heldAt = held.length / format.heldStride;
      [OPERAND_I, OPERAND_J].forEach(([slotName, valueName, fromName, idName], side) => {
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
    head[k] =
      (kind.code << h.kind.shift) |
      (answer << h.answer.shift) |
      (siteKeys.get(key) << h.site.shift);
  });
  return addCheckpoints(format, {
    algorithm: trace.algorithm,
    pattern: trace.pattern,
    size: trace.size,
    seed: trace.seed,
    comparator: trace.comparator,
    input: Int32Array.from(trace.input),
    output: Int32Array.from(trace.output),
    outputIds: null,
    comparisons: trace.comparisons,
    equalities: trace.equalities || 0,
    writes: trace.writes,
    reorderedPairs: identified ? reorderedPairs : null,
    // Traces written before the ranges and the comparator lab have none, and ran the strict
    // order to the end.
    ranges: Int32Array.from(
      (trace.ranges || []).flatMap((row) =>
        Object.keys(format.rangeAt).map((name) => row[format.rangeAt[name]] ?? -1),
      ),
    ),
    rule: trace.rule ?? "less",
    outcome: trace.outcome ?? "sorted",
    kept: trace.kept ?? true,
    files: trace.files || [],
    sites,
    head,
    first,
    second,
    extra: Int32Array.from(extra),
    held: Int32Array.from(held),
    length,
    identified,
  });
}

// A string as the recorder writes one in JSON: quotes and backslashes escaped, and control
// characters and '<' (so that no "</" ends a script element) as \u00XX.
function jsonString(text) {
  let out = '"';
  for (const c of text) {
    const code = c.charCodeAt(0);
    if (c === '"' || c === "\\") out += `\\${c}`;
    else if (code < 0x20 || c === "<") out += `\\u00${code.toString(16).padStart(2, "0")}`;
    else out += c;
  }
  return `${out}"`;
}

function jsonValue(value) {
  return typeof value === "string" ? jsonString(value) : String(value);
}

// A trace's ranges as JSON rows, their fields in the catalogue's order; -1 is null.
function rangesJson(format, trace) {
  const rows = [];
  for (let k = 0; k < trace.ranges.length; k += format.rangeStride) {
    const row = Array.from(trace.ranges.subarray(k, k + format.rangeStride), (value) =>
      value < 0 ? "null" : String(value),
    );
    rows.push(`[${row.join(",")}]`);
  }
  return `[${rows.join(",")}]`;
}

// The sorting-trace document of packed traces, as sort_show --json writes it, in
// pieces (a long one passes the longest string a browser makes): join them, or
// make a Blob of them.
function traceDocumentChunks(format, traces) {
  const chunks = ['{"format":"sorting-trace","version":2,"traces":['];
  traces.forEach((trace, t) => {
    const list = (values) => `[${Array.from(values).join(",")}]`;
    chunks.push(
      `${t ? "," : ""}{"algorithm":${jsonString(trace.algorithm)},"pattern":${jsonString(trace.pattern)},` +
        `"size":${trace.size},"seed":${jsonValue(trace.seed)},"comparator":${jsonString(trace.comparator)},` +
        `"input":${list(trace.input)},"output":${list(trace.output)},"comparisons":${trace.comparisons},` +
        `"equalities":${trace.equalities},"writes":${trace.writes},"rule":${jsonString(trace.rule)},` +
        `"outcome":${jsonString(trace.outcome)},"kept":${trace.kept},"ranges":${rangesJson(format, trace)},` +
        `"files":[${trace.files.map(jsonString).join(",")}],"events":[`,
    );
    const cursor = new TraceCursor(format, trace);
    // Many short pieces joined at once: far quicker than growing one string.
    let parts = [];
    while (cursor.position < trace.length) {
      cursor.forward();
      const { kind, fields } = cursor.lastEvent();
      parts.push(cursor.position > 1 ? ",[" : "[", jsonString(kind.tag));
      for (const name of kind.fields) parts.push(",", jsonValue(fields[name]));
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
