"use strict";

// One panel per racing sort: its name, counters and last event, and a canvas drawn in whole
// device pixels, and only when its state changed.

const MARK_STRIP = 12; // CSS pixels under the bars for the triangle, bars and square marks
const LABEL_FONT = 14; // CSS pixels, readable on a projector; values are written on the bars
const LABELLED_BARS = 24; // when they fit, and where the bars keep this many pixels of height

function readColours() {
  const style = getComputedStyle(document.documentElement);
  const read = (name) => style.getPropertyValue(name).trim();
  return {
    bar: read("--bar"),
    range: read("--bar-range"),
    compare: read("--compare"),
    write: read("--write"),
    held: read("--held"),
    thrown: read("--thrown"),
    strip: read("--strip"),
    handover: read("--handover"),
    limit: read("--limit"),
    ink: read("--ink"),
    panel: read("--panel"),
    zero: read("--zero"),
    // The cost curves' colours, --series-0 onwards, as many as the style sheet gives.
    series: Array.from({ length: 100 }, (_, k) => read(`--series-${k}`)).filter(Boolean),
  };
}

// What a finished sort's panel says of its place; rank is 1 for the first to finish.
function finishedText(rank, ticks) {
  return `finished ${ordinal(rank)} at tick ${ticks}`;
}

class Panel {
  constructor(container, algorithm, facts) {
    this.algorithm = algorithm;
    this.element = document.createElement("section");
    this.element.className = "panel";
    const id = `panel-${algorithm}`;
    this.element.setAttribute("aria-labelledby", `${id}-name`);
    this.element.innerHTML =
      `<header><h2 id="${id}-name"></h2><span class="counters"></span><span class="state"></span>` +
      `<span class="event"></span></header><div class="plot"><canvas role="img"></canvas></div>`;
    const heading = this.element.querySelector("h2");
    heading.textContent = algorithm;
    if (facts) heading.title = sortNote(facts);
    this.counters = this.element.querySelector(".counters");
    this.stateText = this.element.querySelector(".state");
    this.eventText = this.element.querySelector(".event");
    this.canvas = this.element.querySelector("canvas");
    this.canvas.setAttribute("aria-label", `${algorithm}: bars of the array, value as height`);
    container.appendChild(this.element);
    // A click on a panel shows its sort's code.
    this.element.addEventListener("click", () => chooseCodeSort(algorithm));
    this.context = this.canvas.getContext("2d", { alpha: false });
    this.strip = new RecursionStrip(this);
  }

  // Shows another run of the same sort in the same elements, which keeps the page's layout
  // and canvases as they are when a new input is recorded.
  attach(replay) {
    this.replay = replay;
    this.dirty = true;
    this.drawnValues = [];
    this.drawnLabels = [];
    this.drawnSpan = null;
    this.labelWidth = null;
    this.strip.attach(replay);
    this.eventText.textContent = replay.trace.consistent
      ? ""
      : "Warning: this trace does not replay to its recorded output.";
  }

  // Keeps for the counters and the finishing place the room they take at the end of the race,
  // when they are longest, so that nothing beside or under them moves while the race plays and
  // nothing is cut at the end. Measured, as the room depends on the fonts and the width; again
  // whenever they change. Leaves the texts of the end in place (updateText puts back the
  // current ones), and says whether they all show whole.
  reserveRoom(finishedRank) {
    const r = this.replay;
    const cells = [this.counters, this.stateText];
    for (const cell of cells) {
      cell.style.removeProperty("--final-width");
      cell.style.removeProperty("--final-height");
    }
    this.counters.textContent = countersText(r, true);
    this.stateText.textContent = finishedText(finishedRank, r.length);
    if (r.trace.consistent) this.eventText.textContent = finalText(r);
    for (const cell of cells) {
      const box = cell.getBoundingClientRect();
      cell.style.setProperty("--final-width", `${Math.ceil(box.width)}px`);
      cell.style.setProperty("--final-height", `${Math.ceil(box.height)}px`);
    }
    const header = this.element.querySelector("header");
    return Array.from(header.children).every((cell) => cell.scrollWidth <= cell.clientWidth);
  }

  // The name's width, to line up the counters of every panel.
  nameWidth() {
    return Math.ceil(this.element.querySelector("h2").getBoundingClientRect().width);
  }

