// Measures the page that sort_show writes, in the system Chromium on the real clock: how
// long recording 512 and 2048 values takes, what one race holds in memory, how smoothly 2048
// values replay at the top speed against an idle page in the same browser, the longest
// main-thread task in all of it, the page's size and the time to its first race.
// Figures, not pass marks: `make page-bench` runs it.
//
//   node page_bench.js --sort-show PATH --work DIR --modules DIR [--chromium PATH]

"use strict";

const { execFileSync } = require("node:child_process");
const fs = require("node:fs");
const { createRequire } = require("node:module");
const os = require("node:os");
const path = require("node:path");

function parseArguments(argv) {
  const options = { chromium: "/usr/bin/chromium", modules: [] };
  for (let k = 0; k < argv.length; ++k) {
    const name = argv[k];
    const next = () => {
      if (k + 1 >= argv.length) throw new Error(`${name} needs a value`);
      return argv[++k];
    };
    if (name === "--sort-show") options.sortShow = path.resolve(next());
    else if (name === "--work") options.work = path.resolve(next());
    else if (name === "--modules") options.modules.push(path.resolve(next()));
    else if (name === "--chromium") options.chromium = next();
    else throw new Error(`unknown option ${name}`);
  }
  if (!options.sortShow || !options.work || !options.modules.length) {
    throw new Error("--sort-show, --work and --modules are required");
  }
  return options;
}

const median = (numbers) => {
  const sorted = numbers.slice().sort((x, y) => x - y);
  return sorted.length ? sorted[Math.floor(sorted.length / 2)] : NaN;
};

// Collected in every page from its start: frame times and long tasks (over 50 ms).
function instrument() {
  window.benchFrames = [];
  window.benchLongTasks = [];
  const frame = (now) => {
    window.benchFrames.push(now);
    requestAnimationFrame(frame);
  };
  requestAnimationFrame(frame);
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries())
      window.benchLongTasks.push({ start: entry.startTime, duration: entry.duration });
  }).observe({ type: "longtask", buffered: true });
}

// The median frame interval and the longest task in a window of `ms` real milliseconds.
async function watch(page, ms) {
  const from = await page.evaluate(() => performance.now());
  await page.waitForTimeout(ms);
  return page.evaluate((start) => {
    const frames = window.benchFrames.filter((time) => time >= start);
    const intervals = frames.slice(1).map((time, k) => time - frames[k]);
    intervals.sort((x, y) => x - y);
    const tasks = window.benchLongTasks.filter((task) => task.start + task.duration >= start);
    return {
      interval: intervals[Math.floor(intervals.length / 2)],
      frames: frames.length,
      longest: Math.max(0, ...tasks.map((task) => task.duration)),
    };
  }, from);
}

async function idle(page) {
  await page.waitForFunction(() => !window.sortingShow.state().busy, null, {
    polling: 10,
    timeout: 60000,
  });
}

async function recordPattern(page, seed, size) {
  await page.locator("#pattern-field").selectOption("shuffled");
  await page.locator("#size-field").fill(String(size));
  await page.locator("#seed-field").fill(String(seed));
  await page.locator("#pattern-form button").click();
  await page.waitForFunction(
    (wanted) => {
      const shown = window.sortingShow.state();
      return !shown.busy && shown.input === wanted;
    },
    `pattern:shuffled:${size}:${seed}:ascending`,
    { polling: 10, timeout: 60000 },
  );
}

// The page's JavaScript heap and the typed arrays' storage beside it, after a forced collection:
// what the page holds.
async function heldMegabytes(page) {
  const session = await page.context().newCDPSession(page);
  await session.send("HeapProfiler.collectGarbage");
  const usage = await session.send("Runtime.getHeapUsage");
  await session.detach();
  return (usage.usedSize + (usage.backingStorageSize || 0)) / 1048576;
}

// The longest main-thread task since `from` (0: none over 50 ms), and how many passed 50 ms.
function tasksSince(page, from) {
  return page.evaluate(
    (start) =>
      window.benchLongTasks.filter((task) => task.start >= start).map((task) => task.duration),
    from,
  );
}

