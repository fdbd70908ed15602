"use strict";

// Predict mode's questions and their grading, from the traces alone: the library's trace is the
// model answer, and the traces of the catalogue's variants, recorded on the same input, name
// the misconception behind a wrong answer. No sort is written here: every answer is read from
// a recorded event. Free of the DOM, so that Node loads it (with trace.js, links.js, for the
// kinds of prediction, and replay.js).

// Predicting every step of more values would take hours, and their slots would not fit a phone.
const PREDICT_MAX_VALUES = 64;

// A packed trace read event by event: kinds and standard algorithms from `head` alone, fields
// and values through a cursor (cheap when read forwards, as the questions are).
class TraceEvents {
  constructor(format, trace) {
    this.trace = trace;
    this.length = trace.length;
    this.cursor = new TraceCursor(format, trace);
    this.names = format.byCode.map((kind) => kind.name);
    // Ranks among equal values, as the bars show them: the order of equal values is what some
    // misconceptions change.
    this.rankOf = equalRanks(trace.input);
    const count = (trace.ranges || []).length / format.rangeStride;
    this.ranges = Array.from({ length: count }, (_, r) => rangeRow(format, trace, r));
  }

  kind(k) {
    return this.names[this.cursor.kindOf(k)];
  }

  callee(k) {
    const site = this.cursor.siteOf(k);
    return site ? site[2] : null;
  }

  // Event k (from 0) by its fields, with `kind` its kind's name and `place` its library line.
  event(k) {
    this.cursor.seek(k + 1);
    const { kind, fields } = this.cursor.lastEvent();
    return { ...fields, kind: kind.name, place: placeOf(fields, this.trace.files) };
  }

  // Event k (from 0) as the panels tell it (see pageEvent).
  shown(k) {
    this.cursor.seek(k + 1);
    return pageEvent(this.cursor.lastEvent(), this.trace.files);
  }

  valuesAt(tick) {
    this.cursor.seek(tick);
    return Array.from(this.cursor.values);
  }

  idsAt(tick) {
    this.cursor.seek(tick);
    return Array.from(this.cursor.ids);
  }

  // Slots first..last at `tick`: each value with its identity, so that equal values differ.
  arrangementAt(tick, first, last) {
    this.cursor.seek(tick);
    const { values, ids } = this.cursor;
    return Array.from({ length: last - first + 1 }, (_, k) => ({
      value: values[first + k],
      id: ids[first + k],
    }));
  }

  rank({ id }) {
    return id >= 0 ? this.rankOf[id] : 0;
  }

  // A value as the bars write it: with its rank among equal values as a subscript.
  label(item) {
    const rank = this.rank(item);
    return rank ? `${item.value}${subscript(rank)}` : String(item.value);
  }

  // The first event at or after `from` that `test(k)` accepts, or -1.
  find(from, test) {
    for (let k = from; k < this.length; ++k) if (test(k)) return k;
    return -1;
  }
}

const isComparison = (kind) => kind === "comparison" || kind === "throw";
// The slots a comparison's operands stand in, each once, and "held" for each held operand.
function operandKey(event) {
  const slots = [event.i, event.j].filter((slot) => slot !== null);
  const held = [event.i, event.j].filter((slot) => slot === null).map(() => "held");
  return [...new Set(slots)]
    .sort((x, y) => x - y)
    .concat(held)
    .join(",");
}
const slotsKey = (slots) => [...new Set(slots)].sort((x, y) => x - y).join(",");

// Whether two events do the same thing to the array: the same writes, and comparisons of the
// same operands (a held one by its value) in either order, whose answers the operands decide.
function sameStep(x, y) {
  if (x.kind !== y.kind) return false;
  if (x.kind === "write") return x.slot === y.slot && x.new === y.new && x.new_id === y.new_id;
  const side = (slot, value) => (slot === null ? `held ${value}` : `slot ${slot}`);
  const pair = (e) => [side(e.i, e.a), side(e.j, e.b)].sort().join();
  return pair(x) === pair(y);
}

// How far a variant's trace agrees with the library's: the comparisons and writes both make in
// the same order (equality tests left out: a learner is never asked about them, and a variant
// without them agrees otherwise), as the indices of each matched pair, and `diverged`, the
// library's first event that the variant does not make.
function agreement(library, variant) {
  const libraryAt = [];
  const variantAt = [];
  let p = 0;
  let q = 0;
  for (;;) {
    while (p < library.length && library.kind(p) === "equality") ++p;
    while (q < variant.length && variant.kind(q) === "equality") ++q;
    if (p >= library.length || q >= variant.length) break;
    if (!sameStep(library.event(p), variant.event(q))) break;
    libraryAt.push(p++);
    variantAt.push(q++);
  }
  return { libraryAt, variantAt, diverged: p };
}

// Where the variant stands when the library reaches event `at`, or -1 where it disagreed before.
function variantStart(match, at) {
  if (match.diverged < at) return -1;
  let k = 0;
  while (k < match.libraryAt.length && match.libraryAt[k] < at) ++k;
  return k ? match.variantAt[k - 1] + 1 : 0;
}