  // The texts beside the bars; finishedRank is 1 for the first to finish.
  updateText(tick, finishedRank) {
    const r = this.replay;
    this.counters.textContent = countersText(r);
    const finished = r.finished && tick >= r.length;
    this.stateText.textContent = finished ? finishedText(finishedRank, r.length) : "";
    this.stateText.className = finished ? "state finished" : "state";
    if (r.trace.consistent) {
      // A finished sort says instead how its run ended and whether it kept equal values in their
      // starting order (its last step is in the code view and, for screen readers, in the status).
      const event = this.currentEvent(tick);
      this.eventText.textContent = finished ? finalText(r) : event ? narrate(event) : "";
      this.eventText.title = this.eventText.textContent;
    }
    this.strip.update(tick);
  }

  // The event applied last, while the clock stands on it (not after the sort is done).
  currentEvent(tick) {
    const r = this.replay;
    return r.position > 0 && tick === r.position ? r.event() : null;
  }

  draw(tick, colours) {
    const canvas = this.canvas;
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const height = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      this.labelWidth = null;
    }
    const g = this.context;
    g.fillStyle = colours.panel;
    g.fillRect(0, 0, width, height);
    const r = this.replay;
    const n = r.values.length;
    if (n === 0) return;
    const px = (css) => Math.max(1, Math.round(css * ratio));
    const left = (k) => Math.floor((k * width) / n);
    const slotWidth = Math.floor(width / n);
    const gap = slotWidth >= px(4) ? px(1) : 0;

    // Values written on the bars when the narrowest slot holds the widest of them.
    const font = px(LABEL_FONT);
    g.font = `${font}px system-ui, sans-serif`;
    // With the ranks of equal values where they fit too.
    if (this.labelWidth === null) {
      const widest = (rank) =>
        Math.max(g.measureText(`${r.low}${rank}`).width, g.measureText(`${r.high}${rank}`).width);
      this.labelWidth = widest("");
      this.rankedWidth = r.showsOrder ? widest(subscript(Math.max(...r.rankOf))) : Infinity;
    }
    const labels =
      n <= 100 &&
      slotWidth - gap >= this.labelWidth + px(2) &&
      height >= font + px(3) + px(MARK_STRIP) + px(LABELLED_BARS);
    const ranked = labels && slotWidth - gap >= this.rankedWidth + px(2);
    const labelRoom = labels ? font + px(3) : px(2);

    // Heights from zero: negative values hang below a zero line, and no bar is shorter than
    // two pixels, so a value never looks like an empty slot.
    const low = Math.min(0, r.low);
    const high = Math.max(0, r.high) === low ? low + 1 : Math.max(0, r.high);
    const strip = px(MARK_STRIP);
    // The marks' height: the strip but a pixel above and below; where the sort shows its
    // ranges, the recursion strip's bar takes the lower pixel and two more.
    const marks = strip - px(1) - Math.max(px(1), this.strip.room(px));
    const top = labelRoom;
    const bottom = height - strip - (low < 0 ? labelRoom : px(1));
    const y = (value) => Math.round(top + ((high - value) * (bottom - top)) / (high - low));
    const zero = y(0);
    const least = px(2);
    const span = (value) => {
      if (value >= 0) return [Math.min(y(value), zero - least), zero];
      return [zero, Math.max(y(value), zero + least)];
    };

    const event = this.currentEvent(tick);
    const marked = new Map(); // slot -> colour of its bar
    const held = [];
    if (event && event.kind === "write") marked.set(event.slot, colours.write);
    if (event && event.kind !== "write") {
      for (const [slot, value] of [
        [event.i, event.a],
        [event.j, event.b],
      ]) {
        if (slot >= 0) marked.set(slot, event.kind === "throw" ? colours.thrown : colours.compare);
        else held.push(value);
      }
    }

