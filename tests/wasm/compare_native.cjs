// Runs the WebAssembly recorder under Node and compares what it records with
// the native sort_show's JSON for the same inputs: the module's binary columns
// are read and written back as JSON by the page's own script
// (show/page/trace.js and trace_json.js), for every pattern at a few sizes and seeds, both
// directions, and explicit values. The sorts, the patterns and the format come
// from the module's catalogue, which must be sort_show --catalog's. The module's
// counts alone (for cost curves) must equal its full recordings' counts, and its
// history picture's pixels those of sort_show's PNG.
//
// Usage: node compare_native.cjs MODULE SORT_SHOW STDLIB
// STDLIB is the native build's standard library, libc++ or libstdc++. With
// libc++ (the module's) the documents must be equal byte for byte. With
// libstdc++ the traces of the sorts that call no standard algorithm (an empty
// "calls" in the catalogue) must still be equal byte for byte, and those of the
// others in everything but their events and counts: std::make_heap,
// std::sort_heap and std::rotate make different moves in the two libraries.
"use strict";
const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const zlib = require("node:zlib");

const [modulePath, sortShow, stdlib] = process.argv.slice(2);

const { loadPageScripts } = require("../../show/page_scripts.cjs");

const { traceFormat, recordingFromModule, traceDocumentChunks } = loadPageScripts(
  ["trace.js", "trace_json.js"],
  ["traceFormat", "recordingFromModule", "traceDocumentChunks"],
);

const compiled = new WebAssembly.Module(fs.readFileSync(modulePath));
assert.deepEqual(WebAssembly.Module.imports(compiled), [], "the module needs no imports");
const wasm = new WebAssembly.Instance(compiled, {}).exports;

function text(length) {
  assert.ok(length > 0, `a call returned ${length}`);
  // Read after the call: recording may have grown the memory.
  return Buffer.from(wasm.memory.buffer, wasm.sorting_json(), length).toString("utf8");
}

function native(args) {
  const out = execFileSync(sortShow, args, { maxBuffer: 1 << 30 }).toString("utf8");
  assert.ok(out.endsWith("\n"));
  return out.slice(0, -1);
}

const catalogText = text(wasm.sorting_catalog());
assert.ok(catalogText === native(["--catalog"]), "the module's catalogue is sort_show --catalog's");
const catalog = JSON.parse(catalogText);
const format = traceFormat(catalog);
const limit = catalog.limits.max_values;
const SORTS = catalog.sorts.map((sort) => sort.name);
const PATTERNS = catalog.patterns.map((pattern) => pattern.name);
const STDLIB_FREE = new Set(
  catalog.sorts.filter((sort) => sort.calls === "").map((sort) => sort.name),
);
assert.ok(STDLIB_FREE.size > 0 && PATTERNS.length > 0);

// The module's last recording, from the header a record call returned, with
// every trace replayed to its recorded output.
function recorded(length) {
  const recording = recordingFromModule(format, JSON.parse(text(length)), wasm.memory.buffer);
  for (const trace of recording.traces)
    assert.ok(trace.consistent, `${trace.algorithm} replays to its output`);
  return recording;
}

// The recording as the page writes it back: a sorting-trace document.
function asJson(recording) {
  return traceDocumentChunks(format, recording.traces).join("");
}

// Writes a pattern's name, NUL-terminated, where sorting_record_pattern reads it.
function namePattern(name) {
  const bytes = Buffer.from(`${name}\0`, "utf8");
  new Uint8Array(wasm.memory.buffer, wasm.sorting_pattern_name(), bytes.length).set(bytes);
}

// A trace without what depends on the standard library's moves: its events, its counts, and
// the event at which each range starts.
function withoutMoves(trace) {
  const { events, comparisons, writes, ranges, ...rest } = trace;
  return { ...rest, ranges: ranges.map(([, ...fields]) => fields) };
}

