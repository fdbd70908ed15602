"use strict";

// Predict mode's words: each question as the page poses it, what the code really did, the
// misconception a wrong answer matches, and the summary a teacher copies. Free of the DOM.

const slotRange = (first, last) => (first === last ? `slot ${first}` : `slots ${first}–${last}`);

function listSlots(slots) {
  const words = slots.map(String);
  if (words.length <= 1) return `slot ${words.join("")}`;
  return `slots ${words.slice(0, -1).join(", ")} and ${words[words.length - 1]}`;
}

// The question in words, as the page poses it.
function questionText(q, sort) {
  if (q.type === "move") return `Which slots will ${sort}'s next move write?`;
  if (q.type === "comparison")
    return `Which two will ${sort} compare next? Choose two slots, or a slot and the held value.`;
  if (q.type === "pivot")
    return `${sort} partitions ${slotRange(q.first, q.last)}. Where will its pivot land?`;
  if (q.type === "heap-root")
    return `${sort} builds a heap. Which value will stand at its root, slot ${q.first}, when it is built?`;
  if (q.type === "merge") {
    const now = q.runs.map(q.label).join(" ");
    return `${sort} merges the two sorted runs in ${slotRange(q.first, q.last)}, now ${now}. What will they hold after it?`;
  }
  return `${sort} starts a pass over ${slotRange(q.first, q.last)}. Will it exchange anything?`;
}

// What the code really did, in words, with the library line of the step's last event.
function truthText(q) {
  const where = placeText(q.place);
  const at = where ? ` (${where})` : "";
  if (q.type === "move") {
    const slots = [...new Set(q.truth.split(",").map(Number))];
    return `it wrote ${listSlots(slots)}: now ${slots.map((slot) => q.after[slot]).join(", ")}${at}.`;
  }
  if (q.type === "comparison") {
    const e = q.event;
    if (e.kind !== "throw") return `it ${narrate(e)}${at}.`;
    const operands = `${operand(e.i, e.a, e.fromI)} and ${operand(e.j, e.b, e.fromJ)}`;
    return `it asked the comparator about ${operands}, and the comparator threw${at}.`;
  }
  if (q.type === "pivot") return `its pivot, ${q.value}, landed in slot ${q.slot}${at}.`;
  if (q.type === "heap-root")
    return `${q.after[q.first]} stood at the root when the heap was built${at}.`;
  if (q.type === "merge")
    return `after the merge, ${slotRange(q.first, q.last)} held ${arrangementOf(q.truth).map(q.label).join(", ")}${at}.`;
  return q.truth === "true"
    ? `this pass exchanged neighbours${at}.`
    : `this pass exchanged nothing${at}.`;
}

// What a misconception would have done, as the feedback names it.
const MISCONCEPTION_VERBS = {
  move: "writes next",
  comparison: "compares next",
  pivot: "does with its pivot",
  "heap-root": "puts at the root",
  merge: "leaves there",
  pass: "does in this pass",
};
function misconceptionText(q, variant) {
  return `That is what ${variant.description} ${MISCONCEPTION_VERBS[q.type]}.`;
}

// The session's summary as plain text, for a teacher to copy; typed values whole, where the
// race's own description shortens them.
function summaryText(session, { sort, request, link }) {
  const { step, right, wrong, revealed } = session.counts;
  const { values, direction } = request;
  const input = values ? `values ${values.join(", ")}, ${direction}` : describeRequest(request);
  const named = [...session.named.values()].map(
    ({ description, name, count }) => `  ${description} (${name}): ${count}`,
  );
  return [
    `Sort: ${sort}`,
    `Predicted: ${PREDICT_KINDS[session.kind]}`,
    `Input: ${input}`,
    `Steps: ${step}`,
    `Right: ${right}`,
    `Wrong: ${wrong}`,
    `Revealed: ${revealed}`,
    named.length ? "Misconceptions named:" : "Misconceptions named: none",
    ...named,
    `Link: ${link}`,
  ].join("\n");
}
