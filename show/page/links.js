"use strict";

// Reading what the visitor typed or a link holds, and the inputs they ask for. Each parser
// returns { value } or { error }, never half of a list.

const INT32_MIN = -2147483648;
const INT32_MAX = 2147483647;
const UINT32_MAX = 4294967295;
const DIRECTIONS = ["ascending", "descending"];
// How long a whole race takes, in seconds: the speed slider's stops, slowest first.
const DURATIONS = [300, 240, 180, 120, 90, 60, 45, 30, 25, 20, 15, 12, 10, 8, 6, 5, 4, 3];
const DEFAULT_DURATION = 20;
const LINK_KEYS = [
  ...["values", "pattern", "size", "seed", "direction", "comparator", "duration", "tick", "sorts"],
  ...["predict", "kind", "embed"],
];
// The comparator the sorts are written for; a request without one runs under it.
const STRICT_ORDER = "less";
// What predict mode can ask about, by the names its links use, in the page's words.
const PREDICT_KINDS = {
  moves: "every move",
  comparisons: "every comparison",
  milestones: "milestones",
};
// A message quotes at most this many characters of what it rejects: a link or a field can hold
// thousands, and the message must stay short enough to read (and to hear) whole.
const QUOTED_CHARACTERS = 40;

// `text` as a message shows it: whole when short, else its start and an ellipsis.
function shorten(text) {
  const characters = Array.from(String(text));
  if (characters.length <= QUOTED_CHARACTERS) return characters.join("");
  return `${characters.slice(0, QUOTED_CHARACTERS).join("")}…`;
}

const quote = (text) => `"${shorten(text)}"`;

// An input as the page asks for it: { values, direction } or { pattern, size, seed, direction },
// with `comparator`, the lab's name of the comparator ("less-equal", "throw-at:5"), where it is
// not the strict order.
function requestKey(request) {
  const rule = request.comparator ? `:${request.comparator}` : "";
  if (request.values) return `values:${request.values.join(",")}:${request.direction}${rule}`;
  return `pattern:${request.pattern}:${request.size}:${request.seed}:${request.direction}${rule}`;
}

// The same input under another comparator; the strict order is no comparator at all, so that a
// request keeps one key however it was made.
function withComparator(request, comparator) {
  const { comparator: _, ...input } = request;
  return comparator && comparator !== STRICT_ORDER ? { ...input, comparator } : input;
}

function requestFromTrace(trace) {
  const input =
    trace.pattern === "values"
      ? { values: trace.input.slice(), direction: trace.comparator }
      : { pattern: trace.pattern, size: trace.size, seed: trace.seed, direction: trace.comparator };
  return withComparator(input, trace.rule);
}

// The first eight values, and how many there are: "5, 1, 4, … (12)".
function shortValues(values) {
  const shown = Array.from(values.slice(0, 8)).join(", ");
  return `${shown}${values.length > 8 ? ", …" : ""} (${values.length})`;
}

function describeRequest(request) {
  const rule = request.comparator ? `, comparator ${request.comparator}` : "";
  if (request.values) return `values ${shortValues(request.values)}, ${request.direction}${rule}`;
  return `${request.pattern}, ${request.size} values, seed ${request.seed}, ${request.direction}${rule}`;
}

// Whether the sorts of a race each ran on an input of their own: under McIlroy's adversary each
// trace's input is the one it settled on for that sort.
function ownInputs(trace) {
  return trace.rule === "adversary";
}

// Consecutive traces of one input (same pattern, size, seed, direction, comparator and values)
// race together; where each sort had an input of its own, the number of values stands for them.
function groupTraces(doc) {
  const groups = [];
  for (const trace of doc.traces) {
    const request = requestFromTrace(trace);
    if (request.values && ownInputs(trace)) request.values = [`${request.values.length} values`];
    const key = requestKey(request);
    const last = groups[groups.length - 1];
    if (last && last.key === key) last.traces.push(trace);
    else groups.push({ key, traces: [trace] });
  }
  return groups;
}

function parseValues(text, maxValues) {
  const tokens = String(text)
    .trim()
    .split(/[\s,]+/)
    .filter((token) => token.length > 0);
  if (tokens.length === 0) return { error: "Enter at least one value, such as 5, 1, 4, 2, 3." };
  if (tokens.length > maxValues) {
    return { error: `Too many values: ${tokens.length}; the limit is ${maxValues}.` };
  }
  const values = [];
  for (const token of tokens) {
    if (!/^[+-]?\d+$/.test(token)) return { error: notWholeNumber(token) };
    const value = Number(token);
    if (value < INT32_MIN || value > INT32_MAX) {
      return {
        error: `${shorten(token)} is outside the 32-bit range ${INT32_MIN} to ${INT32_MAX}.`,
      };
    }
    values.push(value);
  }
  return { value: values };
}