// The answer to each kind of question, as a key, from a trace read from `start` on; the same
// reading serves the library (its question's `at`) and a variant (where it stands then).
const ANSWERS = {
  move(events, start) {
    const at = events.find(start, (k) => events.kind(k) === "write");
    return at < 0 ? null : slotsKey(moveAt(events, at).slots);
  },
  comparison(events, start) {
    const at = events.find(start, (k) => isComparison(events.kind(k)));
    return at < 0 ? null : operandKey(events.event(at));
  },
  // A partitioned pivot never moves again: where it ends is where it landed. (Variants announce
  // no ranges; the library's question reads its answer at the next range, which agrees.)
  pivot(events, start) {
    const at = events.find(
      start,
      (k) => isComparison(events.kind(k)) && heldId(events, k) !== null,
    );
    return at < 0 ? null : String(events.idsAt(events.length).indexOf(heldId(events, at)));
  },
  "heap-root"(events, start) {
    const at = events.find(start, (k) => events.callee(k) === "std::make_heap");
    return at < 0 ? null : String(heapAt(events, at).value);
  },
  // A merge of [first, last] ends where an event first reaches outside it (the next merge).
  merge(events, start, { first, last }) {
    const outside = (slot) => slot !== null && (slot < first || slot > last);
    const end = events.find(start, (k) => {
      const e = events.event(k);
      return e.kind === "write" ? outside(e.slot) : outside(e.i) || outside(e.j);
    });
    return arrangementKey(events.arrangementAt(end < 0 ? events.length : end, first, last));
  },
  pass: () => null,
};

function heldId(events, k) {
  const e = events.event(k);
  return e.i === null ? e.id_i : e.j === null ? e.id_j : null;
}

// The run of writes from `at`: its end and the slots it writes.
function moveAt(events, at) {
  let until = at;
  while (until < events.length && events.kind(until) === "write") ++until;
  const slots = [];
  for (let k = at; k < until; ++k) slots.push(events.event(k).slot);
  return { until, slots };
}

// std::make_heap's run from `at`: its end, its root (the lowest slot it touches) and the value
// standing there when it is done.
function heapAt(events, at) {
  let until = at;
  let root = Infinity;
  while (until < events.length && events.callee(until) === "std::make_heap") {
    const e = events.event(until++);
    for (const slot of e.kind === "write" ? [e.slot] : [e.i, e.j])
      if (slot !== null) root = Math.min(root, slot);
  }
  return { until, root, value: events.valuesAt(until)[root] };
}

// The milestones of a trace, in order: each range the library announced that starts a partition
// (its first comparison holds the pivot, and its budget is not spent), a merge (a range equal to
// an earlier one that did nothing itself: the call that split it, before its halves) or a pass
// (any other range with events), and each run of std::make_heap.
function milestones(events) {
  const { ranges } = events;
  const end = (r) => (r + 1 < ranges.length ? ranges[r + 1].at : events.length);
  const found = [];
  ranges.forEach((range, r) => {
    const { at, first, last, budget } = range;
    const until = end(r);
    if (until === at || budget === 0) return;
    const split = ranges
      .slice(0, r)
      .some((o, k) => o.first === first && o.last === last && end(k) === o.at);
    const compared = events.find(at, (k) => k >= until || isComparison(events.kind(k)));
    const pivot = compared >= 0 && compared < until ? heldId(events, compared) : null;
    const type = split ? "merge" : pivot !== null ? "pivot" : "pass";
    found.push({ type, at, until, first, last, pivot });
  });
  for (let k = 0; k < events.length; ++k) {
    if (
      events.callee(k) !== "std::make_heap" ||
      (k > 0 && events.callee(k - 1) === "std::make_heap")
    )
      continue;
    const { until, root } = heapAt(events, k);
    found.push({ type: "heap-root", at: k, until, first: root, last: null });
  }
  return found.sort((x, y) => x.at - y.at);
}

const arrangementKey = (arrangement) => arrangement.map(({ value, id }) => `${value}:${id}`).join();
const arrangementOf = (key) =>
  key.split(",").map((item) => {
    const [value, id] = item.split(":").map(Number);
    return { value, id };
  });
// By their values, then by the order of equal values: an order that tells nothing of the answer.
const compareArrangements = (x, y) => {
  for (let k = 0; k < x.length; ++k) {
    if (x[k].value !== y[k].value) return x[k].value - y[k].value;
    if (x[k].id !== y[k].id) return x[k].id - y[k].id;
  }
  return 0;
};

// One learner's session on one sort's trace: the question posed, the grading of each answer
// and the counts. `variants`: [{ name, description, trace }], the catalogue's variants of the
// sort recorded on the same input (none where the page cannot record them).
class PredictSession {
  constructor(format, trace, kind, variants = []) {
    if (!PREDICT_KINDS[kind]) throw new Error(`no such kind of prediction: ${kind}`);
    this.kind = kind;
    this.events = new TraceEvents(format, trace);
    this.variants = variants.map((variant) => {
      const events = new TraceEvents(format, variant.trace);
      return { ...variant, events, match: agreement(this.events, events) };
    });
    this.counts = { step: 0, right: 0, wrong: 0, revealed: 0, streak: 0 };
    this.named = new Map(); // variant name -> { description, count }
    this.plan = kind === "milestones" ? milestones(this.events) : null;
    this.next = 0; // the plan's next milestone
    this.question = this.pose(0);
  }

