// Drives the page that sort_show writes in the system Chromium: every sort runs to
// its end on fast-forwarded time, stepping back and forth returns exactly, the keys
// work, and (when the page embeds the WebAssembly recorder) inputs from the URL
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

const SKIP = 77;
const INSTALL_HINT = "sudo apt-get install chromium nodejs npm\nnpm ci --prefix tests/browser";

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

// playwright-core from the first folder that has it installed.
function loadPlaywright(folders) {
  for (const folder of folders) {
    try {
      return createRequire(path.join(folder, "package.json"))("playwright-core");
    } catch (error) {
      if (error.code !== "MODULE_NOT_FOUND") throw error;
    }
  }
  return null;
}

function sortShow(options, args) {
  return execFileSync(options.sortShow, args, { encoding: "utf8", maxBuffer: 1 << 30 });
}

function writePage(options, name, args) {
  const file = path.join(options.work, name);
  sortShow(options, ["--output", file, ...args]);
  return file;
}

// The panel's counters: equality tests only for a sort that makes them.
function counters(trace, comparisons, equalities, writes) {
  const tests = trace.equalities ? `, equality tests ${equalities} / ${trace.equalities}` : "";
  return `comparisons ${comparisons} / ${trace.comparisons}${tests}, writes ${writes} / ${trace.writes}`;
}

// What a panel must show after `tick` ticks of the shared clock, worked out from
// the native trace alone: the input with the writes so far applied, and the counts.
function expectedAt(trace, tick) {
  const values = trace.input.slice();
  let comparisons = 0;
  let equalities = 0;
  let writes = 0;
  for (const event of trace.events.slice(0, tick)) {
    if (event[0] === "c") {
      ++comparisons;
    } else if (event[0] === "e") {
      assert.equal(event[3], event[4] === event[5], `${trace.algorithm}: an equality test's answer`);
      ++equalities;
    } else {
      assert.equal(values[event[1]], event[2], `${trace.algorithm}: a write's old value`);
      values[event[1]] = event[3];
      ++writes;
    }
  }
  return { values, counters: counters(trace, comparisons, equalities, writes) };
}

// The sorts whose traces hold no step of the standard library's own algorithms,
// from sort_show's catalogue.
let STANDARD_LIBRARY_FREE = new Set();

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
      assert.equal(JSON.stringify(trace), JSON.stringify(native.traces[k]), `${name} byte-identical`);
      return;
    }
    const { events, comparisons, equalities, writes, ...rest } = trace;
    const { events: e, comparisons: c, equalities: q, writes: w, ...nativeRest } = native.traces[k];
    assert.deepEqual(rest, nativeRest, name);
    const replayed = expectedAt(trace, events.length);
    assert.deepEqual(replayed.values, trace.output, `${name}: its writes replay to its output`);
    assert.equal(replayed.counters, counters(trace, comparisons, equalities, writes),
                 `${name}: its totals count its events`);
  });
}

function groupsOf(doc) {
  const groups = [];
  for (const trace of doc.traces) {
    const last = groups[groups.length - 1];
    if (last && last[0].input.join() === trace.input.join() && last[0].pattern === trace.pattern &&
        last[0].comparator === trace.comparator) {
      last.push(trace);
    } else {
      groups.push([trace]);
    }
  }
  return groups;
}

