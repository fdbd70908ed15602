"use strict";

// The recursion beside the race. A sort whose trace announces the sub-ranges it works on (its
// `ranges`: BubbleSort's passes, QuickSort's partitions, MergeSort's halves, IntroSort's steps)
// gets a thin strip under its bars, a bar over the slots of the range it works on, and beside the
// bars the depth of that range, as a number over a gauge that also shows IntroSort's depth limit.
// All of it is a function of the tick (rangeAt), so that stepping back restores it.

const RANGE_BAR = 2; // CSS pixels: the strip's bar, at the foot of the panel's canvas
const GAUGE_WIDTH = 8; // CSS pixels: the depth gauge's track
const DASH = [6, 3]; // CSS pixels on and off: a range handed to HeapSort

// The depth limit of a trace whose ranges carry a depth budget (IntroSort's): the root range's
// budget, and one level more for the ranges that reach budget 0, which go to HeapSort; null
// where the ranges carry none.
function depthLimit(format, trace) {
  if (!trace.ranges.length) return null;
  const budget = trace.ranges[format.rangeAt.budget];
  return budget < 0 ? null : budget + 1;
}

// The range a replay works on when the clock stands on `tick` (its last one once it finished),
// with `handover` set where IntroSortStep has handed it to HeapSort, its depth budget spent;
// null before the first.
function rangeOf(replay, tick) {
  const range = rangeAt(state.format, replay.trace, Math.min(tick, replay.length));
  if (range) range.handover = range.budget === 0;
  return range;
}

// The range handed to HeapSort whose first event brings the clock to `tick`, or null: the moment
// the code view marks the line that hands it over.
function handoverAt(replay, tick) {
  const range = tick <= replay.length ? rangeOf(replay, tick) : null;
  return range && range.handover && range.at === tick - 1 ? range : null;
}

// The library line a range names, as the code view and the status name lines.
function rangePlace(replay, range) {
  const file = range.file >= 0 ? replay.trace.files[range.file] : null;
  return { file, line: range.line, callee: null };
}

// A range of rangeOf in words, for the gauge's label and the status on pause.
function rangeSentence(replay, range) {
  const name = replay.algorithm;
  if (!range) return `${name} has not started on a range yet`;
  const limit = depthLimit(state.format, replay.trace);
  const depth = `depth ${range.depth}${limit === null ? "" : ` of at most ${limit}`}`;
  const handed = range.handover ? "; its depth budget is spent, so HeapSort sorts them" : "";
  return `${name} works on slots ${range.first} to ${range.last}, ${depth}${handed}`;
}

// A hand-over of handoverAt in words, for the status and the code view; "" for none.
function handoverSentence(replay, range) {
  if (!range) return "";
  const where = placeText(rangePlace(replay, range));
  return (
    `${replay.algorithm}${where ? `, ${where}` : ""}: hands slots ${range.first} to ` +
    `${range.last} to HeapSort, its depth budget spent.`
  );
}

// A panel's strip and gauge. The strip's bar is drawn by the panel, at the foot of its canvas
// under the marks; the depth stands beside the bars.
class RecursionStrip {
  constructor(panel) {
    this.side = document.createElement("div");
    this.side.className = "depth-side";
    this.side.setAttribute("role", "img");
    this.side.innerHTML =
      '<span class="depth" aria-hidden="true"></span><div class="gauge"><canvas></canvas></div>';
    this.side.title = "the depth of the recursion";
    panel.element.appendChild(this.side);
    this.gauge = this.side.querySelector("canvas");
    this.depthText = this.side.firstChild;
    this.scale = 1;
    this.label = "";
  }

  attach(replay) {
    this.replay = replay;
    this.shown = replay.trace.ranges.length > 0;
    this.side.hidden = !this.shown;
    this.limit = depthLimit(state.format, replay.trace);
    this.deepest = rangeColumn(state.format, replay.trace, "depth").reduce(
      (deepest, depth) => Math.max(deepest, depth),
      0,
    );
    this.handsOver = rangeColumn(state.format, replay.trace, "budget").includes(0);
    this.range = null;
    this.label = "";
  }