let compared = 0;
// With libstdc++, the sorts that hand elements to the standard algorithms move them otherwise;
// under a comparator that breaks its contract, even where they leave them. `lab` says so.
function compare(label, fromWasm, fromNative, lab = false) {
  compared++;
  if (stdlib === "libc++") {
    assert.ok(fromWasm === fromNative, `${label}: the documents differ`);
    return;
  }
  const a = JSON.parse(fromWasm).traces;
  const b = JSON.parse(fromNative).traces;
  assert.deepEqual(
    a.map((trace) => trace.algorithm),
    SORTS,
    label,
  );
  assert.deepEqual(
    b.map((trace) => trace.algorithm),
    SORTS,
    label,
  );
  for (let k = 0; k < SORTS.length; k++) {
    if (STDLIB_FREE.has(a[k].algorithm))
      assert.ok(
        JSON.stringify(a[k]) === JSON.stringify(b[k]),
        `${label}: ${a[k].algorithm} differs`,
      );
    else if (lab) assert.equal(a[k].rule, b[k].rule, label);
    else assert.deepEqual(withoutMoves(a[k]), withoutMoves(b[k]), `${label}: ${a[k].algorithm}`);
  }
}

for (const direction of ["ascending", "descending"]) {
  const descending = direction === "descending" ? 1 : 0;
  for (const pattern of PATTERNS) {
    for (const size of [1, 2, 17, 40, 200]) {
      // The largest seed checks that a seed above 2^31 crosses the boundary intact.
      for (const seed of size === 40 ? [1, 4294967295] : [7]) {
        const label = `${pattern} size ${size} seed ${seed} ${direction}`;
        namePattern(pattern);
        compare(
          label,
          asJson(recorded(wasm.sorting_record_pattern(size, seed | 0, descending))),
          native([
            "--json",
            "--pattern",
            pattern,
            "--size",
            `${size}`,
            "--seed",
            `${seed}`,
            "--direction",
            direction,
          ]),
        );
      }
    }
  }
  const random = Array.from({ length: 512 }, (_, k) => ((k * 2654435761) % 1000003) - 500000);
  for (const values of [[5, 1, 4, 2, 3], [42], [-2147483648, 2147483647, 0, -1, 7, 7], random]) {
    new Int32Array(wasm.memory.buffer, wasm.sorting_input(), values.length).set(values);
    compare(
      `${values.length} values ${direction}`,
      asJson(recorded(wasm.sorting_record_values(values.length, descending))),
      native(["--json", "--values", values.join(","), "--direction", direction]),
    );
  }
}
// The largest input, once: every trace replays to its output.
namePattern("shuffled");
recorded(wasm.sorting_record_pattern(limit, 1, 0));

// Writes the comparator's name where the record functions read it ("" for less).
function nameComparator(name) {
  const bytes = Buffer.from(`${name}\0`, "utf8");
  new Uint8Array(wasm.memory.buffer, wasm.sorting_comparator_name(), bytes.length).set(bytes);
}

// Every comparator of the lab, and throws at calls early, late and inside the heap
// operations, and the call budget: the module has no C++ exceptions and plays each throw
// as the library meets it, so its traces must be those of sort_show's real throws.
const comparators = catalog.comparators
  .filter((comparator) => !comparator.takes)
  .map((comparator) => comparator.name)
  .concat(["throw-at:1", "throw-at:7", "throw-at:40", "throw-at:150", "throw-at:400"]);
for (const comparator of comparators) {
  for (const [pattern, size] of [
    ["shuffled", 40],
    ["shuffled_4_values", 33],
    ["descending", 64],
  ]) {
    nameComparator(comparator);
    namePattern(pattern);
    const args = ["--json", "--pattern", pattern, "--size", `${size}`, "--seed", "7"];
    compare(
      `${pattern} ${size} under ${comparator}`,
      asJson(recorded(wasm.sorting_record_pattern(size, 7, 0))),
      native([...args, "--comparator", comparator]),
      true,
    );
  }
}
for (const budget of [1, 30, 200]) {
  nameComparator("less");
  wasm.sorting_set_call_budget(budget);
  namePattern("shuffled");
  compare(
    `shuffled 50 with a budget of ${budget} calls`,
    asJson(recorded(wasm.sorting_record_pattern(50, 2, 0))),
    native([
      "--json",
      "--pattern",
      "shuffled",
      "--size",
      "50",
      "--seed",
      "2",
      "--budget",
      `${budget}`,
    ]),
    true,
  );
}
wasm.sorting_set_call_budget(-1);
nameComparator("bogus");
assert.equal(wasm.sorting_record_pattern(10, 1, 0), -3, "an unknown comparator is refused");
nameComparator("");