  get finished() {
    return this.question === null;
  }

  // The question about what comes at or after event `from`, with its answer, or null.
  pose(from) {
    const e = this.events;
    let q;
    if (this.kind === "moves") {
      const at = e.find(from, (k) => e.kind(k) === "write");
      if (at < 0) return null;
      q = { type: "move", at, until: moveAt(e, at).until };
    } else if (this.kind === "comparisons") {
      const at = e.find(from, (k) => isComparison(e.kind(k)));
      if (at < 0) return null;
      q = { type: "comparison", at, until: at + 1 };
    } else {
      if (this.next >= this.plan.length) return null;
      q = { ...this.plan[this.next++] };
    }
    q.before = e.valuesAt(q.at);
    q.after = e.valuesAt(q.until);
    q.place = e.event(q.until - 1).place;
    q.label = (item) => e.label(item);
    q.rank = (item) => e.rank(item);
    if (q.type === "pivot") {
      q.slot = e.idsAt(q.until).indexOf(q.pivot);
      q.truth = String(q.slot);
      q.value = q.after[q.slot];
    } else if (q.type === "merge") {
      q.truth = arrangementKey(e.arrangementAt(q.until, q.first, q.last));
      q.runs = e.arrangementAt(q.at, q.first, q.last);
      // The real arrangement, the variants' from the same state, and the runs left as they are.
      const keys = new Set([q.truth, arrangementKey(q.runs)]);
      for (const variant of this.variants) {
        const answer = this.variantAnswer(variant, q);
        if (answer !== null) keys.add(answer);
      }
      q.choices = [...keys].map(arrangementOf).sort(compareArrangements);
    } else if (q.type === "pass") {
      let wrote = false;
      for (let k = q.at; k < q.until && !wrote; ++k) wrote = e.kind(k) === "write";
      q.truth = String(wrote);
    } else if (q.type === "heap-root") {
      q.truth = String(q.after[q.first]);
    } else {
      q.truth = ANSWERS[q.type](e, q.at);
      q.event = e.shown(q.at);
    }
    return q;
  }

  // What a variant would answer to question q, or null where it disagreed before q.
  variantAnswer(variant, q) {
    const start = variantStart(variant.match, q.at);
    return start < 0 ? null : ANSWERS[q.type](variant.events, start, q);
  }

  // The key of what a learner chose, as a click would choose it, or null when it does not
  // answer this question: { slots, held } (moves, comparisons), { slot } (pivot), { value } or
  // { slot } (heap root), { choice } (merge), { yes } (pass).
  keyOf(choice) {
    const q = this.question;
    const slotOk = (slot) => Number.isInteger(slot) && slot >= 0 && slot < q.before.length;
    const slots = Array.isArray(choice.slots) ? choice.slots : [];
    if (!slots.every(slotOk)) return null;
    if (q.type === "move") return slots.length ? slotsKey(slots) : null;
    if (q.type === "comparison") {
      const key = slotsKey(slots) + (choice.held ? (slots.length ? ",held" : "held") : "");
      const count = new Set(slots).size + (choice.held ? 1 : 0);
      return count >= 1 && count <= 2 ? key : null;
    }
    if (q.type === "pivot") return slotOk(choice.slot) ? String(choice.slot) : null;
    if (q.type === "heap-root") {
      if (slotOk(choice.slot)) return String(q.before[choice.slot]);
      return Number.isInteger(choice.value) ? String(choice.value) : null;
    }
    if (q.type === "merge") {
      const picked = q.choices[choice.choice];
      return Number.isInteger(choice.choice) && picked ? arrangementKey(picked) : null;
    }
    return typeof choice.yes === "boolean" ? String(choice.yes) : null;
  }

  // Grades an answer and moves on: { question, correct, misconception } (the first variant,
  // in the catalogue's order, that would have answered so), or { error } for no answer.
  answer(choice) {
    const q = this.question;
    const key = q && choice ? this.keyOf(choice) : null;
    if (key === null) return { error: "Choose an answer first." };
    const correct = key === q.truth;
    const misconception = correct
      ? null
      : this.variants.find((variant) => this.variantAnswer(variant, q) === key) || null;
    if (misconception) {
      const named = this.named.get(misconception.name) || { ...misconception, count: 0 };
      this.named.set(misconception.name, { ...named, count: named.count + 1 });
    }
    this.count(correct ? "right" : "wrong");
    return { question: q, correct, misconception };
  }

  // Shows the step without an answer: counted as revealed, and the streak starts again.
  reveal() {
    const q = this.question;
    if (!q) return { error: "Nothing is left to show." };
    this.count("revealed");
    return { question: q, revealed: true, correct: false, misconception: null };
  }

  count(outcome) {
    ++this.counts.step;
    ++this.counts[outcome];
    this.counts.streak = outcome === "right" ? this.counts.streak + 1 : 0;
    this.question = this.pose(this.question.until);
  }
}
