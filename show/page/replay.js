"use strict";

// One sort's trace, replayed forwards or backwards to any tick, and its events, counts and facts
// in words.

class Replay {
  constructor(packed) {
    this.trace = packed;
    this.algorithm = packed.algorithm;
    this.length = packed.length;
    this.values = packed.input.slice();
    this.ids = Int32Array.from(packed.input, (_, k) => k);
    // For each identity, its rank (1, 2, ...) among the equal values of the input in their
    // starting order; 0 for a value that occurs once.
    this.rankOf = new Int32Array(packed.input.length);
    const seen = new Map();
    packed.input.forEach((value) => seen.set(value, (seen.get(value) || 0) + 1));
    this.hasEqualValues = seen.size < packed.input.length;
    const counted = new Map();
    packed.input.forEach((value, k) => {
      counted.set(value, (counted.get(value) || 0) + 1);
      this.rankOf[k] = seen.get(value) > 1 ? counted.get(value) : 0;
    });
    this.position = 0; // events applied
    let low = Infinity;
    let high = -Infinity;
    for (const value of packed.input) {
      low = Math.min(low, value);
      high = Math.max(high, value);
    }
    this.low = packed.input.length ? low : 0;
    this.high = packed.input.length ? high : 0;
  }

  forward() {
    const events = this.trace.events;
    const at = this.position * STRIDE;
    if (events[at] === WRITE) {
      this.values[events[at + 1]] = events[at + 3];
      this.ids[events[at + 1]] = events[at + 5];
    }
    ++this.position;
  }

  // Undoing a write puts back the value it replaced; a test changes nothing.
  backward() {
    --this.position;
    const events = this.trace.events;
    const at = this.position * STRIDE;
    if (events[at] === WRITE) {
      this.values[events[at + 1]] = events[at + 2];
      this.ids[events[at + 1]] = events[at + 4];
    }
  }

  seek(target) {
    target = Math.max(0, Math.min(this.length, target));
    if (Math.abs(target - this.position) > CHECKPOINT_EVERY) {
      const checkpoint = Math.floor(target / CHECKPOINT_EVERY);
      const n = this.values.length;
      this.values.set(this.trace.checkpoints.subarray(checkpoint * n, (checkpoint + 1) * n));
      this.ids.set(this.trace.idCheckpoints.subarray(checkpoint * n, (checkpoint + 1) * n));
      this.position = checkpoint * CHECKPOINT_EVERY;
    }
    while (this.position < target) this.forward();
    while (this.position > target) this.backward();
  }

  get comparisons() {
    return this.trace.comparisonsBefore[this.position];
  }
  get equalities() {
    return this.trace.equalitiesBefore[this.position];
  }
  get writes() {
    return this.position - this.comparisons - this.equalities;
  }
  get finished() {
    return this.position === this.length;
  }

  // Whether equal values can be told apart: the input has some and the trace carries identities.
  get showsOrder() {
    return this.hasEqualValues && this.trace.reorderedPairs >= 0;
  }

  // A value's label: with its rank among equal values as a subscript where it has one.
  label(k) {
    const rank = this.showsOrder ? this.rankOf[this.ids[k]] : 0;
    return rank ? `${this.values[k]}${subscript(rank)}` : String(this.values[k]);
  }

  // The event with index k, unpacked, with the library line that made it (file null when
  // the trace does not name one).
  event(k) {
    const e = this.trace.events.subarray(k * STRIDE, (k + 1) * STRIDE);
    const place = {
      file: this.trace.files[e[FILE_AT]] || null,
      line: e[LINE_AT],
      callee: this.trace.callees[e[CALLEE_AT]] || null,
    };
    if (e[0] === WRITE) return { kind: "write", slot: e[1], old: e[2], value: e[3], place };
    return {
      kind: e[0] === EQUAL ? "equal" : "compare",
      i: e[1],
      j: e[2],
      result: e[3] === 1,
      a: e[4],
      b: e[5],
      fromI: e[6],
      fromJ: e[7],
      place,
    };
  }
}

// What a sort did in one event, in words, for its panel and the status line.
function operand(slot, value, from) {
  if (slot >= 0) return `slot ${slot} (value ${value})`;
  return from >= 0
    ? `the held value ${value} (copied from slot ${from})`
    : `the held value ${value}`;
}

function narrate(event) {
  if (event.kind === "write")
    return `writes ${event.value} into slot ${event.slot} (was ${event.old})`;
  if (event.kind === "equal") {
    return (
      `tests ${operand(event.i, event.a, event.fromI)} and ${operand(event.j, event.b, event.fromJ)} ` +
      `for equality: ${event.result ? "equal" : "not equal"}`
    );
  }
  return (
    `compares ${operand(event.i, event.a, event.fromI)} with ` +
    `${operand(event.j, event.b, event.fromJ)}: ${event.result}`
  );
}

// Where an event happened, for the status: "quick_sort.h:25", or for an event inside a standard
// algorithm "inside std::make_heap, called from heap_sort.h line 40"; "" where not known.
function placeText(place) {
  if (!place.file) return "";
  const name = place.file.split("/").pop();
  return place.callee
    ? `inside ${place.callee}, called from ${name} line ${place.line}`
    : `${name}:${place.line}`;
}

function subscript(n) {
  return String(n).replace(/\d/g, (digit) => String.fromCharCode(0x2080 + Number(digit)));
}

// Whether a finished sort kept equal values in their starting order, from the identities.
function stabilityVerdict(pairs) {
  return pairs === 0
    ? "kept the order of equal values"
    : `reordered ${pairs} pair${pairs === 1 ? "" : "s"} of equal values`;
}

function ordinal(n) {
  return n + (n === 1 ? "st" : n === 2 ? "nd" : n === 3 ? "rd" : "th");
}

function countersText(replay, final = false) {
  const trace = replay.trace;
  const at = (now, total) => `${final ? total : now} / ${total}`;
  const equalities =
    trace.equalities > 0 ? `, equality tests ${at(replay.equalities, trace.equalities)}` : "";
  return (
    `comparisons ${at(replay.comparisons, trace.comparisons)}${equalities}, ` +
    `writes ${at(replay.writes, trace.writes)}`
  );
}

function sortNote(facts) {
  const calls = facts.calls ? `; hands elements to ${facts.calls}` : "";
  const quadratic = facts.quadratic_on.length
    ? `; quadratic on ${facts.quadratic_on.join(", ")}`
    : "";
  return (
    `${facts.name}: ${facts.stable ? "stable" : "not stable"}; comparisons best ${facts.best}, ` +
    `average ${facts.average}, worst ${facts.worst}; extra memory ${facts.memory}${calls}${quadratic}.`
  );
}
