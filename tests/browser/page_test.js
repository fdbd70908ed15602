// Drives the page that sort_show writes in the system Chromium: every sort runs to
// its end on fast-forwarded time, stepping back and forth returns exactly, the keys
// work, the page fits a projector and a phone, links are read strictly and loudly,
// the live regions stay quiet while playing, the marks stand out, axe-core finds
// nothing, and (when the page embeds the WebAssembly recorder) inputs from the URL
// fragment and the input panel give the traces the native recorder gives.
//
//   node page_test.js --sort-show PATH --work DIR [--modules DIR] [--chromium PATH]
//                     [--expect-wasm] [--same-library] [--screenshot PATH]
//
// --expect-wasm: the page must embed the WebAssembly recorder. --same-library:
// sort_show and the module use the same C++ standard library (libc++), so their
// documents must be byte-identical; otherwise the sorts built on std::make_heap,
// std::sort_heap and std::rotate (those whose "calls" in sort_show's catalogue
// is not empty) may move elements in another order, and only their input,
// output and names must agree.
//
// Exits 77 (reported as skipped by CTest) when Chromium or playwright-core is missing.

"use strict";

const assert = require("node:assert/strict");
const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const { createRequire } = require("node:module");
const path = require("node:path");
const { loadPageScripts } = require("../../show/page_scripts.cjs");

// The page's own reading of traces, and its words for them.
const {
  traceFormat,
  packJsonTrace,
  jsonEvent,
  groupTraces,
  Replay,
  placeText,
  countersText,
  stabilityVerdict,
  subscript,
} = loadPageScripts(
  ["trace.js", "trace_json.js", "links.js", "replay.js"],
  [
    "traceFormat",
    "packJsonTrace",
    "jsonEvent",
    "groupTraces",
    "Replay",
    "placeText",
    "countersText",
    "stabilityVerdict",
    "subscript",
  ],
);

const SKIP = 77;
const INSTALL_HINT =
  "sudo apt-get install chromium nodejs npm\nnpm ci --omit=dev  (in the repository's top folder)";

function parseArguments(argv) {
  const options = { chromium: "/usr/bin/chromium", modules: [], expectWasm: false };
  for (let k = 0; k < argv.length; ++k) {
    const name = argv[k];
    const next = () => {
      if (k + 1 >= argv.length) throw new Error(`${name} needs a value`);
      return argv[++k];
    };
    if (name === "--sort-show") options.sortShow = next();
    else if (name === "--work") options.work = next();
    else if (name === "--modules") options.modules.push(next());
    else if (name === "--chromium") options.chromium = next();
    else if (name === "--screenshot") options.screenshot = next();
    else if (name === "--expect-wasm") options.expectWasm = true;
    else if (name === "--same-library") options.sameLibrary = true;
    else throw new Error(`unknown option ${name}`);
  }
  if (!options.sortShow || !options.work) throw new Error("--sort-show and --work are required");
  // Pages open as file:// URLs, which need absolute paths.
  options.sortShow = path.resolve(options.sortShow);
  options.work = path.resolve(options.work);
  if (options.screenshot) options.screenshot = path.resolve(options.screenshot);
  options.modules = options.modules.map((folder) => path.resolve(folder));
  options.modules.push(__dirname);
  return options;
}

// A module (or a file of one) from the first folder that has it installed.
function loadModule(folders, name, resolveOnly = false) {
  for (const folder of folders) {
    try {
      const load = createRequire(path.join(folder, "package.json"));
      return resolveOnly ? load.resolve(name) : load(name);
    } catch (error) {
      if (error.code !== "MODULE_NOT_FOUND") throw error;
    }
  }
  return null;
}

