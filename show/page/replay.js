"use strict";

// One sort's trace, replayed forwards or backwards to any tick, and its events, counts and facts
// in words.

// The page's words for the catalogue's kinds of event.
const EVENT_KINDS = { comparison: "compare", equality: "equal", write: "write", throw: "throw" };

// For each identity of `input`, its rank (1, 2, ...) among the equal values in their starting
// order; 0 for a value that occurs once.
function equalRanks(input) {
  const count = new Map();
  for (const value of input) count.set(value, (count.get(value) || 0) + 1);
  const seen = new Map();
  return Int32Array.from(input, (value) => {
    seen.set(value, (seen.get(value) || 0) + 1);
    return count.get(value) > 1 ? seen.get(value) : 0;
  });
}

class Replay {
  constructor(packed, format) {
    this.trace = packed;
    this.cursor = new TraceCursor(format, packed);
    this.algorithm = packed.algorithm;
    this.length = packed.length;
    this.rankOf = equalRanks(packed.input);
    this.hasEqualValues = this.rankOf.some((rank) => rank > 0);
    let low = Infinity;
    let high = -Infinity;
    for (const value of packed.input) {
      low = Math.min(low, value);
      high = Math.max(high, value);
    }
    this.low = packed.input.length ? low : 0;
    this.high = packed.input.length ? high : 0;
    // The file the first event names: the code view shows it before the sort starts.
    const first = packed.length ? this.eventAt(1) : null;
    this.firstFile = first ? first.place.file : null;
    this.seek(0);
  }

  // The values and identities in the slots at the current tick.
  get values() {
    return this.cursor.values;
  }
  get ids() {
    return this.cursor.ids;
  }
  get position() {
    return this.cursor.position;
  }
  get comparisons() {
    return this.cursor.comparisons;
  }
  get equalities() {
    return this.cursor.equalities;
  }
  get writes() {
    return this.cursor.writes;
  }
  get finished() {
    return this.position === this.length;
  }

  seek(target) {
    this.cursor.seek(target);
  }

  // Whether equal values can be told apart: the input has some, and the trace carries
  // identities and the count of pairs it reordered.
  get showsOrder() {
    return this.hasEqualValues && this.trace.identified && this.trace.reorderedPairs !== null;
  }

  // A value's label: with its rank among equal values as a subscript where it has one.
  label(k) {
    const rank = this.showsOrder ? this.rankOf[this.ids[k]] : 0;
    return rank ? `${this.values[k]}${subscript(rank)}` : String(this.values[k]);
  }

  // The event applied last (the one that brought the clock to this tick), as the page tells it
  // (see pageEvent); null at tick 0.
  event() {
    const last = this.cursor.lastEvent();
    return last && pageEvent(last, this.trace.files);
  }

  // The event that brings the clock to `tick`, which the replay then stands on.
  eventAt(tick) {
    this.seek(tick);
    return this.event();
  }
}

// The library line of an event's fields (file null when the trace does not name one).
function placeOf(fields, files) {
  return {
    file: fields.file === null ? null : files[fields.file],
    line: fields.line,
    callee: fields.callee,
  };
}

// An event as TraceCursor.lastEvent gives it, as the page tells it: its kind in the page's
// words, a held operand's slot and an origin not known as -1, and the library line that made it.
function pageEvent({ kind, fields: f }, files) {
  const place = placeOf(f, files);
  const name = EVENT_KINDS[kind.name];
  if (name === "write") return { kind: name, slot: f.slot, old: f.old, value: f.new, place };
  const slot = (value) => (value === null ? -1 : value);
  return {
    kind: name,
    i: slot(f.i),
    j: slot(f.j),
    result: f[kind.columns.answer],
    a: f.a,
    b: f.b,
    fromI: slot(f.from_i),
    fromJ: slot(f.from_j),
    place,
  };
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
  if (event.kind === "throw") {
    return (
      `the comparator throws when asked about ${operand(event.i, event.a, event.fromI)} ` +
      `and ${operand(event.j, event.b, event.fromJ)}`
    );
  }
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

// How a run ended, in words, from the trace's own verdict: its outcome and whether every value is
// still there once. A throw ends the run at its last comparator call.
function outcomeText(trace) {
  const values = trace.kept ? "every value kept" : "values lost";
  if (trace.outcome === "threw") return `threw at call ${trace.comparisons}, ${values}`;
  if (trace.outcome === "stopped") {
    const lost = trace.kept ? "" : `, ${values}`;
    return `stopped by the call budget after ${trace.comparisons} calls${lost}`;
  }
  if (trace.outcome === "sorted") return trace.kept ? "sorted" : `sorted, ${values}`;
  return `${trace.outcome}, ${values}`;
}

// What a finished sort's panel says: its outcome, and where it sorted values that repeat,
// whether it kept their starting order.
function finalText(replay) {
  const trace = replay.trace;
  const order =
    trace.outcome === "sorted" && replay.showsOrder
      ? `; ${stabilityVerdict(trace.reorderedPairs)}`
      : "";
  return `${outcomeText(trace)}${order}`;
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