// Every variant records as its sort was recorded last, and replays to its output: on the same
// input under the same comparator, and against the adversary on the values it settled on for
// that sort, in an ordinary order.
for (const comparator of ["", "always-false", "adversary"]) {
  nameComparator(comparator);
  namePattern("shuffled_4_values");
  const library = recorded(wasm.sorting_record_pattern(40, 3, 0)).traces;
  catalog.variants.forEach((variant, k) => {
    const [trace, ...more] = recorded(wasm.sorting_record_variant(k)).traces;
    const sort = library.find((t) => t.algorithm === variant.sort);
    assert.deepEqual(
      [trace.algorithm, more.length, trace.rule, Array.from(trace.input)],
      [variant.name, 0, comparator === "adversary" ? "less" : sort.rule, Array.from(sort.input)],
      `${variant.sort} ${variant.name} under ${comparator || "less"}`,
    );
  });
}
nameComparator("");
assert.equal(wasm.sorting_record_variant(catalog.variants.length), -1);

// Counting alone gives the counts of the full recording, for every pattern at
// sizes of the cost curves, both directions, and counts only the sorts asked for.
let counted = 0;
const every = (1 << SORTS.length) - 1;
for (const pattern of PATTERNS) {
  for (let size = 8; size <= 512; size *= 4) {
    for (const descending of size === 32 ? [0, 1] : [0]) {
      namePattern(pattern);
      const full = JSON.parse(text(wasm.sorting_record_pattern(size, 11, descending)));
      const counts = JSON.parse(text(wasm.sorting_count_pattern(size, 11, descending, every)));
      assert.deepEqual(
        counts.sorts,
        full.traces.map((trace) => ({
          name: trace.algorithm,
          comparisons: trace.comparisons,
          equalities: trace.equalities,
          writes: trace.writes,
          reordered_equal_pairs: trace.reordered_equal_pairs,
        })),
        `counts of ${pattern} size ${size}`,
      );
      assert.deepEqual(
        [counts.pattern, counts.size, counts.seed, counts.comparator],
        [pattern, size, 11, descending ? "descending" : "ascending"],
      );
      // Every other sort alone.
      const some = JSON.parse(text(wasm.sorting_count_pattern(size, 11, descending, 0b10101)));
      assert.deepEqual(
        some.sorts,
        counts.sorts.filter((_, k) => k % 2 === 0),
      );
      counted++;
    }
  }
}

// The RGB pixels of a PNG that sort_show wrote: 8-bit RGB, no interlace, every
// row unfiltered, as show/png.cpp writes them.
function pngPixels(file) {
  const bytes = fs.readFileSync(file);
  let at = 8;
  let width = 0;
  let height = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at);
    const type = bytes.toString("latin1", at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === "IHDR") {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      assert.deepEqual([...body.subarray(8)], [8, 2, 0, 0, 0], "IHDR: 8-bit RGB");
    } else if (type === "IDAT") {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; y++) {
    assert.equal(raw[y * (width * 3 + 1)], 0, "unfiltered rows");
    raw.copy(rgb, y * width * 3, y * (width * 3 + 1) + 1, (y + 1) * (width * 3 + 1));
  }
  return { width, height, rgb };
}

// The module's history picture of its last recording, as RGB.
function modulePicture() {
  const at = wasm.sorting_history_picture();
  assert.ok(at !== 0, "a picture after a recording");
  const width = wasm.sorting_picture_width();
  const height = wasm.sorting_picture_height();
  const rgba = new Uint8Array(wasm.memory.buffer, at, width * height * 4);
  const rgb = Buffer.alloc(width * height * 3);
  for (let k = 0; k < width * height; k++) {
    assert.equal(rgba[4 * k + 3], 255, "opaque");
    rgb[3 * k] = rgba[4 * k];
    rgb[3 * k + 1] = rgba[4 * k + 1];
    rgb[3 * k + 2] = rgba[4 * k + 2];
  }
  return { width, height, rgb };
}