// WCAG's contrast ratio of two colours written #rrggbb.
function contrast(first, second) {
  const luminance = (hex) => {
    const [r, g, b] = [1, 3, 5]
      .map((at) => parseInt(hex.slice(at, at + 2), 16) / 255)
      .map((c) => (c <= 0.03928 ? c / 12.92 : ((c + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [light, dark] = [luminance(first), luminance(second)].sort((x, y) => y - x);
  return (light + 0.05) / (dark + 0.05);
}

// The page sort_show wrote, as one built without the module would be: the module taken
// out and `doc` embedded as its traces.
function withoutModule(html, doc) {
  const traces = '<script id="sorting-traces" type="application/json"></script>';
  assert.ok(html.includes(traces), "a page with the module embeds no traces");
  return html
    .replace(traces, traces.replace("></", `>${JSON.stringify(doc)}</`))
    .replace(/const WASM_BASE64 = "[A-Za-z0-9+/=]*";/, 'const WASM_BASE64 = "";');
}

// The same traces in the first version of the format, without equality tests.
function versionOne(doc) {
  return {
    format: doc.format,
    version: 1,
    traces: doc.traces.map((trace) => {
      const { equalities, ...rest } = trace;
      return { ...rest, events: trace.events.filter((event) => named(event).kind !== "equality") };
    }),
  };
}

function sortShow(options, args) {
  return execFileSync(options.sortShow, args, { encoding: "utf8", maxBuffer: 1 << 30 });
}

function writePage(options, name, args) {
  const file = path.join(options.work, name);
  sortShow(options, ["--output", file, ...args]);
  return file;
}

// What a panel must show after `tick` ticks of the shared clock, worked out from
// the trace alone: the input with the writes so far applied, and the counts.
function expectedAt(trace, tick) {
  const values = trace.input.slice();
  const counts = { comparisons: 0, equalities: 0, writes: 0 };
  for (const event of trace.events.slice(0, tick)) {
    const { kind, fields } = named(event);
    ++counts[FORMAT.kinds[kind].counts];
    if (kind === "equality")
      assert.equal(
        fields.equal,
        fields.a === fields.b,
        `${trace.algorithm}: an equality test's answer`,
      );
    if (kind === "write") {
      assert.equal(values[fields.slot], fields.old, `${trace.algorithm}: a write's old value`);
      values[fields.slot] = fields.new;
    }
  }
  return { values, counters: countersAt(trace, counts) };
}

// A JSON event by its fields' names, as the catalogue gives them: { kind: "write", fields }.
function named(event) {
  const { kind, fields } = jsonEvent(FORMAT, event);
  return { kind: kind.name, fields };
}

// Whether an event compares a slot with a held value (QuickSort's pivot, say).
const comparesHeld = (event) =>
  named(event).kind === "comparison" && named(event).fields.j === null;

// The panel's counters, in the page's words, after `counts` events of each kind.
function countersAt(trace, counts) {
  return countersText({ trace, ...counts });
}

// How a run ended, found from its events alone: the identities and values its writes leave
// (every identity once: every value kept; the values in the direction's order: sorted), a thrown
// call (and which call it was), or the call budget used up; and its words on the panel.
function outcomeOf(trace) {
  const values = trace.input.slice();
  const ids = trace.input.map((_, slot) => slot);
  let [calls, threw] = [0, 0];
  for (const { kind, fields } of trace.events.map(named)) {
    if (FORMAT.kinds[kind].counts === "comparisons") ++calls;
    if (kind === "throw") threw = calls;
    if (kind === "write") [values[fields.slot], ids[fields.slot]] = [fields.new, fields.new_id];
  }
  const kept = ids
    .slice()
    .sort((x, y) => x - y)
    .every((id, k) => id === k);
  const order = trace.comparator === "ascending" ? 1 : -1;
  const sorted = values.every((value, k) => k === 0 || order * (value - values[k - 1]) >= 0);
  const { call_budget_per_square: square, call_budget_base: base } = FORMAT.limits;
  const stopped = trace.comparisons >= square * trace.size ** 2 + base;
  const outcome = threw ? "threw" : stopped ? "stopped" : sorted ? "sorted" : "not sorted";
  const lost = kept ? "every value kept" : "values lost";
  const words = {
    sorted: kept ? "sorted" : `sorted, ${lost}`,
    "not sorted": `not sorted, ${lost}`,
    threw: `threw at call ${threw}, ${lost}`,
    stopped: `stopped by the call budget after ${calls} calls${kept ? "" : `, ${lost}`}`,
  }[outcome];
  return { outcome, kept, words };
}

// The range of a trace the strip must show at `tick`: the last one announced at or before the
// event that brings the clock there (its last event once it finished).
function rangeAtTick(trace, tick) {
  const before = Math.min(tick, trace.events.length) - 1;
  const started = trace.ranges.filter((range) => range[FORMAT.rangeAt.at] <= before);
  return tick > 0 && started.length ? started[started.length - 1] : null;
}

// The library line of each event of a trace as the page reads it (file, line, standard
// algorithm), with the line's text in `sources` (sort_show --sources).
function placesOf(trace, sources) {
  const replay = new Replay(packJsonTrace(FORMAT, trace), FORMAT);
  return trace.events.map((_, k) => {
    const place = replay.eventAt(k + 1).place;
    return { ...place, text: sources[place.file].split("\n")[place.line - 1] };
  });
}

// Where the code view marks each event's line: the event's own, but on the first event of a
// range handed to HeapSort (budget 0) the library line that hands it over.
function markedPlaces(trace, sources) {
  const places = placesOf(trace, sources);
  const at = FORMAT.rangeAt;
  for (const range of trace.ranges) {
    const tick = range[at.at] + 1;
    if (range[at.budget] !== 0 || rangeAtTick(trace, tick) !== range) continue;
    const file = trace.files[range[at.file]];
    const text = sources[file].split("\n")[range[at.line] - 1];
    places[tick - 1] = { file, line: range[at.line], callee: null, text, handover: true };
  }
  return places;
}

// The sorts whose traces hold no step of the standard library's own algorithms,
// from sort_show's catalogue, and the catalogue's description of the traces.
let STANDARD_LIBRARY_FREE = null;
let FORMAT = null;

// A document recorded in the page against the native recorder's text for the same input.
function assertSameAsNative(fromPage, fromNative, sameLibrary, label) {
  if (sameLibrary) {
    assert.equal(fromPage, fromNative, `${label}: byte-identical to sort_show --json`);
    return;
  }
  const page = JSON.parse(fromPage);
  const native = JSON.parse(fromNative);
  assert.deepEqual(Object.keys(page), ["format", "version", "traces"], label);
  assert.equal(page.traces.length, native.traces.length, label);
  page.traces.forEach((trace, k) => {
    const name = `${label}: ${trace.algorithm}`;
    if (STANDARD_LIBRARY_FREE.has(trace.algorithm)) {
      assert.equal(
        JSON.stringify(trace),
        JSON.stringify(native.traces[k]),
        `${name} byte-identical`,
      );
      return;
    }
    // The ranges start at events that the standard library's moves place.
    const { events, comparisons, equalities, writes, ranges, ...rest } = trace;
    const {
      events: e,
      comparisons: c,
      equalities: q,
      writes: w,
      ranges: r,
      ...nativeRest
    } = native.traces[k];
    assert.deepEqual(rest, nativeRest, name);
    assert.deepEqual(
      ranges.map(([, ...fields]) => fields),
      r.map(([, ...fields]) => fields),
      `${name}: the same ranges`,
    );
    const replayed = expectedAt(trace, events.length);
    assert.deepEqual(replayed.values, trace.output, `${name}: its writes replay to its output`);
    assert.equal(
      replayed.counters,
      countersAt(trace, { comparisons, equalities, writes }),
      `${name}: its totals count its events`,
    );
  });
}

// The traces of each input of a document, as the page groups them into races.
function groupsOf(doc) {
  return groupTraces(doc).map((group) => group.traces);
}

// Predict mode worked out here from a trace's events by their fields' names, apart from the
// page's reading: the values and identities after `tick` events, what a trace does next from
// event `start` for each kind of question, the questions a session asks with their right
// answers, and where a variant stands when the library reaches an event.
const eventsOf = (trace) => (trace.named ||= trace.events.map(named));

function arrayAt(trace, tick) {
  const values = trace.input.slice();
  const ids = trace.input.map((_, slot) => slot);
  for (const { kind, fields } of eventsOf(trace).slice(0, tick)) {
    if (kind === "write") [values[fields.slot], ids[fields.slot]] = [fields.new, fields.new_id];
  }
  return { values, ids };
}

// Slots first..last after `tick` events: each value with its identity, as a merge's choices are.
function arrangement(trace, tick, first, last) {
  const { values, ids } = arrayAt(trace, tick);
  return values.slice(first, last + 1).map((value, k) => ({ value, id: ids[first + k] }));
}

function nextStep(trace, type, start, { first, last } = {}) {
  const events = eventsOf(trace);
  const find = (test) => events.findIndex((event, k) => k >= start && test(event));
  const held = ({ kind, fields }) =>
    kind === "comparison" && (fields.i === null || fields.j === null);
  const inHeap = (k) => k < events.length && events[k].fields.callee === "std::make_heap";
  let at;
  if (type === "move" && (at = find((e) => e.kind === "write")) >= 0) {
    let until = at;
    while (until < events.length && events[until].kind === "write") ++until;
    return { at, until, answer: { slots: events.slice(at, until).map((e) => e.fields.slot) } };
  }
  if (type === "comparison" && (at = find((e) => e.kind === "comparison")) >= 0) {
    const { i, j } = events[at].fields;
    return {
      at,
      until: at + 1,
      answer: { slots: [i, j].filter((s) => s !== null), held: i === null || j === null },
    };
  }
  // A partitioned pivot stays where it lands.
  if (type === "pivot" && (at = find(held)) >= 0) {
    const { i, id_i: idI, id_j: idJ } = events[at].fields;
    return { answer: { slot: arrayAt(trace, events.length).ids.indexOf(i === null ? idI : idJ) } };
  }
  if (type === "heap-root" && (at = find((e) => e.fields.callee === "std::make_heap")) >= 0) {
    let until = at;
    let root = Infinity;
    for (; inHeap(until); ++until) {
      const { slot, i, j } = events[until].fields;
      for (const s of [slot, i, j]) if (typeof s === "number") root = Math.min(root, s);
    }
    return { at, until, answer: { value: arrayAt(trace, until).values[root] } };
  }
  if (type === "merge") {
    const out = (s) => typeof s === "number" && (s < first || s > last);
    const end = find((e) => out(e.fields.slot) || out(e.fields.i) || out(e.fields.j));
    return {
      answer: { arrangement: arrangement(trace, end < 0 ? events.length : end, first, last) },
    };
  }
  return null;
}

function predictQuestions(trace, kind) {
  const events = eventsOf(trace);
  const questions = [];
  if (kind !== "milestones") {
    const type = kind === "moves" ? "move" : "comparison";
    for (let q = nextStep(trace, type, 0); q; q = nextStep(trace, type, q.until))
      questions.push({ type, ...q });
    return questions;
  }
  const field = (row, name) => row[FORMAT.rangeAt[name]];
  const ranges = trace.ranges.map((row) =>
    Object.fromEntries(["at", "first", "last", "budget", "line"].map((n) => [n, field(row, n)])),
  );
  ranges.forEach(({ at, first, last, budget, line }, r) => {
    const until = r + 1 < ranges.length ? ranges[r + 1].at : events.length;
    if (until === at || budget === 0) return;
    const compared = events.slice(at, until).find((e) => e.kind === "comparison");
    const { i, j, id_i: idI, id_j: idJ } = compared ? compared.fields : {};
    // A Merge's range is its MergeSort call's, which the library announced from another line.
    const merge = ranges
      .slice(0, r)
      .some((o) => o.first === first && o.last === last && o.line !== line);
    const type = merge ? "merge" : i === null || j === null ? "pivot" : "pass";
    const answer = {
      merge: () => ({ arrangement: arrangement(trace, until, first, last) }),
      pivot: () => ({ slot: arrayAt(trace, until).ids.indexOf(i === null ? idI : idJ) }),
      pass: () => ({ yes: events.slice(at, until).some((e) => e.kind === "write") }),
    }[type]();
    questions.push({ type, at, first, last, answer });
  });
  events.forEach((e, k) => {
    if (
      e.fields.callee === "std::make_heap" &&
      (k === 0 || events[k - 1].fields.callee !== "std::make_heap")
    )
      questions.push({ type: "heap-root", ...nextStep(trace, "heap-root", k) });
  });
  return questions.sort((x, y) => x.at - y.at);
}

// An answer as one string, whatever order its slots were chosen in.
function answerKey({ slots, held, arrangement, slot, value, yes }) {
  if (slots) return `${[...new Set(slots)].sort((x, y) => x - y)}${held ? " held" : ""}`;
  if (arrangement) return arrangement.map(({ value, id }) => `${value}:${id}`).join();
  return String(slot ?? value ?? yes);
}

// Each comparison and write of a trace (equality tests left out) by what it does: a write by its
// slot, value and identity, a comparison by its operands in either order.
function stepKeys(trace) {
  const side = (slot, value) => (slot === null ? `held ${value}` : `slot ${slot}`);
  return eventsOf(trace).flatMap(({ kind, fields: f }, k) => {
    if (kind === "equality") return [];
    if (kind === "write") return [{ k, key: `${f.slot} ${f.new} ${f.new_id}` }];
    return [{ k, key: [side(f.i, f.a), side(f.j, f.b)].sort().join() }];
  });
}

// The library's first event that the variant does otherwise, or the library's length.
function firstDifference(library, variant) {
  const [mine, theirs] = [stepKeys(library), stepKeys(variant)];
  let n = 0;
  while (n < mine.length && n < theirs.length && mine[n].key === theirs[n].key) ++n;
  return n < mine.length ? mine[n].k : library.events.length;
}

// Where the variant stands when the library reaches event `at`, or -1 if it did otherwise before.
function variantStart(library, variant, at) {
  if (firstDifference(library, variant) < at) return -1;
  const n = stepKeys(library).filter(({ k }) => k < at).length;
  return n ? stepKeys(variant)[n - 1].k + 1 : 0;
}

async function main() {
  const options = parseArguments(process.argv.slice(2));
  if (!fs.existsSync(options.chromium)) {
    console.log(
      `SKIPPED: Chromium not found at ${options.chromium}. Install it with:\n${INSTALL_HINT}`,
    );
    return SKIP;
  }
  // The pinned playwright-core refuses older Node.js; Debian 12's own nodejs is 18.
  const nodeMajor = Number(process.versions.node.split(".")[0]);
  if (nodeMajor < 20) {
    console.log(
      `SKIPPED: the browser test needs Node.js 20 or newer, not ${process.versions.node}.`,
    );
    return SKIP;
  }
  const playwright = loadModule(options.modules, "playwright-core");
  const axePath = loadModule(options.modules, "axe-core/axe.min.js", true);
  if (!playwright || !axePath) {
    console.log(
      `SKIPPED: the npm packages playwright-core and axe-core are not installed. Install them with:\n${INSTALL_HINT}`,
    );
    return SKIP;
  }
  const axeSource = fs.readFileSync(axePath, "utf8");
  fs.mkdirSync(options.work, { recursive: true });

  const started = Date.now();
  const catalog = JSON.parse(sortShow(options, ["--catalog"]));
  FORMAT = traceFormat(catalog);
  STANDARD_LIBRARY_FREE = new Set(
    catalog.sorts.filter((sort) => sort.calls === "").map((sort) => sort.name),
  );
  const defaultPage = writePage(options, "show.html", []);
  const defaultDoc = JSON.parse(sortShow(options, ["--json"]));
  const bigArgs = ["--pattern", "shuffled", "--size", "512", "--seed", "1"];
  const bigPage = writePage(options, "show-512.html", bigArgs);
  const bigDoc = JSON.parse(sortShow(options, ["--json", ...bigArgs]));
  const native = (args) => sortShow(options, ["--json", ...args]).trim();
  const sources = JSON.parse(sortShow(options, ["--sources"]));

  const browser = await playwright.chromium.launch({
    executablePath: options.chromium,
    args: [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--no-first-run",
      "--disable-quic",
    ],
  });
  const results = [];
  // Each check is one group of related assertions; a failure in one does not hide the others.
  async function check(name, body) {
    const t0 = Date.now();
    try {
      await body();
      results.push({ name, ok: true });
      console.log(`ok   ${name} (${Date.now() - t0} ms)`);
    } catch (error) {
      results.push({ name, ok: false });
      console.log(`FAIL ${name}\n${error.stack}`);
    }
  }

  const PROJECTOR = { width: 1366, height: 768 };
  // A page on fast-forwarded time (requestAnimationFrame and performance.now follow
  // page.clock), or on the real clock with { clock: false }, for axe-core.
  async function openPage(file, fragment = "", { clock = true, ...contextOptions } = {}) {
    const context = await browser.newContext({ viewport: PROJECTOR, ...contextOptions });
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message));
    page.on("console", (message) => {
      if (message.type() === "error") errors.push(message.text());
    });
    if (clock) await page.clock.install();
    await page.goto(`file://${file}${fragment}`);
    await page.waitForSelector("body[data-ready=true]");
    if (clock) await page.clock.runFor(50);
    page.errors = errors;
    return page;
  }
  const state = (page) => page.evaluate(() => window.sortingShow.state());
  const settle = (page) => page.clock.runFor(40);
  // The document shown, carried over as text: far quicker than as an object for long traces.
  const shownDoc = async (page) =>
    JSON.parse(await page.evaluate(() => JSON.stringify(window.sortingTraces)));
  // Recording answers from the worker on the real clock: wait for it, moving the page's too.
  async function idle(page) {
    for (let k = 0; k < 500; ++k) {
      if (!(await state(page)).busy) return settle(page);
      await page.clock.runFor(10);
      await new Promise((resolve) => setTimeout(resolve, 10));
    }
    throw new Error("the page stayed busy");
  }
  async function assertShows(page, traces, tick, label) {
    const shown = await state(page);
    assert.equal(shown.tick, tick, `${label}: tick`);
    assert.deepEqual(
      shown.panels.map((panel) => panel.algorithm),
      traces.map((trace) => trace.algorithm),
    );
    traces.forEach((trace, k) => {
      const expected = expectedAt(trace, tick);
      assert.deepEqual(
        shown.panels[k].values,
        expected.values,
        `${label}: ${trace.algorithm} bars at tick ${tick}`,
      );
      assert.equal(
        shown.panels[k].counters,
        expected.counters,
        `${label}: ${trace.algorithm} counters`,
      );
    });
    return shown;
  }
  // After a run to the end: each panel shows its trace's output, sorted, and its totals.
  async function assertFinished(page, traces) {
    const shown = await state(page);
    assert.equal(shown.playing, false, "play stops at the end");
    assert.equal(shown.panels.length, traces.length);
    const label = `${traces[0].pattern} ${traces[0].comparator}`;
    traces.forEach((trace, k) => {
      const panel = shown.panels[k];
      assert.equal(panel.algorithm, trace.algorithm);
      assert.deepEqual(panel.values, trace.output, `${label}: ${trace.algorithm} shows its output`);
      const order = trace.comparator === "ascending" ? 1 : -1;
      for (let i = 1; i < panel.values.length; ++i) {
        assert.ok(
          order * (panel.values[i] - panel.values[i - 1]) >= 0,
          `${label}: ${trace.algorithm} sorted`,
        );
        assert.ok(
          order * (panel.heights[i] - panel.heights[i - 1]) >= -1e-9,
          `${label}: bar heights ordered`,
        );
      }
      assert.ok(
        panel.heights.every((height) => Math.abs(height) >= 1),
        `${label}: no bar vanishes`,
      );
      assert.equal(
        panel.counters,
        expectedAt(trace, trace.events.length).counters,
        `${label}: ${trace.algorithm}`,
      );
      assert.match(panel.state, /^finished \d/, `${label}: ${trace.algorithm} says it finished`);
      assert.match(panel.event, /^sorted(;|$)/, `${label}: ${trace.algorithm} says it sorted`);
    });
  }
  async function seek(page, tick) {
    await page.locator("#scrubber").evaluate((slider, value) => {
      slider.value = String(value);
      slider.dispatchEvent(new Event("input", { bubbles: true }));
    }, tick);
    await settle(page);
  }
  // Keys go to the page, not to a focused button or slider, which keep their own meaning.
  async function press(page, key, times = 1) {
    await page.evaluate(() => document.activeElement && document.activeElement.blur());
    for (let k = 0; k < times; ++k) await page.keyboard.press(key);
  }
  async function pause(page) {
    if ((await state(page)).playing) await page.locator("#play").click();
  }
  async function fastest(page) {
    await page.locator("#speed").fill(await page.locator("#speed").getAttribute("max"));
  }
  async function runToEnd(page) {
    await fastest(page);
    if (!(await state(page)).playing) await page.locator("#play").click();
    for (let k = 0; k < 100 && (await state(page)).playing; ++k) await page.clock.runFor(250);
    await settle(page);
  }
  // Every element a selector finds lies inside the viewport.
  async function assertInView(page, selectors, label) {
    const { width, height } = page.viewportSize();
    for (const selector of selectors) {
      const boxes = await page.locator(selector).evaluateAll((elements) =>
        elements.map((element) => {
          const box = element.getBoundingClientRect();
          return [box.left, box.top, box.right, box.bottom].map(Math.round);
        }),
      );
      assert.ok(boxes.length > 0, `${label}: ${selector} is on the page`);
      for (const [left, top, right, bottom] of boxes) {
        assert.ok(
          left >= 0 && top >= 0 && right <= width && bottom <= height,
          `${label}: ${selector} at ${[left, top, right, bottom]} lies inside ${width}x${height}`,
        );
      }
    }
  }
  const RACE_IN_VIEW = [
    ".panel",
    ".toolbar",
    "#play",
    "#speed",
    "#scrubber",
    "#your-input",
    "#status",
    ".legend",
  ];
  const noSideways = (page) =>
    page.evaluate(() => document.documentElement.scrollWidth <= window.innerWidth);
  // Every text of every panel's header shown whole inside its header (with `panels`), and the
  // status's sentence whole in its box: the texts that are cut, or none.
  async function assertWhole(page, label, { panels = true } = {}) {
    const cut = await page.evaluate((panels) => {
      const found = [];
      const outside = (inner, outer) =>
        inner.left < outer.left - 0.5 ||
        inner.right > outer.right + 0.5 ||
        inner.top < outer.top - 0.5 ||
        inner.bottom > outer.bottom + 0.5;
      for (const panel of panels ? document.querySelectorAll(".panel") : []) {
        const header = panel.querySelector("header");
        if (outside(header.getBoundingClientRect(), panel.getBoundingClientRect()))
          found.push(`${header.textContent}: the header leaves its panel`);
        for (const cell of header.children) {
          if (
            cell.scrollWidth > cell.clientWidth ||
            cell.scrollHeight > cell.clientHeight ||
            outside(cell.getBoundingClientRect(), header.getBoundingClientRect())
          )
            found.push(`"${cell.textContent}"`);
        }
      }
      const status = document.getElementById("status");
      const said = document.getElementById("status-text");
      if (
        status.scrollHeight > status.clientHeight ||
        outside(said.getBoundingClientRect(), status.getBoundingClientRect())
      )
        found.push(`the status "${said.textContent}"`);
      return found;
    }, panels);
    assert.deepEqual(cut, [], `${label}: texts cut`);
  }
  // The viewport changed: the page refits its panels on the next frames.
  async function resize(page, viewport) {
    await page.setViewportSize(viewport);
    await new Promise((resolve) => setTimeout(resolve, 100));
    await settle(page);
  }
  async function axeViolations(page) {
    if (!(await page.evaluate(() => typeof window.axe === "object")))
      await page.addScriptTag({ content: axeSource });
    const found = await page.evaluate(async () => (await window.axe.run()).violations);
    return found.map(
      (violation) => `${violation.id}: ${violation.nodes.map((node) => node.target).join(" ")}`,
    );
  }

  const defaultGroups = groupsOf(defaultDoc);
  let page = await openPage(defaultPage);
  const canRecord = (await state(page)).canRecord;
  assert.ok(
    canRecord || !options.expectWasm,
    "the page has no WebAssembly recorder, but one was built",
  );
  // The traces of each built-in input the page shows: the module's where it records them.
  const pageGroups = [];

  await check(
    "every input: each panel ends sorted, with counters at the trace's totals",
    async () => {
      assert.deepEqual(
        await page.locator("#pattern-field option").allTextContents(),
        catalog.patterns.map((pattern) => pattern.name),
        "the patterns of the catalogue",
      );
      const choices = await page.locator("#input-choice option").count();
      assert.equal(choices, defaultGroups.length, "one choice per built-in input");
      for (let g = 0; g < defaultGroups.length; ++g) {
        await page.locator("#input-choice").selectOption(String(g));
        await idle(page);
        const doc = await shownDoc(page);
        assertSameAsNative(
          JSON.stringify(doc),
          JSON.stringify({ ...defaultDoc, traces: defaultGroups[g] }),
          options.sameLibrary,
          `built-in input ${g}`,
        );
        pageGroups.push(doc.traces);
        await runToEnd(page);
        await assertFinished(page, doc.traces);
        if (g === 0) await page.screenshot({ path: path.join(options.work, "page-end.png") });
      }
    },
  );

  await check(
    "stepping back and forth, seeking and Home/End return exactly the same bars and counters; " +
      "the panels stay put",
    async () => {
      await page.locator("#input-choice").selectOption("0");
      await idle(page);
      const traces = (await shownDoc(page)).traces;
      const length = Math.max(...traces.map((trace) => trace.events.length));
      await pause(page);
      await press(page, "Home");
      await settle(page);
      await assertShows(page, traces, 0, "Home");
      const middle = Math.floor(length / 3);
      await seek(page, middle);
      // Where every sort still runs, the status says what each did: whole, all the same.
      await seek(page, Math.floor(Math.min(...traces.map((trace) => trace.events.length)) / 2));
      await assertWhole(page, "paused with every sort running, 1366x768", { panels: false });
      await seek(page, middle);
      const before = await assertShows(page, traces, middle, "seek");
      const panelTops = () =>
        page
          .locator(".panel")
          .evaluateAll((panels) => panels.map((p) => p.getBoundingClientRect().top));
      const tops = await panelTops();
      await press(page, "ArrowRight", 30);
      await settle(page);
      await assertShows(page, traces, middle + 30, "30 steps forward");
      assert.deepEqual(await panelTops(), tops, "stepping moves no panel");
      await press(page, "ArrowLeft", 30);
      await settle(page);
      const after = await assertShows(page, traces, middle, "30 steps back");
      assert.deepEqual(
        after.panels,
        before.panels,
        "back where it was, drawn and written the same",
      );
      await page.locator("#step-forward").click();
      await page.locator("#step-back").click();
      await page.locator("#step-back").click();
      await settle(page);
      await assertShows(page, traces, middle - 1, "buttons");
      await page.screenshot({ path: path.join(options.work, "page-middle.png") });
      await press(page, "End");
      await settle(page);
      await assertShows(page, traces, length, "End");
      await press(page, "ArrowLeft", 5);
      await settle(page);
      await assertShows(page, traces, length - 5, "back from the end");
    },
  );

  await check("the status narrates a comparison with a held value", async () => {
    const traces = (await shownDoc(page)).traces;
    const holder = traces.find((trace) => trace.events.some(comparesHeld));
    const index = holder.events.findIndex(comparesHeld);
    const { i, result, a, b, from_j: fromJ } = named(holder.events[index]).fields;
    await seek(page, index);
    await press(page, "ArrowRight");
    await settle(page);
    const status = await page.locator("#status").textContent();
    const where = placeText(placesOf(holder, sources)[index]);
    assert.ok(
      status.includes(
        `${holder.algorithm}, ${where}: compares slot ${i} (value ${a}) with the held value ${b} ` +
          `(copied from slot ${fromJ}): ${result}`,
      ),
      status,
    );
    assert.equal(await page.locator("#status").getAttribute("aria-live"), "polite");
  });

  // Where the code view marks a line: inside the pane's visible box, with nothing of the code
  // running out of it sideways; which mark it is; what the line above the code says.
  const markedLine = (page) =>
    page.evaluate(() => {
      const pane = document.getElementById("code");
      const marks = pane.querySelectorAll(".current, .last, .handover");
      const outer = pane.getBoundingClientRect();
      const [left, top] = [outer.left + pane.clientLeft, outer.top + pane.clientTop];
      const box = marks.length ? marks[0].getBoundingClientRect() : null;
      return {
        marks: Array.from(marks, (mark) => mark.className),
        inside:
          box !== null &&
          box.left >= left - 0.5 &&
          box.top >= top - 0.5 &&
          box.right <= left + pane.clientWidth + 0.5 &&
          box.bottom <= top + pane.clientHeight + 0.5,
        sideways: pane.scrollWidth > pane.clientWidth,
        place: document.getElementById("code-place").textContent,
      };
    });

  await check(
    "the code view marks the library line of each sort's event, the native recorder's where it runs " +
      "the same code, whole in view; stepping back moves the mark back; the status names the line; " +
      "a finished sort's last step is marked apart",
    async () => {
      await page.locator("#input-choice").selectOption("0");
      await idle(page);
      await pause(page);
      await assertInView(page, ["#code-view", "#code"], "the code view at 1366x768");
      assert.ok(
        parseFloat(
          await page.locator("#code").evaluate((pane) => getComputedStyle(pane).fontSize),
        ) >= 13,
        "the code is 13 px or larger",
      );
      const traces = (await shownDoc(page)).traces;
      for (const [k, trace] of traces.entries()) {
        // The sorts that call no standard algorithm run the same code natively; the others are
        // checked against the module's own recording.
        const reference =
          STANDARD_LIBRARY_FREE.has(trace.algorithm) || options.sameLibrary
            ? defaultGroups[0][k]
            : trace;
        assert.equal(reference.algorithm, trace.algorithm);
        await page.locator("#code-sort").selectOption(trace.algorithm);
        const n = reference.events.length;
        const places = markedPlaces(reference, sources);
        const withCallee = places.findIndex((place) => place.callee);
        const handover = places.findIndex((place) => place.handover);
        const ticks = [
          1,
          2,
          n,
          ...Array.from({ length: 7 }, (_, s) => 2 + Math.floor(((n - 2) * (s + 1)) / 8)),
        ];
        if (withCallee >= 0) ticks.push(withCallee + 1);
        if (handover >= 0) ticks.push(handover + 1);
        for (const tick of ticks) {
          const label = `${trace.algorithm} at tick ${tick}`;
          await seek(page, tick);
          const shown = await state(page);
          const expected = places[tick - 1];
          assert.deepEqual(
            [shown.code.sort, shown.code.file, shown.code.line],
            [trace.algorithm, expected.file, expected.line],
            label,
          );
          assert.equal(shown.code.marked, expected.text, `${label}: the marked line's text`);
          const marked = await markedLine(page);
          assert.ok(marked.inside && !marked.sideways, `${label}: the marked line whole in view`);
          // The sort has finished from its last tick on, as its panel says.
          assert.equal(shown.code.finished, tick >= n, `${label}: finished`);
          const mark = expected.handover ? "handover" : tick >= n ? "last" : "current";
          assert.deepEqual(marked.marks, [`code-line ${mark}`], label);
          assert.equal(shown.code.handover, Boolean(expected.handover), `${label}: hand-over`);
          if (tick >= n)
            assert.ok(
              marked.place.startsWith(`${trace.algorithm} finished at tick ${n}; its last step`),
              `${label}: ${marked.place}`,
            );
          if (tick === withCallee + 1 || tick < n) {
            const status = await page.locator("#status").textContent();
            assert.ok(
              status.includes(`${trace.algorithm}, ${placeText(expected)}: `),
              `${label}: ${status}`,
            );
          }
          if (tick < 2) continue;
          await press(page, "ArrowLeft");
          await settle(page);
          const back = places[tick - 2];
          assert.deepEqual(
            [(await state(page)).code.line, (await state(page)).code.file],
            [back.line, back.file],
            `${label}: a step back marks the event before`,
          );
          await press(page, "ArrowRight");
          await settle(page);
          assert.deepEqual(
            (await state(page)).code,
            shown.code,
            `${label}: and a step forward restores it`,
          );
        }
      }
      await page.screenshot({ path: path.join(options.work, "page-code.png") });
    },
  );

  await check(
    "keys: Space plays and pauses, + and - change the speed and the arrows up and down do not; " +
      "the download",
    async () => {
      await page.locator("#speed").fill("9");
      await press(page, "Home");
      const speed = await page.locator("#speed-label").textContent();
      await press(page, "ArrowDown");
      await press(page, "ArrowUp");
      assert.equal(
        await page.locator("#speed-label").textContent(),
        speed,
        "the arrows up and down scroll instead",
      );
      await press(page, "-");
      const slower = await page.locator("#speed-label").textContent();
      assert.notEqual(slower, speed);
      await press(page, "+");
      assert.equal(await page.locator("#speed-label").textContent(), speed);
      await press(page, " ");
      await page.clock.runFor(500);
      const playing = await state(page);
      assert.equal(playing.playing, true, "Space plays");
      assert.ok(playing.tick > 0, "the clock moves");
      await press(page, " ");
      const paused = await state(page);
      await page.clock.runFor(500);
      assert.equal((await state(page)).playing, false, "Space pauses");
      assert.equal((await state(page)).tick, paused.tick, "paused stays put");

      const [download] = await Promise.all([
        page.waitForEvent("download"),
        page.locator("#download").click(),
      ]);
      const saved = JSON.parse(fs.readFileSync(await download.path(), "utf8"));
      assert.deepEqual(saved, await shownDoc(page), "the download holds the traces shown");
      assert.deepEqual(saved.traces, pageGroups[0], "the traces of the first input");
    },
  );
  assert.deepEqual(page.errors, [], "no errors on the page");
  await page.context().close();

  await check(
    "stability: the legend's example races 24 values with 4 distinct keys; equal values are numbered " +
      "in their starting order; each panel's verdict is the one the trace's identities give, whole " +
      "at 1366x768, 390x844 and 911x512 with every other text",
    async () => {
      const example = await openPage(defaultPage);
      await example.locator(".legend a[href^='#pattern=']").click();
      await idle(example);
      const traces = (await shownDoc(example)).traces;
      assert.deepEqual([traces[0].pattern, traces[0].size], ["shuffled_4_values", 24]);
      await runToEnd(example);
      const shown = await state(example);
      const status = await example.locator("#status").textContent();
      traces.forEach((trace, k) => {
        const ids = trace.input.map((_, slot) => slot);
        for (const { kind, fields } of trace.events.map(named))
          if (kind === "write") ids[fields.slot] = fields.new_id;
        let pairs = 0;
        for (let p = 0; p < ids.length; ++p) {
          for (let q = p + 1; q < ids.length; ++q)
            if (trace.output[p] === trace.output[q] && ids[p] > ids[q]) ++pairs;
        }
        const verdict = stabilityVerdict(pairs);
        assert.equal(shown.panels[k].event, `sorted; ${verdict}`, trace.algorithm);
        assert.ok(
          status.includes(`${trace.algorithm}: sorted; ${verdict}`),
          `${trace.algorithm}: ${status}`,
        );
        assert.equal(
          pairs === 0,
          catalog.sorts[k].stable,
          `${trace.algorithm}: the verdict agrees with the catalogue`,
        );
        const rank = (id) =>
          trace.input.slice(0, id + 1).filter((value) => value === trace.input[id]).length;
        assert.deepEqual(
          shown.panels[k].labels,
          trace.output.map((value, slot) => `${value}${subscript(rank(ids[slot]))}`),
          `${trace.algorithm}: each bar's rank among equal values`,
        );
      });
      assert.equal(
        shown.panels.find((panel) => panel.algorithm === "BubbleSort").event,
        "sorted; kept the order of equal values",
        "BubbleSort keeps the order",
      );
      await example.screenshot({ path: path.join(options.work, "page-stability.png") });
      await assertWhole(example, "the end at 1366x768");
      await resize(example, { width: 390, height: 844 });
      await assertWhole(example, "the end at 390x844");
      await example.screenshot({ path: path.join(options.work, "page-stability-390.png") });
      // And at 150 % zoom, where each panel's texts take one line when they fit on it.
      await resize(example, { width: 911, height: 512 });
      await assertWhole(example, "the end at 911x512");
      await assertInView(example, RACE_IN_VIEW, "the end at 911x512");
      assert.deepEqual(example.errors, []);
      await example.context().close();
    },
  );

  await check(
    "cost curves: each point is the recorder's count for that n, the ring the race shown; the CSV " +
      "holds the same counts; every sort its own colour and dashes, for ten sorts too; curves that " +
      "lie on each other are named; the text 13 px or larger",
    async () => {
      const costs = await openPage(defaultPage, "#pattern=shuffled&size=64&seed=1");
      await idle(costs);
      await costs.locator("#cost-draw").click();
      // Counting runs in a worker of its own, on the real clock, to n = 16384.
      await costs.locator("#cost-csv:enabled").waitFor({ timeout: 240000 });
      await idle(costs);
      const [comparisons, writes] = await costs
        .locator("#cost-charts figure")
        .evaluateAll((figures) =>
          figures.map((figure) =>
            Array.from(
              figure.querySelectorAll("circle[data-n]"),
              (c) => `${c.dataset.sort} ${c.dataset.n} ${c.dataset.value}`,
            ),
          ),
        );
      const plotted = (points, trace, n, value) =>
        value === 0 || points.includes(`${trace.algorithm} ${n} ${value}`);
      // The module's own recording of the race shown, n = 64, and the native recorder's where it runs the same code.
      const recorded = (await shownDoc(costs)).traces;
      const expectations = recorded.map((trace) => [trace, 64]);
      for (const n of [8, 64, 512]) {
        const doc = JSON.parse(
          native(["--pattern", "shuffled", "--size", String(n), "--seed", "1"]),
        );
        for (const trace of doc.traces) {
          if (options.sameLibrary || STANDARD_LIBRARY_FREE.has(trace.algorithm))
            expectations.push([trace, n]);
        }
      }
      for (const [trace, n] of expectations) {
        assert.ok(
          plotted(comparisons, trace, n, trace.comparisons),
          `${trace.algorithm} n=${n}: ${trace.comparisons} comparisons`,
        );
        assert.ok(
          plotted(writes, trace, n, trace.writes),
          `${trace.algorithm} n=${n}: ${trace.writes} writes`,
        );
      }
      assert.equal(
        await costs.locator("#cost-charts circle[data-shown]").count(),
        2 * recorded.length,
        "a ring per sort and chart",
      );
      const [download] = await Promise.all([
        costs.waitForEvent("download"),
        costs.locator("#cost-csv").click(),
      ]);
      const rows = fs
        .readFileSync(await download.path(), "utf8")
        .trim()
        .split("\n")
        .slice(1)
        .map((row) => row.split(","));
      // Every sort is counted at every size up to the largest, but for one whose events, grown
      // as n² from the last size counted, would pass the budget at the next: the legend says so.
      const sizes = [...new Set(rows.map((row) => Number(row[3])))];
      assert.equal(Math.max(...sizes), catalog.limits.max_count_values, "counted up to the limit");
      const legend = await costs.locator("#cost-legend").textContent();
      for (const { name } of catalog.sorts) {
        const own = rows.filter((row) => row[4] === name).map((row) => row.slice(3).map(Number));
        assert.deepEqual(
          own.map(([n]) => n),
          sizes.slice(0, own.length),
          `${name}: from the smallest n`,
        );
        const [n, , c, e, w] = own[own.length - 1];
        if (own.length === sizes.length) {
          assert.doesNotMatch(legend, new RegExp(`${name} \\(counted`), legend);
          continue;
        }
        const next = sizes[own.length];
        assert.ok(
          (c + e + w) * (next / n) ** 2 > catalog.limits.count_budget,
          `${name} stops at ${n}`,
        );
        assert.match(legend, new RegExp(`${name} \\(counted to n = ${n}: n = ${next} would pass`));
      }
      for (const [pattern, , , n, sort, c, , w] of rows) {
        assert.equal(pattern, "shuffled");
        assert.ok(
          plotted(comparisons, { algorithm: sort }, n, Number(c)) &&
            plotted(writes, { algorithm: sort }, n, Number(w)),
          `${sort} n=${n} in the CSV and the chart`,
        );
      }
      // Colour and dashes: no pair twice among the catalogue's sorts, nor among ten; each colour
      // 3:1 on white; the curves drawn in them.
      const count = Math.max(10, catalog.sorts.length);
      const styles = await costs.evaluate(
        (count) => Array.from({ length: count }, (_, k) => window.seriesStyle(k)),
        count,
      );
      const pair = ({ colour, dash }) => `${colour} "${dash}"`;
      assert.equal(new Set(styles.map(pair)).size, count, `${styles.map(pair)}`);
      for (const { colour } of styles)
        assert.ok(contrast(colour, "#ffffff") >= 3, `${colour} stands 3:1 on white`);
      const drawn = await costs
        .locator("#cost-charts figure")
        .first()
        .locator("polyline[stroke-width='2']")
        .evaluateAll((lines) =>
          lines.map((line) => ({
            colour: line.getAttribute("stroke"),
            dash: line.getAttribute("stroke-dasharray"),
          })),
        );
      assert.deepEqual(drawn.map(pair), styles.slice(0, catalog.sorts.length).map(pair));
      // Sorts whose counts agree at every n both were counted at lie on each other: each such
      // pair is named in one sentence under its chart, and no other.
      let coinciding = 0;
      for (const [measure, column] of [
        ["comparisons", 5],
        ["writes", 7],
      ]) {
        const counts = new Map(catalog.sorts.map(({ name }) => [name, new Map()]));
        for (const row of rows) counts.get(row[4]).set(row[3], Number(row[column]));
        const note = (
          await costs.locator(`.cost-notes[data-measure=${measure}]`).allTextContents()
        ).join(" ");
        const sentences = note.split(/(?<=\.) /);
        for (const [first, own] of counts) {
          for (const [second, other] of counts) {
            if (first >= second) continue;
            const common = [...own.keys()].filter((n) => other.has(n));
            const same =
              common.every((n) => own.get(n) === other.get(n)) &&
              common.filter((n) => own.get(n) > 0).length >= 2;
            const named = sentences.some((line) => line.includes(first) && line.includes(second));
            assert.equal(named, same, `${measure} of ${first} and ${second}: "${note}"`);
            coinciding += same;
          }
        }
      }
      assert.ok(coinciding > 0, "on shuffled input, two sorts write as much at every n");
      // The text's size on the screen, on a projector and on a phone, where a chart scaled to
      // fit would shrink it.
      const textSize = () =>
        costs
          .locator("#cost-charts svg text")
          .first()
          .evaluate(
            (text) =>
              parseFloat(getComputedStyle(text).fontSize) * text.ownerSVGElement.getScreenCTM().a,
          );
      assert.ok((await textSize()) >= 13, `the charts' text is ${await textSize()} px`);
      await costs
        .locator("#cost-panel")
        .screenshot({ path: path.join(options.work, "page-costs.png") });
      await resize(costs, { width: 390, height: 844 });
      assert.ok((await textSize()) >= 13, `at 390 px, the charts' text is ${await textSize()} px`);
      await costs
        .locator("#cost-panel")
        .screenshot({ path: path.join(options.work, "page-costs-390.png") });
      assert.deepEqual(
        await axeViolations(costs),
        [],
        "axe-core finds nothing with the charts drawn",
      );
      assert.deepEqual(costs.errors, []);
      await costs.context().close();
    },
  );

  await check(
    "export for slides: the race as shown and the history picture are PNG files of their size",
    async () => {
      const slides = await openPage(defaultPage, "#pattern=shuffled&size=24&seed=1&tick=50");
      await idle(slides);
      const saved = async (selector) => {
        const [file] = await Promise.all([
          slides.waitForEvent("download"),
          slides.locator(selector).click(),
        ]);
        return fs.readFileSync(await file.path());
      };
      // A PNG file: its signature, then the IHDR chunk with the width and the height.
      const pngSize = (bytes, label) => {
        assert.deepEqual(
          [...bytes.subarray(0, 8)],
          [0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a],
          `${label}: PNG signature`,
        );
        assert.equal(bytes.toString("latin1", 12, 16), "IHDR", label);
        return [bytes.readUInt32BE(16), bytes.readUInt32BE(20)];
      };
      const [frameWidth, frameHeight] = pngSize(await saved("#export-frame"), "the race");
      const canvases = await slides
        .locator(".panel .plot canvas")
        .evaluateAll((list) => list.map((c) => [c.width, c.height]));
      assert.equal(
        frameWidth,
        Math.max(...canvases.map(([w]) => w)),
        "the race image is as wide as the panels",
      );
      assert.ok(
        frameHeight > canvases.reduce((sum, [, h]) => sum + h, 0),
        "and holds every panel with its line of text",
      );
      await slides.locator("#export-history").click();
      for (let k = 0; k < 500 && (await slides.locator("#history-picture").isHidden()); ++k) {
        await new Promise((resolve) => setTimeout(resolve, 10));
      }
      await idle(slides);
      const shown = await slides.locator("#history-picture").evaluate((c) => [c.width, c.height]);
      assert.ok(shown[0] > 0 && shown[1] > 0, "the picture is shown");
      assert.deepEqual(
        pngSize(await saved("#save-history"), "the history picture"),
        shown,
        "saved at its size",
      );
      if (options.sameLibrary) {
        const folder = path.join(options.work, "pictures-24");
        fs.mkdirSync(folder, { recursive: true });
        sortShow(options, [
          "--json",
          "--output",
          path.join(folder, "unused.json"),
          "--pattern",
          "shuffled",
          "--size",
          "24",
          "--seed",
          "1",
          "--pictures",
          folder,
        ]);
        assert.deepEqual(
          pngSize(fs.readFileSync(path.join(folder, "history-shuffled.png")), "native"),
          shown,
        );
      }
      // The video: the race at its shortest, on the page's clock moved with the real one.
      await slides.locator("#speed").fill(await slides.locator("#speed").getAttribute("max"));
      const video = slides.waitForEvent("download", { timeout: 60000 });
      await slides.locator("#export-video").click();
      let file = null;
      video.then((download) => (file = download));
      for (let k = 0; k < 400 && !file; ++k) {
        await slides.clock.runFor(50);
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      assert.ok(file, "the video is saved when the race ends");
      assert.match(file.suggestedFilename(), /\.webm$/);
      const webm = fs.readFileSync(await file.path());
      assert.deepEqual([...webm.subarray(0, 4)], [0x1a, 0x45, 0xdf, 0xa3], "an EBML (WebM) header");
      assert.ok(webm.subarray(0, 64).toString("latin1").includes("webm"), "of doctype webm");
      assert.ok(webm.length > 1000, `a video of ${webm.length} bytes`);
      assert.deepEqual(slides.errors, []);
      await slides.context().close();
    },
  );

  await check(
    "sound: off at first, no audio before a gesture, one tone per step of the chosen sort whose pitch " +
      "rises with the value, silent while paused, remembered",
    async () => {
      const context = await browser.newContext({ viewport: PROJECTOR });
      // An AudioContext that records what it is asked to play.
      await context.addInitScript(() => {
        window.audio = { contexts: 0, tones: [] };
        const param = () => ({ value: 0, setValueAtTime() {}, exponentialRampToValueAtTime() {} });
        window.AudioContext = class {
          constructor() {
            ++window.audio.contexts;
            this.currentTime = 0;
            this.destination = {};
          }
          createGain() {
            return { gain: param(), connect() {} };
          }
          createOscillator() {
            const tone = { type: "sine", frequency: param() };
            return {
              get type() {
                return tone.type;
              },
              set type(t) {
                tone.type = t;
              },
              frequency: tone.frequency,
              connect() {},
              start() {
                window.audio.tones.push(tone);
              },
              stop() {},
            };
          }
        };
      });
      const page = await context.newPage();
      await page.clock.install();
      await page.goto(`file://${defaultPage}#pattern=shuffled&size=24&seed=1&tick=0`);
      await page.waitForSelector("body[data-ready=true]");
      await page.clock.runFor(50);
      const audio = () =>
        page.evaluate(() => ({
          contexts: window.audio.contexts,
          tones: window.audio.tones.map((t) => [t.type, t.frequency.value]),
        }));
      assert.equal(
        await page.locator("#sound").getAttribute("aria-pressed"),
        "false",
        "off at first",
      );
      await press(page, "ArrowRight", 3);
      assert.deepEqual(await audio(), { contexts: 0, tones: [] }, "no audio while off");
      await page.locator("#sound").click();
      assert.equal((await audio()).contexts, 1, "made on the click");
      const traces = (await shownDoc(page)).traces;
      const chosen = (await state(page)).code.sort;
      const trace = traces.find((t) => t.algorithm === chosen);
      const heard = [];
      for (let tick = 4; tick <= 40; ++tick) {
        await press(page, "ArrowRight");
        const tones = (await audio()).tones;
        if (tick > trace.events.length) continue;
        const { kind, fields } = named(trace.events[tick - 1]);
        assert.equal(tones.length, tick - 3, `one tone per step, tick ${tick}`);
        const [type, frequency] = tones[tones.length - 1];
        assert.equal(type, kind === "write" ? "triangle" : "sine", `tick ${tick}: a ${kind}`);
        heard.push([kind === "write" ? fields.new : fields.a, frequency]);
      }
      for (const [value, frequency] of heard) {
        for (const [other, otherFrequency] of heard) {
          if (value < other)
            assert.ok(frequency < otherFrequency, `${value} sounds lower than ${other}`);
        }
      }
      const before = (await audio()).tones.length;
      await page.clock.runFor(2000);
      assert.equal((await audio()).tones.length, before, "silent while paused");
      await page.reload();
      await page.waitForSelector("body[data-ready=true]");
      assert.equal(await page.locator("#sound").getAttribute("aria-pressed"), "true", "remembered");
      assert.equal((await audio()).contexts, 0, "and still no audio before a gesture");
      await context.close();
    },
  );

  await check(
    "a projector and a phone: everything in view at 1366x768, at 150 % zoom (911x512) and at " +
      "390x844, nothing sideways at 320 px; bars and marks stand out 3:1; values written on the bars " +
      "at 13 px or more; on a touch screen every target 24x24 px or more and no Space to press",
    async () => {
      const projector = await openPage(defaultPage);
      await assertInView(projector, RACE_IN_VIEW, "1366x768 at load");
      assert.equal(
        await projector.locator(".panel").count(),
        defaultGroups[0].length,
        "every sort has a panel",
      );
      assert.match(await projector.locator("#status").textContent(), /Space pauses/);
      const { colours, panels } = await state(projector);
      const pairs = [
        ...["compare", "write", "held", "thrown"].flatMap((mark) => [
          [mark, "bar"],
          [mark, "panel"],
        ]),
        ...["bar", "range", "strip", "handover", "limit"].map((mark) => [mark, "panel"]),
      ];
      for (const [front, behind] of pairs) {
        const ratio = contrast(colours[front], colours[behind]);
        assert.ok(ratio >= 3, `${front} against ${behind}: ${ratio.toFixed(2)}:1`);
      }
      assert.ok(
        (await projector.evaluate("LABEL_FONT")) >= 13,
        "the size of the values on the bars",
      );
      assert.ok(
        panels.every((panel) => panel.labels.length === panel.values.length),
        "40 values are written on their bars",
      );
      await projector.context().close();
      const zoomed = await openPage(defaultPage, "", { viewport: { width: 911, height: 512 } });
      await assertInView(zoomed, RACE_IN_VIEW, "911x512 at load");
      assert.equal(await zoomed.locator(".panel").count(), defaultGroups[0].length);
      await zoomed.screenshot({ path: path.join(options.work, "page-911x512.png") });
      await zoomed.context().close();
      const touch = await openPage(defaultPage, "", {
        viewport: { width: 390, height: 844 },
        hasTouch: true,
        isMobile: true,
      });
      await assertInView(touch, RACE_IN_VIEW, "390x844 on a touch screen");
      assert.equal((await state(touch)).playing, true);
      assert.doesNotMatch(await touch.locator("#status").textContent(), /Space/);
      assert.equal(
        await touch.locator(".legend .keys").isVisible(),
        false,
        "no keys in the legend",
      );
      const small = await touch.locator("button, select, input").evaluateAll((targets) =>
        targets
          .filter((target) => target.checkVisibility())
          .map((target) => [
            `${target.id} ${target.type} ${target.value}`,
            target.getBoundingClientRect(),
          ])
          .filter(([, box]) => box.width < 24 || box.height < 24)
          .map(([name, box]) => `${name} ${box.width}x${box.height}`),
      );
      assert.deepEqual(small, [], "targets under 24x24 px");
      await touch.context().close();
      for (const width of [390, 320]) {
        const phone = await openPage(defaultPage, "", { viewport: { width, height: 844 } });
        if (width === 390) await assertInView(phone, RACE_IN_VIEW, "390x844 at load");
        assert.ok(await noSideways(phone), `${width} px: no sideways scroll`);
        await phone.evaluate(() => {
          location.hash = "#pattern=nonesuch";
        });
        await phone.locator("#link-message").waitFor();
        assert.ok(
          await noSideways(phone),
          `${width} px: no sideways scroll with the link's message`,
        );
        await phone.locator("#your-input").click();
        assert.ok(await noSideways(phone), `${width} px: no sideways scroll at the input panel`);
        await phone.evaluate(() => window.scrollTo(0, 0));
        const tops = await phone
          .locator(".panel")
          .evaluateAll((panels) => panels.map((p) => p.getBoundingClientRect().top));
        await press(phone, "ArrowRight", 3);
        await settle(phone);
        assert.deepEqual(
          await phone
            .locator(".panel")
            .evaluateAll((panels) => panels.map((p) => p.getBoundingClientRect().top)),
          tops,
          `${width} px: stepping moves no panel`,
        );
        if (width === 390)
          await phone.screenshot({ path: path.join(options.work, "page-390.png") });
        await phone.context().close();
      }
    },
  );

  await check(
    "more sorts than five: a catalogue of seven (two of them copies under other names), racing " +
      "seven and six, has every panel, the controls and the legend in view at 1366x768 and 390x844, " +
      "and every text whole at the end",
    async () => {
      // What sort_show would write for seven sorts, which the browser cannot record: the
      // catalogue and the embedded traces each hold two sorts more, copies of two of the five.
      const copies = catalog.sorts
        .slice(1, 3)
        .map((sort) => ({ ...sort, name: `${sort.name}Copy` }));
      const more = { ...catalog, sorts: [...catalog.sorts, ...copies] };
      const traces = defaultGroups.flatMap((group) => [
        ...group,
        ...copies.map((copy) => ({
          ...group.find((trace) => `${trace.algorithm}Copy` === copy.name),
          algorithm: copy.name,
        })),
      ]);
      const element = (id, json) =>
        `<script id="${id}" type="application/json">${JSON.stringify(json)}</script>`;
      const html = fs
        .readFileSync(defaultPage, "utf8")
        .replace(/<script id="sorting-catalog" [^>]*>[^<]*<\/script>/, () =>
          element("sorting-catalog", more),
        )
        .replace(/<script id="sorting-traces" [^>]*>[^<]*<\/script>/, () =>
          element("sorting-traces", { ...defaultDoc, traces }),
        )
        .replace(/const WASM_BASE64 = "[A-Za-z0-9+/=]*";/, 'const WASM_BASE64 = "";');
      const seven = path.join(options.work, "show-seven-sorts.html");
      fs.writeFileSync(seven, html);
      const names = more.sorts.map((sort) => sort.name);
      const first = defaultGroups[0][0];
      const six = `#pattern=${first.pattern}&size=${first.size}&seed=${first.seed}&sorts=${names.slice(0, 6)}`;
      for (const viewport of [PROJECTOR, { width: 390, height: 844 }]) {
        for (const [fragment, count] of [
          ["", 7],
          [six, 6],
        ]) {
          const label = `${count} sorts at ${viewport.width}x${viewport.height}`;
          const page = await openPage(seven, fragment, { viewport });
          assert.equal(await page.locator(".panel").count(), count, label);
          await assertInView(page, RACE_IN_VIEW, label);
          if (count === 7) {
            await runToEnd(page);
            await assertFinished(page, traces.slice(0, 7));
            await assertInView(page, RACE_IN_VIEW, `${label}, at the end`);
            await assertWhole(page, `${label}, at the end`);
            await page.screenshot({
              path: path.join(options.work, `page-seven-${viewport.width}.png`),
            });
          }
          assert.deepEqual(page.errors, [], label);
          await page.context().close();
        }
      }
    },
  );

  await check(
    "links: each bad one explained in view, names in any letter case, the view reproduced",
    async () => {
      const patterns = defaultGroups.map((traces) => traces[0].pattern);
      const bad = [
        ["#pattern=foo", /unknown pattern "foo"/i, new RegExp(patterns.join(", "))],
        ["#values=a,b", /"a" is not a whole number/],
        ["#pattern=shuffled&size=100000", /size must be from 1 to \d+; got 100000/],
        ["#values=3,1,2&direction=sideways", /direction "sideways"/, /ascending and descending/],
        ["#foo=bar", /unknown key "foo"/, /the keys are values, pattern/],
        ["#size=10", /need a pattern/],
        ["#values=3,%E0%A4%A", /malformed %-escape/],
        ["#values=1e9", /exponent/, /1000000000/],
        [
          "#values=3,1,2&comparator=sideways",
          /unknown comparator "sideways"/i,
          /the comparators are less, less-equal, .*throw-at:K/,
        ],
        ["#values=3,1,2&comparator=throw-at", /throw-at takes K: write throw-at:K/],
      ];
      // The first opens the page; the others are typed over it into the address bar.
      const linked = await openPage(defaultPage, bad[0][0]);
      const banner = linked.locator("#link-message");
      for (const [fragment, ...messages] of bad) {
        if (fragment !== bad[0][0]) {
          await linked.evaluate(() => {
            document.getElementById("link-message").hidden = true;
          });
          await linked.evaluate((hash) => {
            location.hash = hash;
          }, fragment);
          await banner.waitFor();
        }
        assert.ok(await banner.isVisible(), `${fragment}: a message`);
        await assertInView(linked, ["#link-message"], fragment);
        const text = await banner.textContent();
        for (const message of messages) assert.match(text, message, `${fragment}: ${text}`);
        const first = `${defaultGroups[0][0].pattern}, ${defaultGroups[0][0].size} values`;
        const fallback =
          fragment === bad[0][0] ? `Showing ${first}` : `The race shown stays: ${first}`;
        assert.ok(text.includes(fallback), `${fragment}: says which race it shows: ${text}`);
      }
      assert.equal(
        (await shownDoc(linked)).traces[0].pattern,
        defaultGroups[0][0].pattern,
        "the first input shows",
      );
      assert.deepEqual(linked.errors, [], "no errors on the page");
      await linked.context().close();
      // Links of 10,000 characters: each bad part quoted short and the list cut, so that the
      // message fits a 320x640 screen with its Dismiss button, which closes it.
      const huge = (start, part) => (start + part.repeat(10000)).slice(0, 10000);
      const long = [
        huge("#pattern=", "x"),
        huge("#values=", "9"),
        huge("#values=1,", "%E0%A4"),
        `#${Array.from({ length: 2000 }, (_, k) => `key${k}=${k}`).join("&")}`.slice(0, 10000),
      ];
      const narrow = await openPage(defaultPage, "", { viewport: { width: 320, height: 640 } });
      for (const fragment of long) {
        await narrow.evaluate((hash) => {
          location.hash = hash;
        }, fragment);
        await narrow.locator("#link-message").waitFor();
        const label = `a link of ${fragment.length} characters, ${fragment.slice(0, 12)}…`;
        await assertInView(narrow, ["#link-message", "#link-message .dismiss"], label);
        await narrow.locator("#link-message .dismiss").click();
        assert.equal(await narrow.locator("#link-message").isVisible(), false, label);
      }
      await narrow.context().close();
      if (!canRecord) return;
      // Other letter cases, and a wrong key beside a good input: that race, with a message.
      const cased = await openPage(
        defaultPage,
        "#Pattern=Pipe_Organ&size=12&direction=DESCENDING&Bogus=1",
      );
      const doc = await shownDoc(cased);
      assert.equal(doc.traces[0].pattern, "pipe_organ");
      assert.equal(doc.traces[0].comparator, "descending");
      assert.equal(doc.traces[0].size, 12);
      assert.match(await cased.locator("#link-message").textContent(), /unknown key "bogus"/);
      // Copy link carries the input, the sorts, the speed and the tick; it reopens that view, paused.
      await pause(cased);
      await cased.locator("#sort-choice input[value=HeapSort]").uncheck();
      await cased.locator("#speed").fill("4");
      await seek(cased, 17);
      // The clipboard as the page sees it: first one that takes the text, then one that refuses,
      // where the page shows the link to copy by hand.
      await cased.evaluate(() => {
        navigator.clipboard.writeText = async (text) => {
          window.copiedLink = text;
        };
      });
      await cased.locator("#copy-link").click();
      await cased.clock.runFor(50);
      const copied = await cased.evaluate(() => window.copiedLink);
      assert.equal(await cased.locator("#copy-note").textContent(), "Link copied.");
      await cased.evaluate(() => {
        navigator.clipboard.writeText = async () => {
          throw new Error("not allowed");
        };
      });
      await cased.locator("#copy-link").click();
      await cased.clock.runFor(50);
      assert.equal(
        await cased.locator("#link-field").inputValue(),
        copied,
        "the same link, to copy by hand",
      );
      assert.equal(await cased.evaluate(() => document.activeElement.id), "link-field");
      const before = await state(cased);
      await cased.context().close();
      const fragment = copied.slice(copied.indexOf("#"));
      assert.match(fragment, /tick=17/);
      const reopened = await openPage(defaultPage, fragment);
      const after = await state(reopened);
      // The same view: heights aside, as the first page was shorter by its message.
      const view = (shown) => ({
        ...shown,
        panels: shown.panels.map(({ heights, ...panel }) => panel),
      });
      for (const key of ["tick", "length", "duration", "chosen", "panels"]) {
        assert.deepEqual(view(after)[key], view(before)[key], `${key} after reopening ${fragment}`);
      }
      assert.equal(after.playing, false, "a link with a tick opens paused");
      assert.equal(
        await reopened.locator("#link-message").isVisible(),
        false,
        "a good link has no message",
      );
      await reopened.context().close();
    },
  );

  await check(
    "pace and quiet: a 3-value race still runs after 2 s and ends near the chosen duration; " +
      "no live region changes while playing",
    async () => {
      const small = await openPage(defaultPage, canRecord ? "#values=3,1,2" : "");
      await small.evaluate(() => {
        window.liveChanges = 0;
        const observer = new MutationObserver((changes) => (window.liveChanges += changes.length));
        document
          .querySelectorAll("[aria-live], [role=status], [role=alert], [role=log], output")
          .forEach((region) =>
            observer.observe(region, { subtree: true, childList: true, characterData: true }),
          );
      });
      await small.clock.runFor(2000);
      let shown = await state(small);
      assert.equal(shown.playing, true, "still playing after 2 s");
      assert.equal(shown.duration, 20);
      assert.equal(
        await small.evaluate(() => window.liveChanges),
        0,
        "no live announcement while playing",
      );
      await small.clock.runFor(16000);
      assert.equal((await state(small)).playing, true, "still playing after 18 s");
      await small.clock.runFor(3000);
      shown = await state(small);
      assert.equal(shown.playing, false, "over after 21 s");
      assert.equal(shown.tick, shown.length);
      assert.ok((await small.evaluate(() => window.liveChanges)) > 0, "the end is announced");
      await small.context().close();
    },
  );

  await check("reduced motion: the page waits for the visitor instead of playing", async () => {
    const still = await openPage(defaultPage, "", { reducedMotion: "reduce" });
    await still.clock.runFor(1000);
    const shown = await state(still);
    assert.equal(shown.playing, false);
    assert.equal(shown.tick, 0);
    await still.context().close();
  });

  await check(
    "twelve links of 512 values 200 ms apart: the last one's race within 3 s of it, never idle " +
      "on an older race, the retained heap at most 150 MB",
    async () => {
      if (!canRecord) return;
      const busy = await openPage(defaultPage, "", { clock: false });
      const session = await busy.context().newCDPSession(busy);
      const key = (seed) => `pattern:shuffled:512:${seed}:ascending`;
      // Every 10 ms, in the page: whether it said it was idle while showing another race than
      // the one the last link asked for (from the moment the page heard of the link).
      await busy.evaluate(() => {
        window.idleOnOlder = [];
        window.addEventListener("hashchange", () => (window.wanted = window.asked));
        setInterval(() => {
          const shown = window.sortingShow.state();
          if (!shown.busy && window.wanted && shown.input !== window.wanted)
            window.idleOnOlder.push(shown.input);
        }, 10);
      });
      let peak = 0;
      for (let seed = 1; seed <= 12; ++seed) {
        await busy.evaluate(
          ([hash, wanted]) => {
            window.asked = wanted;
            location.hash = hash;
          },
          [`#pattern=shuffled&size=512&seed=${seed}`, key(seed)],
        );
        if (seed === 12) break;
        await new Promise((resolve) => setTimeout(resolve, 200));
        if (seed % 3 === 0) {
          await session.send("HeapProfiler.collectGarbage");
          const heap = await session.send("Runtime.getHeapUsage");
          peak = Math.max(peak, (heap.usedSize + (heap.backingStorageSize || 0)) / 1048576);
        }
      }
      const started = Date.now(); // the last link's
      await busy.waitForFunction(
        (wanted) => !window.sortingShow.state().busy && window.sortingShow.state().input === wanted,
        key(12),
        { polling: 10, timeout: 3000 },
      );
      console.log(
        `     the last race after ${Date.now() - started} ms; retained heap peak ${peak.toFixed(1)} MB`,
      );
      // A long recording (2048 values) overtaken by a short one is cancelled: its race never shows.
      const overtaken = [
        ["#pattern=shuffled&size=2048&seed=1", "pattern:shuffled:2048:1:ascending"],
        ["#values=3,1,2", "values:3,1,2:ascending"],
      ];
      for (const link of overtaken) {
        await busy.evaluate(([hash, wanted]) => {
          window.asked = wanted;
          location.hash = hash;
        }, link);
        await new Promise((resolve) => setTimeout(resolve, 50));
      }
      await busy.waitForFunction(() => !window.sortingShow.state().busy, null, { polling: 10 });
      await new Promise((resolve) => setTimeout(resolve, 1500));
      assert.equal((await state(busy)).input, overtaken[1][1], "the short race stays");
      assert.deepEqual(
        await busy.evaluate(() => window.idleOnOlder),
        [],
        "idle only on the race asked for last",
      );
      assert.ok(peak <= 150, `retained heap ${peak.toFixed(1)} MB`);
      assert.deepEqual(busy.errors, []);
      await busy.context().close();
    },
  );

  await check(
    "512 shuffled values: seeking anywhere shows the replayed state at once; at the end of a race " +
      "of 2048, every text whole at 1366x768 and 390x844",
    async () => {
      const big = await openPage(bigPage);
      const traces = (await shownDoc(big)).traces;
      assertSameAsNative(
        JSON.stringify(await shownDoc(big)),
        JSON.stringify(bigDoc),
        options.sameLibrary,
        "512 shuffled",
      );
      const length = Math.max(...traces.map((trace) => trace.events.length));
      await pause(big);
      for (const tick of [
        length - 1,
        7,
        Math.floor(length / 2),
        Math.floor(length / 2) + 3000,
        1,
        length,
      ]) {
        await seek(big, tick);
        await assertShows(big, traces, tick, "512 shuffled");
      }
      assert.deepEqual(big.errors, []);
      await big.context().close();
      if (!canRecord) return;
      const longest = await openPage(defaultPage, "#pattern=shuffled&size=2048&seed=1&tick=0");
      await idle(longest);
      await press(longest, "End");
      await settle(longest);
      await assertWhole(longest, "2048 values at the end, 1366x768");
      await resize(longest, { width: 390, height: 844 });
      await assertWhole(longest, "2048 values at the end, 390x844");
      await longest.screenshot({ path: path.join(options.work, "page-2048-390.png") });
      assert.deepEqual(longest.errors, []);
      await longest.context().close();
    },
  );

  await check(
    "equality tests: ticks, narrated and counted apart; a page without the module replays " +
      "version-1 traces",
    async () => {
      const first = await openPage(defaultPage);
      const traces = (await shownDoc(first)).traces;
      const tester = traces.find((trace) => trace.equalities > 0);
      assert.ok(tester, "a sort that tests elements for equality");
      const index = tester.events.findIndex((event) => named(event).kind === "equality");
      const { i, j, equal: same, a, b } = named(tester.events[index]).fields;
      await pause(first);
      await seek(first, index);
      await press(first, "ArrowRight");
      await settle(first);
      await assertShows(first, traces, index + 1, "on an equality test");
      const status = await first.locator("#status").textContent();
      const where = placeText(placesOf(tester, sources)[index]);
      assert.ok(
        status.includes(
          `${tester.algorithm}, ${where}: tests slot ${i} (value ${a}) and slot ${j} (value ${b}) ` +
            `for equality: ${same ? "equal" : "not equal"}`,
        ),
        status,
      );
      await first.context().close();

      const equal = await openPage(defaultPage, "#pattern=all_equal&size=20");
      const doc = await shownDoc(equal);
      await runToEnd(equal);
      await assertFinished(equal, doc.traces);
      // On all-equal input the sort that tests for equality calls no comparator at all: its
      // equality tests are its ticks, so it does not finish at tick 0.
      assert.equal(doc.version, 2);
      const name = tester.algorithm;
      const trace = doc.traces.find((candidate) => candidate.algorithm === name);
      assert.ok(trace.equalities > 0, `${name} tests for equality on all-equal input`);
      const panel = (await state(equal)).panels.find((candidate) => candidate.algorithm === name);
      assert.match(
        panel.counters,
        new RegExp(`equality tests ${trace.equalities} / ${trace.equalities}`),
      );
      assert.equal(panel.state.endsWith(` at tick ${trace.events.length}`), true, panel.state);
      assert.ok(trace.events.length > 0, `${name} has ticks`);
      await equal.context().close();

      const html = fs.readFileSync(defaultPage, "utf8");
      const v1 = versionOne(defaultDoc);
      const bare = path.join(options.work, "show-without-module.html");
      fs.writeFileSync(bare, canRecord ? withoutModule(html, v1) : html);
      const old = await openPage(bare);
      assert.equal((await state(old)).canRecord, false);
      assert.match(
        await old.locator("#record-unavailable").textContent(),
        /built without the WebAssembly recorder/,
      );
      assert.equal(await old.locator("#values-form button").isDisabled(), true);
      if (canRecord) {
        await runToEnd(old);
        await assertFinished(old, groupsOf(v1)[0]);
      }
      await old.context().close();

      const noWasm = await browser.newContext({ viewport: PROJECTOR });
      await noWasm.addInitScript(() => {
        delete window.WebAssembly;
      });
      const blind = await noWasm.newPage();
      await blind.goto(`file://${defaultPage}`);
      await blind.waitForSelector("body[data-ready=true]");
      const said = canRecord ? "#link-message" : "#record-unavailable";
      assert.match(
        await blind.locator(said).textContent(),
        canRecord ? /cannot run WebAssembly/ : /built without/,
      );
      await noWasm.close();
    },
  );

  await check("recording in the browser: fragments, the input panel and bad input", async () => {
    if (!canRecord) {
      console.log("     (no WebAssembly module in this page: its message is checked above)");
      return;
    }
    let page12 = await openPage(defaultPage, "#values=5,1,4,2,3");
    const fromValues = JSON.stringify(await shownDoc(page12));
    assertSameAsNative(
      fromValues,
      native(["--values", "5,1,4,2,3"]),
      options.sameLibrary,
      "#values=",
    );
    assert.deepEqual(page12.errors, [], "no errors on the page");
    await page12.context().close();

    page12 = await openPage(
      defaultPage,
      "#pattern=pipe_organ&size=100&seed=7&direction=descending",
    );
    const fromPattern = JSON.stringify(await shownDoc(page12));
    assertSameAsNative(
      fromPattern,
      native([
        "--pattern",
        "pipe_organ",
        "--size",
        "100",
        "--seed",
        "7",
        "--direction",
        "descending",
      ]),
      options.sameLibrary,
      "#pattern=",
    );
    await runToEnd(page12);
    await assertFinished(page12, JSON.parse(fromPattern).traces);
    const shown = await state(page12);

    // The input panel: values typed in, then the race in view with the focus on Play.
    await page12.locator("#your-input").click();
    await page12.locator("#values-field").fill("9, -3 7  2147483647,-2147483648");
    await page12.locator("#direction-field").selectOption("ascending");
    await page12.locator("#values-form button").click();
    await idle(page12);
    const typed = JSON.stringify(await shownDoc(page12));
    assertSameAsNative(
      typed,
      native(["--values", "9,-3,7,2147483647,-2147483648"]),
      options.sameLibrary,
      "typed values",
    );
    assert.equal(
      new URL(page12.url()).hash,
      "#values=9,-3,7,2147483647,-2147483648",
      "the address follows",
    );
    await assertInView(page12, RACE_IN_VIEW, "after a recorded race");
    assert.equal(
      await page12.evaluate(() => document.activeElement.id),
      "play",
      "the focus is on Play",
    );
    await runToEnd(page12);
    for (const panel of (await state(page12)).panels) {
      assert.deepEqual(
        panel.values,
        [-2147483648, -3, 7, 9, 2147483647],
        `${panel.algorithm} sorted`,
      );
    }
    const limit = shown.maxValues;
    const bad = [
      ["values", "3, x, 5", /"x" is not a whole number/],
      ["values", "1 2147483648", /outside the 32-bit range/],
      ["values", "-2147483649", /outside the 32-bit range/],
      ["values", "2.5", /not a whole number: the values are integers/],
      ["values", "  ,  ", /at least one value/],
      [
        "values",
        Array.from({ length: limit + 1 }, (_, k) => k).join(","),
        new RegExp(`Too many values: ${limit + 1}`),
      ],
      ["size", String(limit + 1), new RegExp(`Size must be from 1 to ${limit}`)],
      ["size", "0", new RegExp(`Size must be from 1 to ${limit}`)],
      ["size", "2.5", /Size must be a whole number/],
      ["seed", "-1", /Seed must be a whole number/],
    ];
    for (const [field, text, message] of bad) {
      await page12.locator(`#${field}-field`).fill(text);
      await page12
        .locator(field === "values" ? "#values-form button" : "#pattern-form button")
        .click();
      await settle(page12);
      const where = field === "values" ? "#values-message" : "#pattern-message";
      assert.match(
        await page12.locator(where).textContent(),
        message,
        `message for ${field} "${text}"`,
      );
      assert.equal(
        JSON.stringify(await shownDoc(page12)),
        typed,
        `the race stays after ${field} "${text}"`,
      );
      await page12.locator(`#${field}-field`).fill({ values: "", size: "100", seed: "7" }[field]);
    }
    // A fragment edited by hand starts its race.
    await page12.evaluate(() => {
      location.hash = "#values=3,2,1&direction=descending";
    });
    await idle(page12);
    await page12.waitForFunction(() => window.sortingTraces.traces[0].input.join() === "3,2,1");
    assert.equal((await shownDoc(page12)).traces[0].comparator, "descending");
    // Only the race on screen stays recorded; an earlier one records again when chosen.
    await page12
      .locator("#input-choice")
      .selectOption({ label: "values 9, -3, 7, 2147483647, -2147483648 (5), ascending" });
    await idle(page12);
    assert.equal(JSON.stringify(await shownDoc(page12)), typed, "recorded again, the same");
    assert.equal(
      await page12.evaluate(() => document.querySelectorAll("#input-choice option").length),
      defaultGroups.length + 3,
      "every input stays listed",
    );
    assert.deepEqual(page12.errors, [], "no errors on the page");
    await page12.context().close();
  });

  // Predict mode: plays `answers` ({ answer }, a merge's as its arrangement) from the start of a
  // session, in a page under reduced motion where each answer brings the next question at once;
  // returns each question met, each grading, the mode's state and the sort's bars at the end.
  const predictState = (page) => page.evaluate(() => window.sortingShow.predict.state());
  const predictSession = (page, sort, kind, answers) =>
    page.evaluate(
      async ([sort, kind, answers]) => {
        const predict = window.sortingShow.predict;
        await predict.start(sort, kind);
        const [asked, graded] = [[], []];
        for (const { answer } of answers) {
          const { question } = predict.state();
          asked.push(question && { type: question.type, at: question.at });
          const same = (choice) => JSON.stringify(choice) === JSON.stringify(answer.arrangement);
          const choice = answer.arrangement ? { choice: question.choices.findIndex(same) } : answer;
          const result = predict.answer(choice);
          graded.push(result.error || result.correct);
        }
        await new Promise((resolve) => requestAnimationFrame(resolve));
        const panel = window.sortingShow.state().panels.find((p) => p.algorithm === sort);
        return { asked, graded, final: predict.state(), values: panel.values };
      },
      [sort, kind, answers],
    );
  // Waits, moving the page's clock where it is installed, until the mode asks a question.
  async function predictReady(page, clock = true) {
    for (let k = 0; k < 300 && !(await predictState(page)).ready; ++k) {
      if (clock) await page.clock.runFor(100);
      await new Promise((resolve) => setTimeout(resolve, 10));
    }
    assert.ok((await predictState(page)).ready, "predict mode asks a question");
  }
  const go = async (page, fragment) => {
    await page.evaluate((hash) => (location.hash = hash), fragment);
    await idle(page);
    return (await shownDoc(page)).traces;
  };
  const KINDS = ["moves", "comparisons", "milestones"];
  const DUPLICATES = "#values=5,3,8,3,1,5,9,2,5,3";

  await check(
    "predict mode: whole sessions of every sort and kind, answered from the traces, are all right " +
      "and end sorted; each variant agrees as far as its trace does and is named where it first " +
      "answers otherwise; an answer no variant gives names none; Show me counts a reveal, and " +
      "Start again draws a new input; the link holds no answer",
    async () => {
      if (!canRecord) return;
      const page = await openPage(defaultPage, "", { clock: false, reducedMotion: "reduce" });
      for (const fragment of [DUPLICATES, "#pattern=ascending&size=12"]) {
        for (const trace of await go(page, fragment)) {
          for (const kind of KINDS) {
            const questions = predictQuestions(trace, kind);
            const n = questions.length;
            const run = await predictSession(page, trace.algorithm, kind, questions);
            const { finished, step, right, wrong, revealed, summary } = run.final;
            assert.deepEqual(
              [run.asked, run.graded, [finished, step, right, wrong, revealed], run.values],
              [questions.map(({ type, at }) => ({ type, at })), questions.map(() => true)].concat([
                [true, n, n, 0, 0],
                trace.output,
              ]),
              `${fragment} ${trace.algorithm} ${kind}`,
            );
            assert.ok(summary.includes(`Steps: ${n}\nRight: ${n}\nWrong: 0\nRevealed: 0\n`));
          }
        }
      }
      // On 3, 3 the partition that moves equal elements first writes a slot with another
      // identity; on 3, 5, 3, 4 a merge's choices hold three orders of the ties.
      const named = new Set();
      for (const fragment of ["#values=3,3", "#values=3,5,3,4", DUPLICATES]) {
        const traces = await go(page, fragment);
        for (const sort of new Set(catalog.variants.map((variant) => variant.sort))) {
          const library = traces.find((trace) => trace.algorithm === sort);
          // The page's own state and writer, which are names of its scripts, not of `window`.
          const owns = await page.evaluate(
            `state.recorder.ask("variants", { request: state.current.request, sort: "${sort}" })` +
              `.then(({ traces }) => JSON.parse(traceDocumentChunks(state.format, traces).join("")).traces)`,
          );
          const { final } = await predictSession(page, sort, "moves", []);
          assert.deepEqual(
            final.variants,
            owns.map((own) => ({
              name: own.algorithm,
              agreesUntil: firstDifference(library, own),
            })),
            `${fragment} ${sort}: where each variant stops agreeing`,
          );
          const described = catalog.variants.filter((variant) => variant.sort === sort);
          for (const [k, own] of owns.entries()) {
            const theirs = (q) => {
              const start = variantStart(library, own, q.at);
              return start < 0 ? null : (nextStep(own, q.type, start, q) || q).answer;
            };
            for (const kind of KINDS) {
              const label = `${fragment} ${sort} ${own.algorithm} ${kind}`;
              const questions = predictQuestions(library, kind);
              const n = questions.findIndex(
                (q) => !theirs(q) || answerKey(theirs(q)) !== answerKey(q.answer),
              );
              if (n < 0 || !theirs(questions[n])) continue;
              const answers = [...questions.slice(0, n), { answer: theirs(questions[n]) }];
              const run = await predictSession(page, sort, kind, answers);
              assert.deepEqual(
                [run.asked[n], run.graded[n], run.final.misconception],
                [{ type: questions[n].type, at: questions[n].at }, false, own.algorithm],
                `${label}: ${run.final.feedback}`,
              );
              assert.ok(run.final.feedback.includes(described[k].description), label);
              named.add(`${sort} ${own.algorithm}`);
            }
          }
        }
      }
      assert.equal(named.size, catalog.variants.length, `variants named: ${[...named]}`);
      // Every comparison of QuickSort and of its variants holds the pivot: two slots match none.
      const none = await predictSession(page, "QuickSort", "comparisons", [
        { answer: { slots: [0, 1] } },
      ]);
      assert.deepEqual(
        [none.graded, none.final.misconception],
        [[false], null],
        none.final.feedback,
      );
      assert.doesNotMatch(none.final.feedback, /That is what/);
      // Show me, then Start again: a new input of the same pattern and size, or the same values
      // in a new order; the link names the input, the sort and the kind, and nothing more.
      for (const [fragment, keys] of [
        ["#pattern=shuffled&size=8&seed=4&predict=HeapSort&kind=moves", "pattern,size,seed"],
        [`${DUPLICATES}&predict=QuickSort&kind=milestones`, "values"],
      ]) {
        const [before] = await go(page, fragment);
        await predictReady(page, false);
        await page.evaluate(() => window.sortingShow.predict.reveal());
        const shown = await predictState(page);
        assert.deepEqual(
          [shown.step, shown.revealed, shown.streak, shown.phase],
          [1, 1, 0, "next"],
        );
        assert.match(shown.feedback, /^Shown: /);
        await page.evaluate(() => window.sortingShow.predict.restart());
        await idle(page);
        const [after] = (await shownDoc(page)).traces;
        const again = await predictState(page);
        assert.deepEqual([again.step, again.revealed, again.ready], [0, 0, true], fragment);
        assert.notDeepEqual(after.input, before.input, `${fragment}: a new input`);
        const sorted = (trace) => trace.input.slice().sort((x, y) => x - y);
        const values = after.pattern === "values";
        assert.deepEqual(
          [after.pattern, after.size, values ? sorted(after) : after.seed !== before.seed],
          [before.pattern, before.size, values ? sorted(before) : true],
          `${fragment}: the same pattern and size, a new seed or the same values`,
        );
        const link = new URL(page.url()).hash.slice(1).split("&");
        assert.equal(link.map((part) => part.split("=")[0]).join(), `${keys},predict,kind`);
      }
      // A call that throws is told as a throw, not as a comparison with an answer.
      await go(page, "#values=5,1,4,2&comparator=throw-at:1&predict=BubbleSort&kind=comparisons");
      await predictReady(page, false);
      await page.evaluate(() => window.sortingShow.predict.reveal());
      assert.match(
        (await predictState(page)).feedback,
        /^Shown: it asked the comparator about slot 1 \(value 1\) and slot 0 \(value 5\), and the comparator threw /,
      );
      assert.deepEqual(page.errors, []);
      await page.context().close();
    },
  );

  await check(
    "predict mode by Tab, Space and Enter alone, one announcement an answer; axe-core finds " +
      "nothing at 1366x768 and 390x844, and every target is 24x24 px on a phone",
    async () => {
      if (!canRecord) return;
      const page = await openPage(
        defaultPage,
        "#pattern=shuffled&size=8&seed=4&predict=QuickSort&kind=comparisons",
      );
      await predictReady(page);
      // Tabs to the control whose accessible name or text is `name`, and presses `key` there.
      const pressOn = async (name, key) => {
        for (let k = 0; k < 80; ++k) {
          await page.keyboard.press("Tab");
          const focused = await page.evaluate(() => [
            document.activeElement.getAttribute("aria-label"),
            document.activeElement.textContent,
          ]);
          if (focused.includes(name)) return page.keyboard.press(key);
        }
        throw new Error(`no control named "${name}" in reach of Tab`);
      };
      // Every change of each live region from here on, while the steps play between answers.
      await page.evaluate(() => {
        window.announced = {};
        for (const region of document.querySelectorAll(
          "[aria-live], [role=status], [role=alert]",
        )) {
          const count = () =>
            (window.announced[region.id] = (window.announced[region.id] || 0) + 1);
          new MutationObserver(count).observe(region, {
            subtree: true,
            childList: true,
            characterData: true,
          });
        }
      });
      const quick = (await shownDoc(page)).traces.find((trace) => trace.algorithm === "QuickSort");
      // The fourth is answered wrong, with the slot after the right one alone, then Next.
      for (const [n, q] of predictQuestions(quick, "comparisons").slice(0, 4).entries()) {
        const { values } = arrayAt(quick, q.at);
        const slots = n === 3 ? [(q.answer.slots[0] + 1) % values.length] : q.answer.slots;
        for (const slot of slots) await pressOn(`slot ${slot}, value ${values[slot]}`, "Space");
        if (q.answer.held && n < 3) await pressOn("the held value", "Space");
        await page.keyboard.press("Enter");
        assert.equal(
          (await predictState(page)).correct,
          n < 3,
          (await predictState(page)).feedback,
        );
        if (n === 3) {
          await page.clock.runFor(2000);
          assert.equal((await predictState(page)).phase, "next");
          await page.keyboard.press("Enter");
        }
        await predictReady(page);
      }
      assert.deepEqual(await page.evaluate(() => window.announced), { "predict-feedback": 4 });
      await go(page, "#pattern=shuffled&size=8&seed=4&predict=MergeSort&kind=milestones");
      await predictReady(page);
      const merge = (await shownDoc(page)).traces.find((trace) => trace.algorithm === "MergeSort");
      for (const q of predictQuestions(merge, "milestones").slice(0, 2)) {
        await pressOn(q.answer.arrangement.map(({ value }) => value).join(" "), "Enter");
        assert.equal((await predictState(page)).correct, true, (await predictState(page)).feedback);
        await predictReady(page);
      }
      assert.deepEqual(page.errors, []);
      await page.context().close();
      for (const [viewport, touch] of [
        [PROJECTOR, {}],
        [
          { width: 390, height: 844 },
          { hasTouch: true, isMobile: true },
        ],
      ]) {
        const label = `${viewport.width}x${viewport.height}`;
        const fragment = `${DUPLICATES}&predict=QuickSort&kind=comparisons`;
        const shown = await openPage(defaultPage, fragment, { clock: false, viewport, ...touch });
        await predictReady(shown, false);
        await shown.evaluate(() => window.sortingShow.predict.answer({ slots: [1], held: true }));
        await shown.waitForFunction(() => window.sortingShow.predict.state().phase === "next");
        await assertInView(shown, [".panel:not([hidden])", "#predict"], label);
        await shown.screenshot({
          path: path.join(options.work, `page-predict-${viewport.width}.png`),
        });
        assert.deepEqual(await axeViolations(shown), [], `${label}: axe-core in predict mode`);
        const small = await shown
          .locator("#predict button, #predict select")
          .evaluateAll((targets) =>
            targets
              .filter((target) => target.checkVisibility())
              .map((target) => [target.textContent, target.getBoundingClientRect()])
              .filter(([, box]) => box.width < 24 || box.height < 24),
          );
        assert.deepEqual(touch.hasTouch ? small : [], [], `${label}: targets under 24x24 px`);
        await shown.context().close();
      }
    },
  );

  // The race a link names, once a page already open has followed it.
  async function raceOf(page, key) {
    for (let k = 0; k < 500; ++k) {
      const shown = await state(page);
      if (!shown.busy && shown.input === key) return settle(page);
      await page.clock.runFor(10);
      await new Promise((resolve) => setTimeout(resolve, 10));
    }
    throw new Error(`the race ${key} never showed`);
  }
  async function follow(page, fragment, key) {
    await page.evaluate((hash) => {
      location.hash = hash;
    }, fragment);
    await raceOf(page, key);
  }
  // How many pixels of the canvas of the panel `k`'s bars have the colour #rrggbb.
  const pixelsOf = (page, k, colour) =>
    page.evaluate(
      ([k, colour]) => {
        const canvas = document.querySelectorAll(".panel .plot canvas")[k];
        const data = canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
        const [r, g, b] = [1, 3, 5].map((at) => parseInt(colour.slice(at, at + 2), 16));
        let count = 0;
        for (let p = 0; p < data.length; p += 4)
          count += data[p] === r && data[p + 1] === g && data[p + 2] === b;
        return count;
      },
      [k, colour],
    );
  // The page's words for an operand of a comparator call.
  const operandWords = (slot, value, from) =>
    slot !== null
      ? `slot ${slot} (value ${value})`
      : `the held value ${value}${from === null ? "" : ` (copied from slot ${from})`}`;
  // The clipboard as the page sees it, keeping what it is given.
  const copied = async (page, button) => {
    await page.evaluate(() => {
      navigator.clipboard.writeText = async (text) => {
        window.copiedText = text;
      };
    });
    await page.locator(button).click();
    await page.clock.runFor(50);
    return page.evaluate(() => window.copiedText);
  };

  await check(
    "the comparator lab: under each comparator of the catalogue, named in a link in any letter case, " +
      "each panel ends with the outcome its trace's identities give, the native recorder's; a " +
      "thrown call is narrated and marked with a cross; a choice records the race again; the " +
      "comparator and the outcomes are in the copied link and text",
    async () => {
      if (!canRecord) return;
      const [{ pattern, size, seed }] = defaultGroups[0];
      const input = `pattern=${pattern}&size=${size}&seed=${seed}`;
      const key = (rule) => `pattern:${pattern}:${size}:${seed}:ascending${rule ? `:${rule}` : ""}`;
      const args = ["--pattern", pattern, "--size", String(size), "--seed", String(seed)];
      // K throws in the middle of every sort's run: at half the fewest comparisons of any.
      const k = Math.floor(Math.min(...defaultGroups[0].map((trace) => trace.comparisons)) / 2);
      const lab = await openPage(defaultPage, `#${input}&tick=0`);
      const outcomes = new Set();
      for (const [index, { name, takes }] of catalog.comparators.entries()) {
        const rule = takes ? `${name}:${k}` : name;
        const written = index % 2 ? rule.toUpperCase() : rule;
        await follow(lab, `#${input}&comparator=${written}`, key(rule === "less" ? "" : rule));
        const traces = (await shownDoc(lab)).traces;
        const natives = JSON.parse(native([...args, "--comparator", rule])).traces;
        assert.equal(await lab.locator("#comparator-choice").inputValue(), name);
        assert.equal(await lab.locator("#throw-at-choice").isVisible(), Boolean(takes), rule);
        if (rule !== "less") {
          const listed = await lab.locator("#input-choice option:checked").textContent();
          assert.ok(listed.endsWith(`, comparator ${rule}`), listed);
        }
        await runToEnd(lab);
        const shown = await state(lab);
        traces.forEach((trace, t) => {
          const label = `${rule}: ${trace.algorithm}`;
          const { words, ...found } = outcomeOf(trace);
          outcomes.add(found.outcome);
          assert.equal(trace.rule, rule, label);
          assert.equal(shown.panels[t].event, words, label);
          assert.deepEqual({ outcome: trace.outcome, kept: trace.kept }, found, label);
          if (options.sameLibrary || STANDARD_LIBRARY_FREE.has(trace.algorithm)) {
            const { outcome, kept } = natives[t];
            assert.deepEqual({ outcome, kept }, found, `${label}, as sort_show --json has it`);
          }
          if (takes) assert.equal(words, `threw at call ${k}, every value kept`, label);
        });
        assert.equal(await lab.locator("#thrown-key").isVisible(), Boolean(takes), rule);
        if (!takes) continue;
        // Each thrown call: narrated in the status, and a cross of its own colour under its
        // slots where it has them, on that tick alone.
        const { colours } = await state(lab);
        for (const [t, trace] of traces.entries()) {
          const at = trace.events.findIndex((event) => named(event).kind === "throw");
          const { i, j, a, b, from_i: fromI, from_j: fromJ } = named(trace.events[at]).fields;
          await seek(lab, at);
          assert.equal(
            await pixelsOf(lab, t, colours.thrown),
            0,
            `${trace.algorithm}: no cross yet`,
          );
          await press(lab, "ArrowRight");
          await settle(lab);
          const status = await lab.locator("#status").textContent();
          // The race's last tick is narrated as its end.
          if (at + 1 === shown.length) continue;
          const words =
            `${trace.algorithm}, ${placeText(placesOf(trace, sources)[at])}: the comparator throws ` +
            `when asked about ${operandWords(i, a, fromI)} and ${operandWords(j, b, fromJ)}.`;
          assert.ok(status.includes(words), `${words} in ${status}`);
          if (i !== null || j !== null)
            assert.ok((await pixelsOf(lab, t, colours.thrown)) > 0, `${trace.algorithm}: a cross`);
        }
        await lab.screenshot({ path: path.join(options.work, "page-throw.png") });
      }
      assert.ok(outcomes.size >= 3, `the lab's outcomes: ${[...outcomes]}`);
      // A choice in the input panel, then in the toolbar with a K of its own, records the race
      // again under it; a K that is no call number is refused and the race stays.
      await lab.locator("#comparator-field").selectOption("less-equal");
      await raceOf(lab, key("less-equal"));
      assert.match(lab.url(), /comparator=less-equal/);
      await lab.locator("#comparator-choice").selectOption("throw-at");
      await raceOf(lab, key(`throw-at:${k}`));
      const thrown = `throw-at:${k + 1}`;
      for (const [count, wanted] of [
        [k + 1, key(thrown)],
        [0, key(thrown)],
      ]) {
        await lab.locator("#throw-at-choice").fill(String(count));
        await lab.locator("#throw-at-choice").dispatchEvent("change");
        await raceOf(lab, wanted);
      }
      assert.match(await lab.locator("#status").textContent(), /K must be from 1/);
      assert.equal((await shownDoc(lab)).traces[0].rule, thrown);
      assert.match(await copied(lab, "#copy-link"), new RegExp(`comparator=${thrown}&`));
      const text = await copied(lab, "#copy-summary");
      assert.match(text, new RegExp(`; ascending; comparator ${thrown} \\(`), text);
      assert.match(text, new RegExp(`#${input}&comparator=${thrown}\n`), text);
      for (const trace of (await shownDoc(lab)).traces) {
        assert.ok(
          text.includes(`\n${trace.algorithm}: ${trace.comparisons} comparisons`) &&
            text.includes(`; threw at call ${k + 1}, every value kept.\n`),
          `${trace.algorithm} in ${text}`,
        );
      }
      assert.deepEqual(lab.errors, []);
      await lab.context().close();
      // A page sort_show wrote under a comparator records its inputs under it.
      const ruled = await openPage(
        writePage(options, "show-less-equal.html", [...args, "--comparator", "less-equal"]),
      );
      await idle(ruled);
      assert.equal((await state(ruled)).input, key("less-equal"));
      await ruled.context().close();
    },
  );

  await check(
    "predict mode in a course's frame (embed=1): the race and the mode alone, and the parent " +
      "hears each answer and the end",
    async () => {
      if (!canRecord) return;
      const fragment = "#pattern=shuffled&size=8&seed=4&predict=BubbleSort&kind=milestones&embed=1";
      const parent = path.join(options.work, "course.html");
      fs.writeFileSync(
        parent,
        '<!DOCTYPE html><html lang="en"><title>A course</title><script>window.heard = [];' +
          'addEventListener("message", (event) => window.heard.push(event.data));</script>' +
          `<iframe title="Predict" src="${path.basename(defaultPage)}${fragment}"></iframe></html>`,
      );
      const context = await browser.newContext({ viewport: PROJECTOR, reducedMotion: "reduce" });
      const page = await context.newPage();
      await page.goto(`file://${parent}`);
      const frame = page.frames().find((f) => f.url().includes(path.basename(defaultPage)));
      await frame.waitForFunction(
        () => window.sortingShow && window.sortingShow.predict.state().ready,
      );
      const shown = [".masthead", ".toolbar", "#code-view", ".panel:not([hidden])", "#predict"];
      assert.deepEqual(
        await Promise.all(shown.map((selector) => frame.locator(selector).first().isVisible())),
        [false, false, false, true, true],
        `${shown} in the frame`,
      );
      const traces = JSON.parse(await frame.evaluate(() => JSON.stringify(window.sortingTraces)));
      const questions = predictQuestions(traces.traces[0], "milestones");
      for (const q of questions)
        await frame.evaluate((answer) => window.sortingShow.predict.answer(answer), q.answer);
      await page.waitForFunction((n) => window.heard.length === n + 1, questions.length);
      const heard = await page.evaluate(() => window.heard);
      const n = questions.length;
      assert.deepEqual(
        heard.map((m) => [m.type, m.version, m.event, m.sort, m.kind, m.step, m.right, m.correct]),
        heard.map((_, k) =>
          ["sorting-predict", 1, k < n ? "answer" : "end", "BubbleSort"].concat([
            "milestones",
            Math.min(k + 1, n),
            Math.min(k + 1, n),
            true,
          ]),
        ),
      );
      assert.ok(
        heard.every((m) => m.link.endsWith(fragment)),
        heard[0].link,
      );
      assert.match(heard[n].summary, new RegExp(`Steps: ${n}`));
      await context.close();
    },
  );

  await check(
    "McIlroy's adversary on 512 values: QuickSort makes n²/4 comparisons or more, IntroSort 4 n log₂ n " +
      "or fewer; each panel races its own input and offers it as an ordinary race that makes the same " +
      "comparisons; the hand-over to HeapSort is marked on the strip and on its line in the code " +
      "view; every panel in view and every text whole at 1366x768, 390x844 and 911x512",
    async () => {
      if (!canRecord) return;
      const n = 512;
      const fragment = `#pattern=shuffled&size=${n}&comparator=adversary`;
      const killer = await openPage(defaultPage, `${fragment}&tick=0`);
      await idle(killer);
      const traces = (await shownDoc(killer)).traces;
      const natives = JSON.parse(
        native(["--pattern", "shuffled", "--size", String(n), "--adversary"]),
      );
      traces.forEach((trace, k) => {
        if (options.sameLibrary || STANDARD_LIBRARY_FREE.has(trace.algorithm))
          assert.equal(JSON.stringify(trace), JSON.stringify(natives.traces[k]), trace.algorithm);
      });
      const comparisons = Object.fromEntries(traces.map((t) => [t.algorithm, t.comparisons]));
      assert.ok(comparisons.QuickSort >= (n * n) / 4, `QuickSort: ${comparisons.QuickSort}`);
      assert.ok(
        comparisons.IntroSort <= 4 * n * Math.log2(n),
        `IntroSort: ${comparisons.IntroSort}`,
      );
      assert.ok(new Set(traces.map((t) => t.input.join())).size > 1, "inputs of their own");
      await assertShows(killer, traces, 0, "each panel on its own input");
      const { panels, colours } = await state(killer);
      const links = traces.map((trace) => `#values=${trace.input.join(",")}`);
      assert.deepEqual(
        panels.map((panel) => panel.own),
        links,
      );
      // The first range whose depth budget is spent: IntroSortStep hands it to HeapSort.
      const at = FORMAT.rangeAt;
      const t = traces.findIndex((trace) => trace.ranges.some((range) => range[at.budget] === 0));
      const limited = traces[t];
      const range = limited.ranges.find((candidate) => candidate[at.budget] === 0);
      const tick = range[at.at] + 1;
      await killer.locator("#code-sort").selectOption(limited.algorithm);
      await seek(killer, tick - 1);
      assert.equal((await state(killer)).panels[t].strip.handover, false, "before the hand-over");
      assert.equal(await pixelsOf(killer, t, colours.handover), 0);
      await seek(killer, tick);
      const handed = await state(killer);
      assert.deepEqual(
        handed.panels[t].strip,
        {
          ...handed.panels[t].strip,
          first: range[at.first],
          last: range[at.last],
          depth: range[at.depth],
          handover: true,
          // The root's budget and one level more, where the spent budget hands over.
          limit: limited.ranges[0][at.budget] + 1,
          text: String(range[at.depth]),
        },
        "the strip at the hand-over",
      );
      assert.equal(range[at.depth], limited.ranges[0][at.budget] + 1, "at the limit");
      assert.ok((await pixelsOf(killer, t, colours.handover)) > 0, "the strip's dashes");
      const file = limited.files[range[at.file]];
      assert.deepEqual(
        [handed.code.file, handed.code.line, handed.code.handover],
        [file, range[at.line], true],
      );
      assert.equal(handed.code.marked, sources[file].split("\n")[range[at.line] - 1]);
      assert.equal(await killer.locator("#code .code-line.handover").count(), 1);
      assert.match(
        await killer.locator("#code-place").textContent(),
        new RegExp(`hands slots ${range[at.first]} to ${range[at.last]} to HeapSort`),
      );
      await killer.screenshot({ path: path.join(options.work, "page-handover.png") });

      await press(killer, "End");
      await settle(killer);
      for (const viewport of [
        PROJECTOR,
        { width: 390, height: 844 },
        { width: 911, height: 512 },
      ]) {
        const label = `the adversary's race at ${viewport.width}x${viewport.height}`;
        await resize(killer, viewport);
        await assertInView(killer, [...RACE_IN_VIEW, ".depth-side"], label);
        await assertWhole(killer, label);
        await killer.screenshot({
          path: path.join(options.work, `page-adversary-${viewport.width}.png`),
        });
      }
      // Down the page, under the race: the race as text.
      const summary = await copied(killer, "#copy-summary");
      assert.match(
        summary,
        /comparator adversary \(.*\nLink: .*\nEach sort ran on an input of its own/,
      );
      // Each panel's own input, raced as an ordinary race: the same comparisons.
      for (const [k, link] of links.entries()) {
        await follow(killer, link, `values:${traces[k].input.join(",")}:ascending`);
        const again = (await shownDoc(killer)).traces[k];
        assert.equal(again.rule, "less");
        assert.equal(again.comparisons, traces[k].comparisons, `${traces[k].algorithm}'s input`);
      }
      assert.deepEqual(killer.errors, []);
      await killer.context().close();
      // A page without the module holds the adversary's traces of one input: one race of them.
      const typed = ["--values", "5,1,4,2,3", "--adversary"];
      const embedded = path.join(options.work, "show-adversary-without-module.html");
      const html = fs.readFileSync(writePage(options, "show-adversary.html", typed), "utf8");
      fs.writeFileSync(embedded, withoutModule(html, JSON.parse(native(typed))));
      const bare = await openPage(embedded);
      assert.equal(await bare.locator("#input-choice option").count(), 1);
      assert.equal(
        (await state(bare)).panels.filter((panel) => panel.own).length,
        catalog.sorts.length,
      );
      await bare.context().close();
    },
  );

  await check(
    "the recursion strip: shown for the sorts whose traces have ranges, its range and depth at " +
      "sampled ticks, stepping back and forth too, the native recorder's; QuickSort down to depth " +
      "63 on 64 ascending values; the status on pause says it",
    async () => {
      if (!canRecord) return;
      const n = 64;
      const args = ["--pattern", "ascending", "--size", String(n)];
      const deep = await openPage(defaultPage, `#pattern=ascending&size=${n}&tick=0`);
      await idle(deep);
      const doc = await shownDoc(deep);
      const nativeText = native(args);
      assertSameAsNative(JSON.stringify(doc), nativeText, options.sameLibrary, "64 ascending");
      // The native trace where the sort runs the same code, otherwise the page's own, whose
      // ranges differ from the native ones in their events only (checked just above).
      const references = doc.traces.map((trace, k) =>
        options.sameLibrary || STANDARD_LIBRARY_FREE.has(trace.algorithm)
          ? JSON.parse(nativeText).traces[k]
          : trace,
      );
      const at = FORMAT.rangeAt;
      const deepest = references.map(() => 0);
      const assertStrips = async (tick, label) => {
        const shown = await state(deep);
        references.forEach((reference, k) => {
          const strip = shown.panels[k].strip;
          assert.equal(strip !== null, reference.ranges.length > 0, reference.algorithm);
          if (!strip) return;
          const range = rangeAtTick(reference, tick);
          assert.deepEqual(
            [strip.first, strip.last, strip.depth],
            range ? [range[at.first], range[at.last], range[at.depth]] : [null, null, null],
            `${reference.algorithm} at tick ${tick}, ${label}`,
          );
          deepest[k] = Math.max(deepest[k], strip.depth || 0);
        });
      };
      // Where each range starts and the tick before it, some 40 ranges a sort, and a spread.
      const ticks = new Set([0, 1]);
      for (const reference of references) {
        const stride = Math.ceil(reference.ranges.length / 40);
        reference.ranges.forEach((range, r) => {
          if (r % stride === 0) ticks.add(range[at.at]).add(range[at.at] + 1);
        });
      }
      const length = Math.max(...references.map((reference) => reference.events.length));
      for (let s = 0; s <= 16; ++s) ticks.add(Math.floor((length * s) / 16));
      const sampled = [...ticks].sort((x, y) => x - y);
      for (const [s, tick] of sampled.entries()) {
        await seek(deep, tick);
        await assertStrips(tick, "seeking");
        if (s % 10 || tick < 1) continue;
        await press(deep, "ArrowLeft");
        await settle(deep);
        await assertStrips(tick - 1, "a step back");
        await press(deep, "ArrowRight");
        await settle(deep);
        await assertStrips(tick, "and forth");
      }
      const quick = references.findIndex((reference) => reference.algorithm === "QuickSort");
      assert.equal(deepest[quick], n - 1, "QuickSort's deepest range");
      // Paused, the status says the range of each sort still running.
      const tick = references[quick].ranges[5][at.at] + 1;
      await seek(deep, tick);
      const range = rangeAtTick(references[quick], tick);
      assert.ok(
        (await deep.locator("#status").textContent()).includes(
          `QuickSort works on slots ${range[at.first]} to ${range[at.last]}, depth ${range[at.depth]}.`,
        ),
      );
      assert.deepEqual(deep.errors, []);
      await deep.context().close();
    },
  );

  await check(
    "axe-core: no violation at load, while playing, with a bad link and on a phone",
    async () => {
      const phone = { viewport: { width: 390, height: 844 } };
      const cases = [
        ["initial", "", { reducedMotion: "reduce" }],
        ["playing", "", {}],
        ["error", "#pattern=nonesuch&size=x", {}],
        ["phone", "", phone],
      ];
      // The lab's controls, the recursion strips, a thrown call and the panels' own inputs.
      if (canRecord) {
        for (const [name, fragment] of [
          ["throw-at", "#pattern=shuffled&size=64&comparator=throw-at:50&tick=60"],
          ["adversary", "#pattern=shuffled&size=64&comparator=adversary&tick=100"],
        ]) {
          cases.push([name, fragment, {}], [`${name} on a phone`, fragment, phone]);
        }
      }
      for (const [name, fragment, contextOptions] of cases) {
        const checked = await openPage(defaultPage, fragment, { clock: false, ...contextOptions });
        if (name === "playing") assert.equal((await state(checked)).playing, true);
        assert.deepEqual(await axeViolations(checked), [], `${name}: axe-core's violations`);
        await checked.context().close();
      }
    },
  );

  if (options.screenshot) {
    await check("screenshot for the README", async () => {
      // Mid-race on a projector, on a tick where a sort compares with a held value.
      const shot = await openPage(defaultPage);
      const traces = (await shownDoc(shot)).traces;
      const holder = traces.find((trace) => trace.events.some(comparesHeld));
      const tick = 1 + holder.events.findIndex((event, k) => k >= 250 && comparesHeld(event));
      await pause(shot);
      await seek(shot, tick - 1);
      await press(shot, "ArrowRight");
      await shot.mouse.move(0, 0);
      await settle(shot);
      await shot.screenshot({ path: options.screenshot });
      // The same moment with the cost curves drawn, down to them: the code view beside the race, the charts below.
      await shot.locator("#cost-draw").click();
      await shot.locator("#cost-csv:enabled").waitFor({ timeout: 240000 });
      await shot.evaluate(() => window.scrollTo(0, 0));
      await press(shot, "ArrowLeft");
      await press(shot, "ArrowRight");
      await shot.mouse.move(0, 0);
      await settle(shot);
      const bottom = await shot
        .locator("#cost-panel")
        .evaluate((panel) => panel.getBoundingClientRect().bottom + window.scrollY);
      // The whole page cut at the charts, with the race taken from a screenshot of the window: a
      // full-page capture scrolls the code view back to its top. Put together on the browser's canvas.
      const race = (await shot.screenshot()).toString("base64");
      const whole = (await shot.screenshot({ fullPage: true })).toString("base64");
      const cut = await shot.evaluate(
        async ([top, all, height]) => {
          const decode = async (png) =>
            createImageBitmap(await (await fetch(`data:image/png;base64,${png}`)).blob());
          const [window, page] = [await decode(top), await decode(all)];
          const canvas = Object.assign(document.createElement("canvas"), {
            width: page.width,
            height,
          });
          const g = canvas.getContext("2d");
          g.drawImage(page, 0, 0);
          g.drawImage(window, 0, 0);
          return canvas.toDataURL("image/png").split(",")[1];
        },
        [race, whole, Math.ceil(bottom) + 8],
      );
      fs.writeFileSync(
        path.join(path.dirname(options.screenshot), "show-code-and-chart.png"),
        Buffer.from(cut, "base64"),
      );
      await shot.context().close();
    });
  }
  await browser.close();

  const failed = results.filter((result) => !result.ok).length;
  console.log(
    `page: ${fs.statSync(defaultPage).size} bytes (default inputs); screenshots in ${options.work}`,
  );
  console.log(`browser test took ${((Date.now() - started) / 1000).toFixed(1)} s`);
  console.log(`${results.length - failed} passed, ${failed} failed`);
  return failed ? 1 : 0;
}

main().then(
  (code) => process.exit(code),
  (error) => {
    console.error(error.stack || String(error));
    process.exit(1);
  },
);