// Why a token is not a whole number written out in digits, in the visitor's terms.
function notWholeNumber(token) {
  if (/^[+-]?(\d+\.?\d*|\.\d+)e[+-]?\d+$/i.test(token)) {
    const value = Number(token);
    const digits = Number.isSafeInteger(value) ? ` (${value})` : "";
    return `${quote(token)} uses an exponent: write the value out in digits${digits}.`;
  }
  if (/^[+-]?(\d+\.\d*|\.\d+)$/.test(token))
    return `${quote(token)} is not a whole number: the values are integers.`;
  return `${quote(token)} is not a whole number.`;
}

function parseWhole(text, name, low, high) {
  const trimmed = String(text).trim();
  if (!/^\d+$/.test(trimmed))
    return {
      error: `${name} must be a whole number from ${low} to ${high}, not ${quote(trimmed)}.`,
    };
  const value = Number(trimmed);
  if (value < low || value > high)
    return { error: `${name} must be from ${low} to ${high}; got ${shorten(trimmed)}.` };
  return { value };
}

// A name from `names` whatever its letter case, or null.
function findName(names, text) {
  const wanted = String(text).trim().toLowerCase();
  return names.find((name) => name.toLowerCase() === wanted) || null;
}

function parsePattern(text, names) {
  const name = findName(names, text);
  if (!name)
    return { error: `Unknown pattern ${quote(text)}; the patterns are ${names.join(", ")}.` };
  return { value: name };
}

function parseDirection(text) {
  const name = findName(DIRECTIONS, text);
  if (!name)
    return {
      error: `Unknown direction ${quote(text)}; the directions are ${DIRECTIONS.join(" and ")}.`,
    };
  return { value: name };
}

// A comparator of the catalogue's `comparators` by its name, in any letter case; one that takes
// K (throw-at) is written NAME:K, K a call number from 1. Returns { value }, the name as the
// recorder takes it ("throw-at:5"), or { error } listing the choices.
function parseComparator(text, comparators) {
  const trimmed = String(text).trim();
  const colon = trimmed.indexOf(":");
  const name = colon < 0 ? trimmed : trimmed.slice(0, colon);
  const found = findName(
    comparators.map((choice) => choice.name),
    name,
  );
  const entry = comparators.find((choice) => choice.name === found);
  const choices = comparators
    .map((choice) => (choice.takes ? `${choice.name}:${choice.takes}` : choice.name))
    .join(", ");
  // A K where none is taken is a name the lab does not know either.
  if (!entry || (!entry.takes && colon >= 0))
    return { error: `Unknown comparator ${quote(trimmed)}; the comparators are ${choices}.` };
  if (!entry.takes) return { value: entry.name };
  if (colon < 0) {
    return {
      error: `comparator ${entry.name} takes ${entry.takes}: write ${entry.name}:${entry.takes}, ${entry.takes} a whole number from 1 to ${INT32_MAX}.`,
    };
  }
  const count = parseWhole(trimmed.slice(colon + 1), entry.takes, 1, INT32_MAX);
  if (count.error) return { error: `comparator ${entry.name}: ${count.error}` };
  return { value: `${entry.name}:${count.value}` };
}

function parseDuration(text) {
  const low = DURATIONS[DURATIONS.length - 1];
  const high = DURATIONS[0];
  const value = Number(String(text).trim());
  if (String(text).trim() === "" || !Number.isFinite(value) || value < low || value > high) {
    return { error: `duration ${quote(text)} is not a number of seconds from ${low} to ${high}.` };
  }
  return { value };
}

function parseSorts(text, names) {
  const chosen = [];
  for (const item of String(text)
    .split(",")
    .map((part) => part.trim())
    .filter(Boolean)) {
    const name = findName(names, item);
    if (!name)
      return { error: `unknown sort ${quote(item)} in sorts; the sorts are ${names.join(", ")}.` };
    if (!chosen.includes(name)) chosen.push(name);
  }
  if (!chosen.length) return { error: `sorts names none; the sorts are ${names.join(", ")}.` };
  return { value: chosen };
}