// Pictures of the same recordings as sort_show draws them. The three sorts
// that call standard algorithms move differently on libstdc++, which changes
// their columns, so there only an input of one value (no event at all) compares.
const pictureCases =
  stdlib === "libc++"
    ? [
        { pattern: "shuffled", size: 40, seed: 1 },
        { pattern: "shuffled_4_values", size: 24, seed: 1 },
        { pattern: "pipe_organ", size: 200, seed: 7 },
        { values: [5, 1, 4, 2, 3] },
      ]
    : [{ values: [42] }];
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), "compare_native."));
try {
  for (const input of pictureCases) {
    let args;
    if (input.values) {
      new Int32Array(wasm.memory.buffer, wasm.sorting_input(), input.values.length).set(
        input.values,
      );
      text(wasm.sorting_record_values(input.values.length, 0));
      args = ["--values", input.values.join(",")];
    } else {
      namePattern(input.pattern);
      text(wasm.sorting_record_pattern(input.size, input.seed, 0));
      args = ["--pattern", input.pattern, "--size", `${input.size}`, "--seed", `${input.seed}`];
    }
    // Counting leaves the picture to the last full recording.
    namePattern(PATTERNS[0]);
    wasm.sorting_count_pattern(8, 1, 1, every);
    const fromModule = modulePicture();
    execFileSync(sortShow, ["--json", ...args, "--pictures", scratch], { stdio: "ignore" });
    const fromNative = pngPixels(path.join(scratch, `history-${input.pattern || "values"}.png`));
    const label = JSON.stringify(input);
    assert.deepEqual(
      [fromModule.width, fromModule.height],
      [fromNative.width, fromNative.height],
      label,
    );
    assert.ok(fromModule.rgb.equals(fromNative.rgb), `${label}: the pixels differ`);
  }
} finally {
  fs.rmSync(scratch, { recursive: true, force: true });
}

// Bad arguments are refused, and leave the last recording alone: a count or a
// size out of range, a name that is no pattern's, a name with no NUL in the buffer.
const last = text(wasm.sorting_record_values(5, 0));
const countLimit = catalog.limits.max_count_values;
const refused = [wasm.sorting_record_values(0, 0), wasm.sorting_record_values(limit + 1, 0)];
namePattern(PATTERNS[0]);
refused.push(wasm.sorting_record_pattern(0, 1, 0), wasm.sorting_record_pattern(limit + 1, 1, 0));
refused.push(
  wasm.sorting_count_pattern(0, 1, 0, every),
  wasm.sorting_count_pattern(countLimit + 1, 1, 0, every),
);
for (const name of ["zigzag", "", `${PATTERNS[0]} `, PATTERNS[0].toUpperCase()]) {
  namePattern(name);
  refused.push(wasm.sorting_record_pattern(10, 1, 0), wasm.sorting_count_pattern(10, 1, 0, every));
}
new Uint8Array(
  wasm.memory.buffer,
  wasm.sorting_pattern_name(),
  catalog.limits.pattern_name_bytes,
).fill("a".charCodeAt(0));
refused.push(wasm.sorting_record_pattern(10, 1, 0), wasm.sorting_count_pattern(10, 1, 0, every));
assert.deepEqual(
  refused,
  refused.map(() => -1),
);
assert.equal(text(last.length), last);

console.log(
  `${counted} count-only recordings equal to full ones; ${pictureCases.length} ` +
    "history pictures equal to sort_show's",
);
console.log(
  `${compared} inputs compared (native standard library: ${stdlib}` +
    (stdlib === "libc++"
      ? ", whole documents byte for byte)"
      : `; events of ${SORTS.filter((name) => !STDLIB_FREE.has(name)).join(", ")} not compared)`),
);