  // The room the strip takes at the foot of the panel's canvas, its bar and a pixel above it, in
  // device pixels.
  room(px) {
    return this.shown ? px(RANGE_BAR) + px(1) : 0;
  }

  // The texts of the clock's tick: the depth, and the label when the range changed.
  update(tick) {
    if (!this.shown) return;
    this.range = rangeOf(this.replay, tick);
    this.depthText.textContent = this.range ? String(this.range.depth) : "";
    const label = rangeSentence(this.replay, this.range);
    if (label !== this.label) this.side.setAttribute("aria-label", (this.label = label));
  }

  // What tests read: the range shown and how it is marked.
  summary() {
    if (!this.shown) return null;
    const range = this.range || {};
    return {
      first: range.first ?? null,
      last: range.last ?? null,
      depth: range.depth ?? null,
      handover: Boolean(range.handover),
      limit: this.limit,
      scale: this.scale,
      text: this.depthText.textContent,
      label: this.label,
    };
  }

  // The bar over the range's slots, in the bottom rows of the panel's canvas `g`, `width` device
  // pixels wide and `height` high, with the slots' edges as the bars above have them; dashed for
  // a range handed to HeapSort. Then the gauge.
  draw(g, width, height, px, colours) {
    if (!this.shown) return;
    const range = this.range;
    const n = this.replay.values.length;
    if (range && n > 0) {
      const left = Math.floor((range.first * width) / n);
      const right = Math.max(left + px(3), Math.floor(((range.last + 1) * width) / n));
      const [on, off] = range.handover ? DASH.map(px) : [right - left, 0];
      g.fillStyle = range.handover ? colours.handover : colours.strip;
      for (let x = left; x < right; x += on + off)
        g.fillRect(x, height - px(RANGE_BAR), Math.min(on, right - x), px(RANGE_BAR));
    }
    this.drawGauge(px, colours);
  }

  // A track filled from the top to the depth, on the scale of the deepest range or limit of any
  // panel, and IntroSort's limit as a line across it and past its sides.
  drawGauge(px, colours) {
    const ratio = window.devicePixelRatio || 1;
    const gauge = this.gauge;
    const width = Math.max(1, Math.round(gauge.clientWidth * ratio));
    const height = Math.max(1, Math.round(gauge.clientHeight * ratio));
    if (gauge.width !== width || gauge.height !== height) Object.assign(gauge, { width, height });
    const g = gauge.getContext("2d");
    g.fillStyle = colours.panel;
    g.fillRect(0, 0, width, height);
    const track = Math.min(width, px(GAUGE_WIDTH));
    const x = Math.floor((width - track) / 2);
    const line = px(1);
    const level = (depth) => Math.round((depth * (height - 2 * line)) / this.scale);
    g.fillStyle = colours.range;
    g.fillRect(x, 0, track, height);
    g.fillStyle = colours.panel;
    g.fillRect(x + line, line, track - 2 * line, height - 2 * line);
    if (this.range) {
      g.fillStyle = this.range.handover ? colours.handover : colours.strip;
      g.fillRect(x, 0, track, Math.max(2 * line, level(this.range.depth) + line));
    }
    if (this.limit !== null) {
      g.fillStyle = colours.limit;
      g.fillRect(0, Math.min(height - 2 * line, level(this.limit)), width, 2 * line);
    }
  }
}

// After the panels of a race are laid out: the gauges share one scale, the deepest range or limit
// among them, so that depths compare across panels; every panel keeps room beside its bars for
// the depth where one of them shows it, so that the slots of all the panels line up.
function fitStrips(panels) {
  const strips = panels.map((panel) => panel.strip).filter((strip) => strip.shown);
  const scale = Math.max(1, ...strips.map((strip) => Math.max(strip.deepest, strip.limit || 0)));
  for (const strip of strips) strip.scale = scale;
  const container = $("panels");
  container.classList.toggle("recursion", strips.length > 0);
  container.style.setProperty("--depth-digits", String(String(scale).length));
  // The legend names only the marks this race shows.
  $("recursion-key").hidden = strips.length === 0;
  $("limit-key").hidden = !strips.some((strip) => strip.limit !== null);
  $("handover-key").hidden = !strips.some((strip) => strip.handsOver);
}