    this.drawnValues = Array.from(r.values);
    this.drawnLabels = labels
      ? Array.from(r.values, (_, k) => (ranked ? r.label(k) : String(r.values[k])))
      : [];
    this.drawnSpan = { span, ratio };
    if (n <= width) this.drawBars(g, r.values, marked, left, gap, span, colours);
    else this.drawColumns(g, r.values, marked, width, y, span, colours);
    if (low < 0) {
      g.fillStyle = colours.zero;
      g.fillRect(0, zero, width, px(1));
    }
    // Marked bars are at least three pixels wide, so they show among hundreds of thin ones.
    const markedWidth = Math.max(px(3), slotWidth - gap);
    const centre = (k) => Math.round((left(k) + left(k + 1) - gap) / 2);
    for (const [k, colour] of marked) {
      const [from, to] = span(r.values[k]);
      g.fillStyle = colour;
      g.fillRect(centre(k) - Math.floor(markedWidth / 2), from, markedWidth, to - from);
    }
    if (labels) this.drawLabels(g, r.values, this.drawnLabels, left, gap, span, px, colours);
    this.drawMarks(g, event, centre, height - strip + px(1), marks, colours);
    // Held values: a dashed line at their height, dashes in whole pixels.
    g.fillStyle = colours.held;
    for (const value of held) {
      const at = Math.min(height - strip - px(2), Math.max(0, y(value) - px(1)));
      for (let x = 0; x < width; x += px(10)) g.fillRect(x, at, px(6), px(2));
    }
    this.strip.draw(g, width, height, px, colours);
    this.dirty = false;
  }

  // What tests read: the height of each bar drawn last, in CSS pixels (negative below zero).
  get drawnHeights() {
    if (!this.drawnSpan) return [];
    const { span, ratio } = this.drawnSpan;
    return this.drawnValues.map((value) => {
      const [from, to] = span(value);
      return (value >= 0 ? to - from : from - to) / ratio;
    });
  }

  // A bar per slot, where each is a pixel wide or more; marked slots are drawn later.
  drawBars(g, values, marked, left, gap, span, colours) {
    g.fillStyle = colours.bar;
    g.beginPath();
    for (let k = 0; k < values.length; ++k) {
      if (marked.has(k)) continue;
      const [from, to] = span(values[k]);
      g.rect(left(k), from, Math.max(1, left(k + 1) - left(k) - gap), to - from);
    }
    g.fill();
  }

  // Where slots are narrower than a pixel, each pixel column shows the values of its slots: a
  // bar to the one nearest zero, and the range from the least to the greatest in a darker tone.
  drawColumns(g, values, marked, width, y, span, colours) {
    const n = values.length;
    const ranges = [];
    for (let x = 0; x < width; ++x) {
      let least = Infinity;
      let most = -Infinity;
      for (let k = Math.ceil((x * n) / width); k < Math.ceil(((x + 1) * n) / width); ++k) {
        if (marked.has(k)) continue;
        least = Math.min(least, values[k]);
        most = Math.max(most, values[k]);
      }
      if (least <= most) ranges.push([x, least, most]);
    }
    g.fillStyle = colours.range;
    g.beginPath();
    for (const [x, least, most] of ranges) {
      if (most !== least) g.rect(x, y(most), 1, Math.max(1, y(least) - y(most)));
    }
    g.fill();
    g.fillStyle = colours.bar;
    g.beginPath();
    for (const [x, least, most] of ranges) {
      if (least < 0 && most > 0) continue;
      const [from, to] = span(least >= 0 ? least : most);
      g.rect(x, from, 1, to - from);
    }
    g.fill();
  }

  drawLabels(g, values, texts, left, gap, span, px, colours) {
    g.fillStyle = colours.ink;
    g.textAlign = "center";
    for (let k = 0; k < values.length; ++k) {
      const [from, to] = span(values[k]);
      const x = Math.round((left(k) + left(k + 1) - gap) / 2);
      if (values[k] >= 0) {
        g.textBaseline = "bottom";
        g.fillText(texts[k], x, from - px(1));
      } else {
        g.textBaseline = "top";
        g.fillText(texts[k], x, to + px(1));
      }
    }
  }

  // The second cue under a marked slot, not colour alone: a triangle for a comparison, two
  // bars for an equality test, a square for a write, a cross for a call that threw. At least
  // eight pixels wide at any n.
  drawMarks(g, event, centre, top, size, colours) {
    if (!event) return;
    const half = Math.floor(size / 2);
    if (event.kind === "write") {
      g.fillStyle = colours.write;
      g.fillRect(centre(event.slot) - half, top, size, size);
      return;
    }
    if (event.kind === "throw") {
      // Two diagonals of whole-pixel squares, as thick as a third of the mark.
      g.fillStyle = colours.thrown;
      const thick = Math.max(2, Math.floor(size / 3));
      for (const slot of [event.i, event.j]) {
        if (slot < 0) continue;
        const left = centre(slot) - half;
        for (let d = 0; d + thick <= size; ++d) {
          g.fillRect(left + d, top + d, thick, thick);
          g.fillRect(left + size - thick - d, top + d, thick, thick);
        }
      }
      return;
    }
    g.fillStyle = colours.compare;
    for (const slot of [event.i, event.j]) {
      if (slot < 0) continue;
      const x = centre(slot);
      if (event.kind === "equal") {
        const bar = Math.max(1, Math.floor(size / 3));
        g.fillRect(x - half, top, size, bar);
        g.fillRect(x - half, top + size - bar, size, bar);
      } else {
        g.beginPath();
        g.moveTo(x, top);
        g.lineTo(x + half, top + size);
        g.lineTo(x - half, top + size);
        g.closePath();
        g.fill();
      }
    }
  }
}