// A fragment such as #pattern=pipe_organ&size=100&seed=7&direction=descending&duration=30&tick=120,
// read strictly: every key known (in any letter case), every part well formed. Returns what
// it could read and the list of problems, each naming the part of the link at fault.
function parseLink(fragment, catalog, maxValues) {
  const link = { problems: [], inputProblem: false };
  const fields = new Map();
  for (const part of fragment.split("&").filter(Boolean)) {
    const equals = part.indexOf("=");
    const rawKey = equals < 0 ? part : part.slice(0, equals);
    const rawValue = equals < 0 ? "" : part.slice(equals + 1);
    let key;
    let value;
    try {
      key = decodeURIComponent(rawKey.replace(/\+/g, " ")).trim().toLowerCase();
      value = decodeURIComponent(rawValue.replace(/\+/g, " "));
    } catch {
      link.problems.push(
        `${quote(part)} has a malformed %-escape: each % must start an escape such as %2C, and together they must spell UTF-8 text.`,
      );
      link.inputProblem = true;
      continue;
    }
    if (!LINK_KEYS.includes(key)) {
      link.problems.push(`unknown key ${quote(key)}; the keys are ${LINK_KEYS.join(", ")}.`);
    } else if (fields.has(key)) {
      link.problems.push(`${key} is given twice.`);
      link.inputProblem = true;
    } else {
      fields.set(key, value);
    }
  }
  const inputProblem = (text) => {
    link.problems.push(text);
    link.inputProblem = true;
  };
  const patternNames = catalog.patterns.map((pattern) => pattern.name);
  let direction = "ascending";
  if (fields.has("direction")) {
    const parsed = parseDirection(fields.get("direction"));
    if (parsed.error) inputProblem(parsed.error);
    else direction = parsed.value;
  }
  let comparator = STRICT_ORDER;
  if (fields.has("comparator")) {
    const parsed = parseComparator(fields.get("comparator"), catalog.comparators);
    if (parsed.error) inputProblem(parsed.error);
    else comparator = parsed.value;
  }
  if (fields.has("values") && fields.has("pattern")) {
    inputProblem("values and pattern are both given; a link races one or the other.");
  } else if (fields.has("values")) {
    if (fields.has("size") || fields.has("seed"))
      inputProblem("size and seed go with pattern, not with values.");
    const parsed = parseValues(fields.get("values"), maxValues);
    if (parsed.error) inputProblem(`values: ${parsed.error}`);
    else link.request = { values: parsed.value, direction };
  } else if (fields.has("pattern")) {
    const pattern = parsePattern(fields.get("pattern"), patternNames);
    const size = parseWhole(
      fields.has("size") ? fields.get("size") : catalog.defaults.size,
      "size",
      1,
      maxValues,
    );
    const seed = parseWhole(
      fields.has("seed") ? fields.get("seed") : catalog.defaults.seed,
      "seed",
      0,
      UINT32_MAX,
    );
    for (const parsed of [pattern, size, seed]) if (parsed.error) inputProblem(parsed.error);
    if (!pattern.error && !size.error && !seed.error) {
      link.request = { pattern: pattern.value, size: size.value, seed: seed.value, direction };
    }
  } else if (["size", "seed", "direction", "comparator"].some((key) => fields.has(key))) {
    inputProblem(
      "size, seed, direction and comparator need a pattern (or values for direction and comparator) to go with.",
    );
  }
  if (link.inputProblem) delete link.request;
  else if (link.request) link.request = withComparator(link.request, comparator);
  if (fields.has("duration")) {
    const parsed = parseDuration(fields.get("duration"));
    if (parsed.error) link.problems.push(parsed.error);
    else link.duration = parsed.value;
  }
  if (fields.has("tick")) {
    const parsed = parseWhole(fields.get("tick"), "tick", 0, INT32_MAX);
    if (parsed.error) link.problems.push(parsed.error);
    else link.tick = parsed.value;
  }
  if (fields.has("sorts")) {
    const parsed = parseSorts(
      fields.get("sorts"),
      catalog.sorts.map((sort) => sort.name),
    );
    if (parsed.error) link.problems.push(parsed.error);
    else link.sorts = parsed.value;
  }
  readPredictFields(fields, catalog, link);
  return link;
}

// Predict mode's part of a link: predict=SORT (the sort predicted), kind=moves|comparisons|
// milestones (moves unless given) and embed=1 (the page inside a course's frame). Never answers.
function readPredictFields(fields, catalog, link) {
  if (fields.has("predict")) {
    const names = catalog.sorts.map((sort) => sort.name);
    const sort = findName(names, fields.get("predict"));
    if (sort) link.predict = sort;
    else
      link.problems.push(
        `unknown sort ${quote(fields.get("predict"))} in predict; the sorts are ${names.join(", ")}.`,
      );
  }
  if (fields.has("kind")) {
    const kind = findName(Object.keys(PREDICT_KINDS), fields.get("kind"));
    if (!kind)
      link.problems.push(
        `unknown kind ${quote(fields.get("kind"))}; the kinds are ${Object.keys(PREDICT_KINDS).join(", ")}.`,
      );
    else if (!fields.has("predict")) link.problems.push("kind goes with predict=SORT.");
    else link.kind = kind;
  }
  if (link.predict && !link.kind) link.kind = "moves";
  if (fields.has("embed")) {
    if (["0", "1"].includes(fields.get("embed").trim()))
      link.embed = fields.get("embed").trim() === "1";
    else link.problems.push(`embed is 1 or 0, not ${quote(fields.get("embed"))}.`);
  }
}