async function main() {
  const options = parseArguments(process.argv.slice(2));
  const load = createRequire(path.join(options.modules[0], "package.json"));
  const playwright = load("playwright-core");
  fs.mkdirSync(options.work, { recursive: true });
  const file = path.join(options.work, "bench.html");
  execFileSync(options.sortShow, ["--output", file], { encoding: "utf8" });

  const browser = await playwright.chromium.launch({
    executablePath: options.chromium,
    args: ["--no-sandbox", "--disable-gpu", "--enable-precise-memory-info", "--no-first-run"],
  });
  const open = async (url) => {
    const context = await browser.newContext({ viewport: { width: 1366, height: 768 } });
    const page = await context.newPage();
    await page.addInitScript(instrument);
    await page.goto(url);
    return page;
  };
  const figures = [];
  const megabytes = (value) => `${value.toFixed(1)} MB`;

  // An idle page in the same browser: the frame interval to match.
  const blank = await open("data:text/html,<title>idle</title><p>idle");
  await blank.waitForTimeout(500);
  const idleFrames = await watch(blank, 3000);
  await blank.context().close();

  // The held memory of a tiny race, as the base against which a race's own is read.
  const tiny = await open(`file://${file}#values=3,1,2`);
  await tiny.waitForSelector("body[data-ready=true]");
  await idle(tiny);
  const base = await heldMegabytes(tiny);
  await tiny.context().close();

  // Recording 512 shuffled values, 21 times from the input panel: the time in the worker, the
  // memory one race holds, the main thread's longest task.
  const page = await open(`file://${file}`);
  await page.waitForSelector("body[data-ready=true]");
  await idle(page);
  const from = await page.evaluate(() => performance.now());
  const recordTimes = [];
  for (let seed = 1; seed <= 21; ++seed) {
    await recordPattern(page, seed, 512);
    recordTimes.push(await page.evaluate(() => window.sortingShow.state().lastRecordMilliseconds));
  }
  const recordingTasks = await tasksSince(page, from);
  const held512 = await heldMegabytes(page);
  figures.push(
    `recording 512 shuffled values: median ${median(recordTimes).toFixed(0)} ms of 21 ` +
      `(${Math.min(...recordTimes).toFixed(0)} to ${Math.max(...recordTimes).toFixed(0)} ms), ` +
      `from the request to the traces in the page`,
  );
  figures.push(
    `one 512-value race held: ${megabytes(held512)} (JavaScript heap and typed arrays, after a ` +
      `forced collection; ${megabytes(held512 - base)} more than a page showing 3 values)`,
  );

  // 2048 shuffled values: recorded, held, and replayed at the top speed.
  await recordPattern(page, 1, 2048);
  const record2048 = await page.evaluate(() => window.sortingShow.state().lastRecordMilliseconds);
  const held2048 = await heldMegabytes(page);
  figures.push(
    `recording 2048 shuffled values: ${record2048.toFixed(0)} ms; held: ${megabytes(held2048)} ` +
      `(${megabytes(held2048 - base)} more than a page showing 3 values)`,
  );
  await page.locator("#speed").fill(await page.locator("#speed").getAttribute("max"));
  await page.locator("#restart").click();
  const replay = await watch(page, 2500);
  const stillPlaying = (await page.evaluate(() => window.sortingShow.state())).playing;
  figures.push(
    `frame interval at 2048 values, top speed: median ${replay.interval.toFixed(1)} ms over ` +
      `${replay.frames} frames, against ${idleFrames.interval.toFixed(1)} ms on an idle page: ` +
      `ratio ${(replay.interval / idleFrames.interval).toFixed(2)}` +
      (stillPlaying ? "" : " (the race ended early)"),
  );
  const allTasks = await tasksSince(page, from);
  figures.push(
    `longest main-thread task while recording (22 recordings) and replaying: ` +
      `${Math.max(0, ...allTasks).toFixed(0)} ms (0: none over 50 ms; ${allTasks.length} over, ` +
      `${recordingTasks.length} of them while recording 512 values)`,
  );
  await page.context().close();

  figures.push(`page size: ${fs.statSync(file).size} bytes`);
  const firsts = [];
  for (let k = 0; k < 5; ++k) {
    const fresh = await open(`file://${file}`);
    await fresh.waitForSelector("body[data-ready=true]");
    await fresh.waitForFunction(
      () => window.sortingShow.state().firstRaceMilliseconds !== null,
      null,
      { polling: 10 },
    );
    firsts.push(await fresh.evaluate(() => window.sortingShow.state().firstRaceMilliseconds));
    await fresh.context().close();
  }
  figures.push(
    `time to the first race, from navigation: median ${median(firsts).toFixed(0)} ms of 5 loads ` +
      `(${Math.min(...firsts).toFixed(0)} to ${Math.max(...firsts).toFixed(0)} ms)`,
  );
  const version = browser.version();
  await browser.close();
  const loadAverage = os
    .loadavg()
    .map((value) => value.toFixed(1))
    .join(", ");
  console.log(
    `Chromium ${version}, headless, 1366x768; ${os.cpus().length} cores, load average ${loadAverage}`,
  );
  for (const figure of figures) console.log(figure);
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