async function main() {
  const options = parseArguments(process.argv.slice(2));
  if (!fs.existsSync(options.chromium)) {
    console.log(`SKIPPED: Chromium not found at ${options.chromium}. Install it with:\n${INSTALL_HINT}`);
    return SKIP;
  }
  // The pinned playwright-core refuses older Node.js; Debian 12's own nodejs is 18.
  const nodeMajor = Number(process.versions.node.split(".")[0]);
  if (nodeMajor < 20) {
    console.log(`SKIPPED: the browser test needs Node.js 20 or newer, not ${process.versions.node}.`);
    return SKIP;
  }
  const playwright = loadPlaywright(options.modules);
  if (!playwright) {
    console.log(`SKIPPED: the npm package playwright-core is not installed. Install it with:\n${INSTALL_HINT}`);
    return SKIP;
  }
  fs.mkdirSync(options.work, { recursive: true });

  const started = Date.now();
  const catalog = JSON.parse(sortShow(options, ["--catalog"]));
  STANDARD_LIBRARY_FREE = new Set(catalog.sorts.filter((sort) => sort.calls === "").map((sort) => sort.name));
  const defaultPage = writePage(options, "show.html", []);
  const defaultDoc = JSON.parse(sortShow(options, ["--json"]));
  const bigArgs = ["--pattern", "shuffled", "--size", "512", "--seed", "1"];
  const bigPage = writePage(options, "show-512.html", bigArgs);
  const bigDoc = JSON.parse(sortShow(options, ["--json", ...bigArgs]));

  const browser = await playwright.chromium.launch({
    executablePath: options.chromium,
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--no-first-run", "--disable-quic"],
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

  // A page on fast-forwarded time: requestAnimationFrame and performance.now follow page.clock.
  async function openPage(file, fragment = "", contextOptions = {}) {
    const context = await browser.newContext({ viewport: { width: 1200, height: 1000 }, ...contextOptions });
    const page = await context.newPage();
    const errors = [];
    page.on("pageerror", (error) => errors.push(error.message));
    page.on("console", (message) => { if (message.type() === "error") errors.push(message.text()); });
    await page.clock.install();
    await page.goto(`file://${file}${fragment}`);
    await page.waitForSelector("body[data-ready=true]");
    await page.clock.runFor(50);
    page.errors = errors;
    return page;
  }
  const state = (page) => page.evaluate(() => window.sortingShow.state());
  const settle = (page) => page.clock.runFor(40);
  async function assertShows(page, traces, tick, label) {
    const shown = await state(page);
    assert.equal(shown.tick, tick, `${label}: tick`);
    assert.deepEqual(shown.panels.map((panel) => panel.algorithm), traces.map((trace) => trace.algorithm));
    traces.forEach((trace, k) => {
      const expected = expectedAt(trace, tick);
      assert.deepEqual(shown.panels[k].values, expected.values, `${label}: ${trace.algorithm} bars at tick ${tick}`);
      assert.equal(shown.panels[k].counters, expected.counters, `${label}: ${trace.algorithm} counters`);
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
        assert.ok(order * (panel.values[i] - panel.values[i - 1]) >= 0, `${label}: ${trace.algorithm} sorted`);
        assert.ok(order * (panel.heights[i] - panel.heights[i - 1]) >= -1e-9, `${label}: bar heights ordered`);
      }
      assert.equal(panel.counters, counters(trace, trace.comparisons, trace.equalities, trace.writes),
                   `${label}: ${trace.algorithm}`);
      assert.match(panel.state, /^finished \d/, `${label}: ${trace.algorithm} says it finished`);
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
  async function runToEnd(page) {
    await page.locator("#speed").fill("100");
    if (!(await state(page)).playing) await page.locator("#play").click();
    for (let k = 0; k < 100 && (await state(page)).playing; ++k) await page.clock.runFor(250);
    await settle(page);
  }

  const defaultGroups = groupsOf(defaultDoc);
  let page = await openPage(defaultPage);

  await check("every input: each panel ends sorted, with counters at the trace's totals", async () => {
    assert.deepEqual(await page.locator("#pattern-field option").allTextContents(),
                     catalog.patterns.map((pattern) => pattern.name), "the patterns of the catalogue");
    const choices = await page.locator("#input-choice option").count();
    assert.equal(choices, defaultGroups.length, "one choice per recorded input");
    for (let g = 0; g < defaultGroups.length; ++g) {
      const traces = defaultGroups[g];
      await page.locator("#input-choice").selectOption(String(g));
      await runToEnd(page);
      await assertFinished(page, traces);
      if (g === 0) await page.screenshot({ path: path.join(options.work, "page-end.png"), fullPage: true });
    }
  });

  await check("stepping back and forth, seeking and Home/End return exactly the same bars and counters", async () => {
    const traces = defaultGroups[0];
    const length = Math.max(...traces.map((trace) => trace.events.length));
    await page.locator("#input-choice").selectOption("0");
    await pause(page);
    await press(page, "Home");
    await settle(page);
    await assertShows(page, traces, 0, "Home");
    const middle = Math.floor(length / 3);
    await seek(page, middle);
    const before = await assertShows(page, traces, middle, "seek");
    await press(page, "ArrowRight", 30);
    await settle(page);
    await assertShows(page, traces, middle + 30, "30 steps forward");
    await press(page, "ArrowLeft", 30);
    await settle(page);
    const after = await assertShows(page, traces, middle, "30 steps back");
    assert.deepEqual(after.panels, before.panels, "back where it was, drawn and written the same");
    await page.locator("#step-forward").click();
    await page.locator("#step-back").click();
    await page.locator("#step-back").click();
    await settle(page);
    await assertShows(page, traces, middle - 1, "buttons");
    await page.screenshot({ path: path.join(options.work, "page-middle.png"), fullPage: true });
    await press(page, "End");
    await settle(page);
    await assertShows(page, traces, length, "End");
    await press(page, "ArrowLeft", 5);
    await settle(page);
    await assertShows(page, traces, length - 5, "back from the end");
  });

  await check("the status line narrates a comparison with QuickSort's pivot", async () => {
    const traces = defaultGroups[0];
    const quick = traces.find((trace) => trace.algorithm === "QuickSort");
    const index = quick.events.findIndex((event) => event[0] === "c" && event[2] === null);
    assert.ok(index >= 0, "QuickSort compares with a pivot copy");
    const [, i, , result, a, b, , fromJ] = quick.events[index];
    await seek(page, index);
    await press(page, "ArrowRight");
    await settle(page);
    const status = await page.locator("#status").textContent();
    assert.ok(status.includes(`QuickSort compares slot ${i} (value ${a}) with the pivot ${b} ` +
                              `(copied from slot ${fromJ}): ${result}`), status);
    assert.equal(await page.locator("#status").getAttribute("aria-live"), "polite");
  });

  await check("keys: Space plays and pauses, arrows up and down change the speed; the download", async () => {
    await page.locator("#speed").fill("40");
    await press(page, "Home");
    const slow = await page.locator("#speed-label").textContent();
    await press(page, "ArrowDown");
    assert.notEqual(await page.locator("#speed-label").textContent(), slow);
    await press(page, "ArrowUp");
    assert.equal(await page.locator("#speed-label").textContent(), slow);
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

    const [download] = await Promise.all([page.waitForEvent("download"), page.locator("#download").click()]);
    const saved = JSON.parse(fs.readFileSync(await download.path(), "utf8"));
    assert.deepEqual(saved, { format: "sorting-trace", version: 2, traces: defaultGroups[0] },
                     "the download holds the traces shown");
  });
  assert.deepEqual(page.errors, [], "no errors on the page");
  await page.context().close();

  await check("equality tests are ticks, narrated and counted; a version-1 document still plays", async () => {
    const traces = defaultGroups[0];
    const bubble = traces.find((trace) => trace.equalities > 0);
    assert.ok(bubble, "a sort that tests elements for equality");
    const index = bubble.events.findIndex((event) => event[0] === "e");
    const [, i, j, equal, a, b] = bubble.events[index];
    const tested = await openPage(defaultPage);
    await pause(tested);
    await seek(tested, index);
    await press(tested, "ArrowRight");
    await settle(tested);
    await assertShows(tested, traces, index + 1, "on an equality test");
    const status = await tested.locator("#status").textContent();
    assert.ok(status.includes(`${bubble.algorithm} tests slot ${i} (value ${a}) and slot ${j} (value ${b}) ` +
                              `for equality: ${equal}`), status);
    await tested.context().close();

    // The same page with the traces as version 1 wrote them: no equality tests.
    const older = traces.map(({ equalities, events, ...rest }) =>
      ({ ...rest, events: events.filter((event) => event[0] !== "e") }));
    const text = JSON.stringify({ format: "sorting-trace", version: 1, traces: older });
    const page1 = path.join(options.work, "show-version-1.html");
    const html = fs.readFileSync(defaultPage, "utf8");
    const element = '<script id="sorting-traces" type="application/json">';
    const start = html.indexOf(element) + element.length;
    fs.writeFileSync(page1, html.slice(0, start) + text + html.slice(html.indexOf("</script>", start)));
    const one = await openPage(page1);
    await runToEnd(one);
    await assertFinished(one, older);
    assert.deepEqual(one.errors, [], "no errors on the page");
    await one.context().close();
  });

  await check("reduced motion: the page waits for the user instead of playing", async () => {
    const still = await openPage(defaultPage, "", { reducedMotion: "reduce" });
    await still.clock.runFor(1000);
    const shown = await state(still);
    assert.equal(shown.playing, false);
    assert.equal(shown.tick, 0);
    await still.context().close();
  });

  let seekFigures = "";
  await check("512 shuffled values: seeking anywhere shows the replayed state at once", async () => {
    const big = await openPage(bigPage);
    const traces = bigDoc.traces;
    const length = Math.max(...traces.map((trace) => trace.events.length));
    await pause(big);
    const ticks = [length - 1, 7, Math.floor(length / 2), Math.floor(length / 2) + 3000, 1, length];
    let slowest = 0;
    for (const tick of ticks) {
      const took = await big.locator("#scrubber").evaluate((slider, value) => {
        const t0 = performance.now();
        slider.value = String(value);
        slider.dispatchEvent(new Event("input", { bubbles: true }));
        return performance.now() - t0;
      }, tick);
      slowest = Math.max(slowest, took);
      await settle(big);
      await assertShows(big, traces, tick, "512 shuffled");
    }
    seekFigures = `slowest seek ${slowest.toFixed(1)} ms over ${length} ticks`;
    assert.deepEqual(big.errors, []);
    await big.context().close();
  });

  // Frames per second while five panels of 512 bars play, on the real clock (not a pass mark).
  let fpsFigures = "";
  await check("512 shuffled values: frames per second while playing", async () => {
    const context = await browser.newContext({ viewport: { width: 1200, height: 1000 } });
    const live = await context.newPage();
    await live.goto(`file://${bigPage}`);
    await live.waitForSelector("body[data-ready=true]");
    await live.locator("#speed").fill("75");  // about 5600 events per second: a long run
    await press(live, "Home");
    await press(live, " ");
    const t0 = Date.now();
    const first = await state(live);
    await live.waitForTimeout(2000);
    const last = await state(live);
    const seconds = (Date.now() - t0) / 1000;
    const frames = last.frames - first.frames;
    assert.equal(last.playing, true, "still playing after two seconds");
    fpsFigures = `${(frames / seconds).toFixed(1)} frames/s, ` +
                 `${((last.drawMilliseconds - first.drawMilliseconds) / frames).toFixed(2)} ms drawing per frame`;
    await context.close();
  });

  const recordFigures = [];
  await check("recording in the browser: fragments, the input panel and bad input", async () => {
    const recorder = await openPage(defaultPage);
    const canRecord = (await state(recorder)).canRecord;
    await recorder.context().close();
    if (!canRecord) {
      assert.ok(!options.expectWasm, "the page has no WebAssembly recorder, but one was built");
      const bare = await openPage(defaultPage);
      assert.match(await bare.locator("#record-unavailable").textContent(), /needs the WebAssembly module/);
      assert.equal(await bare.locator("#values-form button").isDisabled(), true);
      console.log("     (no WebAssembly module in this page: checked that the input panel says so)");
      await bare.context().close();
      return;
    }
    const native = (args) => sortShow(options, ["--json", ...args]).trim();

    let page12 = await openPage(defaultPage, "#values=5,1,4,2,3");
    const fromValues = await page12.evaluate(() => JSON.stringify(window.sortingTraces));
    assertSameAsNative(fromValues, native(["--values", "5,1,4,2,3"]), options.sameLibrary, "#values=");
    assert.deepEqual(page12.errors, [], "no errors on the page");
    await page12.context().close();

    page12 = await openPage(defaultPage, "#pattern=pipe_organ&size=100&seed=7&direction=descending");
    const fromPattern = await page12.evaluate(() => JSON.stringify(window.sortingTraces));
    assertSameAsNative(fromPattern, native(["--pattern", "pipe_organ", "--size", "100", "--seed", "7",
                                            "--direction", "descending"]), options.sameLibrary, "#pattern=");
    // A descending race runs to its end like the pre-recorded ones.
    await runToEnd(page12);
    await assertFinished(page12, JSON.parse(fromPattern).traces);
    const shown = await state(page12);

    // The input panel: values typed in, then bad input that must leave the race alone.
    await page12.locator("#values-field").fill("9, -3 7  2147483647,-2147483648");
    await page12.locator("#direction-field").selectOption("ascending");
    await page12.locator("#values-form button").click();
    await settle(page12);
    const typed = await page12.evaluate(() => JSON.stringify(window.sortingTraces));
    assertSameAsNative(typed, native(["--values", "9,-3,7,2147483647,-2147483648"]), options.sameLibrary,
                       "typed values");
    assert.equal(new URL(page12.url()).hash, "#values=9,-3,7,2147483647,-2147483648", "the fragment follows");
    await runToEnd(page12);
    for (const panel of (await state(page12)).panels) {
      assert.deepEqual(panel.values, [-2147483648, -3, 7, 9, 2147483647], `${panel.algorithm} sorted`);
    }
    const limit = shown.maxValues;
    const bad = [
      ["values", "3, x, 5", /"x" is not a whole number/],
      ["values", "1 2147483648", /outside the 32-bit range/],
      ["values", "-2147483649", /outside the 32-bit range/],
      ["values", "  ,  ", /at least one value/],
      ["values", Array.from({ length: limit + 1 }, (_, k) => k).join(","), new RegExp(`Too many values: ${limit + 1}`)],
      ["size", String(limit + 1), new RegExp(`Size must be from 1 to ${limit}`)],
      ["size", "0", new RegExp(`Size must be from 1 to ${limit}`)],
      ["size", "2.5", /Size must be a whole number/],
      ["seed", "-1", /Seed must be a whole number/],
    ];
    for (const [field, text, message] of bad) {
      await page12.locator(`#${field}-field`).fill(text);
      await page12.locator(field === "values" ? "#values-form button" : "#pattern-form button").click();
      await settle(page12);
      const where = field === "values" ? "#values-message" : "#pattern-message";
      assert.match(await page12.locator(where).textContent(), message, `message for ${field} "${text}"`);
      assert.equal(await page12.evaluate(() => JSON.stringify(window.sortingTraces)), typed,
                   `the race stays after ${field} "${text}"`);
      await page12.locator(`#${field}-field`).fill({ values: "", size: "100", seed: "7" }[field]);
    }
    // A fragment edited by hand starts its race.
    await page12.evaluate(() => { location.hash = "#values=3,2,1&direction=descending"; });
    await page12.waitForFunction(() => window.sortingTraces.traces[0].input.join() === "3,2,1");
    assert.equal(await page12.evaluate(() => window.sortingTraces.traces[0].comparator), "descending");
    await page12.evaluate(() => { location.hash = "#values=3,2,1"; });
    await page12.waitForFunction(() => window.sortingTraces.traces[0].comparator === "ascending");
    assert.deepEqual(page12.errors, [], "no errors on the page");
    await page12.context().close();

    // Recording time for the five sorts on 512 shuffled values (a figure, not a pass mark).
    const timing = await browser.newPage();
    await timing.goto(`file://${defaultPage}`);
    await timing.waitForSelector("body[data-ready=true]");
    for (const seed of [1, 2, 3]) {
      await timing.locator("#pattern-field").selectOption("shuffled");
      await timing.locator("#size-field").fill("512");
      await timing.locator("#seed-field").fill(String(seed));
      await timing.locator("#pattern-form button").click();
      const shown = await state(timing);
      recordFigures.push(`${shown.lastRecordMilliseconds.toFixed(1)} ms (shown after ` +
                         `${shown.lastShowMilliseconds.toFixed(1)} ms)`);
    }
    assertSameAsNative(await timing.evaluate(() => JSON.stringify(window.sortingTraces)),
                       native(["--pattern", "shuffled", "--size", "512", "--seed", "3"]), options.sameLibrary,
                       "512 shuffled");
    await timing.close();
  });

  if (options.screenshot) {
    await check("screenshot for the README", async () => {
      // Mid-race, on a tick where QuickSort compares with its pivot, so every mark is in the picture.
      const quick = defaultGroups[0].find((trace) => trace.algorithm === "QuickSort");
      const tick = 1 + quick.events.findIndex((event, k) => k >= 250 && event[0] === "c" && event[2] === null);
      const shot = await openPage(defaultPage);
      await pause(shot);
      await seek(shot, tick - 1);
      await press(shot, "ArrowRight");
      await shot.mouse.move(0, 0);
      await settle(shot);
      const legend = await shot.locator(".legend").boundingBox();
      await shot.screenshot({ path: options.screenshot, fullPage: true,
                              clip: { x: 0, y: 0, width: 1200, height: Math.ceil(legend.y + legend.height + 12) } });
      await shot.context().close();
    });
  }
  await browser.close();

  const failed = results.filter((result) => !result.ok).length;
  console.log(`page: ${fs.statSync(defaultPage).size} bytes (default inputs); screenshots in ${options.work}`);
  if (seekFigures) console.log(`seek: ${seekFigures}`);
  if (fpsFigures) console.log(`fps at 512 elements, five panels: ${fpsFigures}`);
  if (recordFigures.length) console.log(`recording 512 shuffled values in Chromium: ${recordFigures.join(", ")}`);
  console.log(`browser test took ${((Date.now() - started) / 1000).toFixed(1)} s`);
  console.log(`${results.length - failed} passed, ${failed} failed`);
  return failed ? 1 : 0;
}

main().then((code) => process.exit(code), (error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
