"use strict";

// Predict mode on the page: the learner picks a sort of the race and what to predict, and
// answers before each step with the controls here, by mouse, touch or keys; predict.js poses
// the questions and grades them from the traces. While it runs the clock moves only as the
// answers say (state.locked), and a page that frames this one hears the score by postMessage.

const predict = {
  session: null,
  entry: null, // the input the session runs on
  sort: null,
  kind: null,
  // "off"; "recording" the variants or a new input; "playing" to the next question; "answer"
  // awaited; "next" (after a wrong answer or a reveal: the step shown, the learner goes on);
  // "done".
  phase: "off",
  chosen: [], // the slots chosen, in the order chosen
  held: false,
  pick: null, // the index of the choice chosen (an arrangement, yes or no)
  feedback: "",
  last: null, // the last answer graded or step revealed
  othersShown: false,
  chosenBefore: null, // the sorts that raced before the mode started
  embedded: false,
  predicted: new Set(), // the inputs (by key) a session has shown a step of
};

function predictReplay() {
  return state.replays.find((replay) => replay.algorithm === predict.sort) || null;
}

// The link's part for the mode: never an answer, only what is asked about.
function predictLinkParts() {
  const parts = predict.session ? [`predict=${predict.sort}`, `kind=${predict.kind}`] : [];
  return predict.embedded ? [...parts, "embed=1"] : parts;
}

function wirePredict() {
  for (const sort of state.catalog.sorts) $("predict-sort").appendChild(new Option(sort.name));
  for (const [kind, words] of Object.entries(PREDICT_KINDS))
    $("predict-kind").appendChild(new Option(words, kind));
  $("predict-open").addEventListener("click", openPredict);
  $("predict-start").addEventListener("click", () =>
    startFresh($("predict-sort").value, $("predict-kind").value),
  );
  $("predict-leave").addEventListener("click", leavePredict);
  $("predict-others").addEventListener("click", () => showOthers(!predict.othersShown));
  $("predict-answer").addEventListener("click", onAnswerButton);
  $("predict-reveal").addEventListener("click", revealStep);
  $("predict-again").addEventListener("click", startAgain);
  $("predict").addEventListener("keydown", onPredictKey);
  $("predict-copy").addEventListener("click", async () => {
    const text = $("predict-summary-text").value;
    await navigator.clipboard.writeText(text).catch(() => $("predict-summary-text").select());
  });
}

function openPredict() {
  $("predict").hidden = false;
  if (!predict.session) {
    $("predict-sort").value = codeView.sort || state.chosen[0];
    renderPredict();
  }
  $("predict").scrollIntoView({ block: "nearest" });
  $(predict.session ? "predict-answer" : "predict-sort").focus();
}

function setEmbedded(on) {
  predict.embedded = on;
  document.documentElement.classList.toggle("embedded", on);
}

// What a link asks of the mode: a session on its race, or none.
async function followPredict(link) {
  setEmbedded(Boolean(link.embed));
  if (link.predict) {
    $("predict").hidden = false;
    await startPredict(link.predict, link.kind);
  } else if (predict.phase !== "off") {
    leavePredict();
  }
}

// The toolbar's playback, the choice of input and of sorts wait while the mode owns the clock.
function lockRace(on) {
  state.locked = on;
  for (const id of ["play", "step-back", "step-forward", "restart", "scrubber", "input-choice"])
    $(id).disabled = on;
  $("your-input").disabled = on;
  document.querySelectorAll("#sort-choice input").forEach((box) => (box.disabled = on));
  setBusy(state.busy);
  if (!on) chooseSorts(state.chosen);
}

// The panel of the sort predicted alone, or with the others racing beside it.
function showOthers(on) {
  predict.othersShown = on;
  $("predict-others").setAttribute("aria-pressed", String(on));
  for (const panel of state.panels)
    panel.element.hidden = !on && predict.session !== null && panel.algorithm !== predict.sort;
  fitPanels();
  requestFrame();
}

// The variants of the sort on the race's input, each with its name and its misconception; none
// where the page cannot record (it then names no misconception).
async function recordVariants(sort) {
  if (!state.recorder) return [];
  const described = state.catalog.variants.filter((variant) => variant.sort === sort);
  const { traces } = await state.recorder.ask("variants", { request: state.current.request, sort });
  return traces.map((trace, k) => ({ ...described[k], trace }));
}

// Starts a session on the race shown: from its first tick, once the variants are recorded.
async function startPredict(sort, kind, note = "") {
  if (!state.current || !state.catalog.sorts.some((s) => s.name === sort) || !PREDICT_KINDS[kind])
    return false;
  const size = state.current.recording.traces[0].input.length;
  if (size > PREDICT_MAX_VALUES) {
    say(`Predict mode takes up to ${PREDICT_MAX_VALUES} values; this race has ${size}.`);
    return false;
  }
  Object.assign(predict, { sort, kind, entry: state.current, session: null, last: null });
  if (!predict.chosenBefore) predict.chosenBefore = state.chosen.slice();
  if (!state.chosen.includes(sort)) chooseSorts([...state.chosen, sort]);
  pause(false);
  lockRace(true);
  layOut(0);
  chooseCodeSort(sort);
  $("predict-sort").value = sort;
  $("predict-kind").value = kind;
  setPhase("recording");
  let variants = [];
  try {
    variants = await recordVariants(sort);
  } catch (error) {
    if (error instanceof Superseded) return false;
    say(`The variants could not be recorded (${error.message}): no misconception will be named.`);
  }
  if (state.current !== predict.entry) return false;
  const trace = state.current.recording.traces.find((t) => t.algorithm === sort);
  predict.session = new PredictSession(state.format, trace, kind, variants);
  showOthers(predict.othersShown);
  updateAddress();
  setStatus(
    `Predict mode: ${sort}, ${PREDICT_KINDS[kind]}, on ${describeRequest(state.current.request)}.`,
  );
  const q = predict.session.question;
  say(`${note}${q ? `First: ${questionText(q, sort)}` : `${sort} makes no such step here.`}`);
  playOn(q ? q.at : trace.length, q ? "answer" : "done");
  return true;
}

function leavePredict() {
  Object.assign(predict, { session: null, entry: null, last: null, phase: "off", feedback: "" });
  lockRace(false);
  if (predict.chosenBefore) chooseSorts(predict.chosenBefore);
  predict.chosenBefore = null;
  layOut(state.tick);
  showOthers(predict.othersShown);
  $("predict").hidden = true;
  updateAddress();
  narratePosition();
  $("predict-open").focus();
}

// The clock played on to `tick` (at once under reduced motion), stopped there, and the
// session in `phase` then: "answer", "next" or "done".
function playOn(tick, phase) {
  setPhase("playing");
  const session = predict.session;
  const then = () => {
    if (predict.session !== session) return;
    if (phase === "done") finishPredict();
    else setPhase(phase);
  };
  const target = Math.min(tick, state.length);
  if (reducedMotion.matches || target <= state.tick) {
    setTick(target);
    then();
    return;
  }
  state.stop = { tick: target, then };
  startClock();
}

// What the learner chose, as the session takes it.
function currentChoice() {
  const q = predict.session.question;
  if (MULTIPLE.has(q.type)) return { slots: predict.chosen.slice(), held: predict.held };
  if (q.type === "pivot" || q.type === "heap-root") return { slot: predict.chosen[0] };
  if (q.type === "merge") return { choice: predict.pick };
  return predict.pick === null ? {} : { yes: predict.pick === 0 };
}

function onAnswerButton() {
  if (predict.phase === "next") goOn();
  else if (predict.phase === "answer") answerWith(currentChoice());
}

// Grades `choice`; the step then plays, and after a wrong answer waits for the learner.
function answerWith(choice) {
  if (predict.phase !== "answer") return { error: "No question is waiting for an answer." };
  const result = predict.session.answer(choice);
  if (result.error) {
    say(result.error);
    return result;
  }
  conclude(result);
  return result;
}

function revealStep() {
  if (predict.phase !== "answer") return { error: "No question is waiting for an answer." };
  const result = predict.session.reveal();
  conclude(result);
  return result;
}

// Says what the code did, counts it, tells a framing page, and plays the step.
function conclude(result) {
  const q = result.question;
  const session = predict.session;
  predict.last = result;
  predict.predicted.add(predict.entry.key);
  predict.chosen = [];
  predict.held = false;
  predict.pick = null;
  const truth = truthText(q);
  const next = session.question;
  if (result.correct) {
    const then = next ? `Next: ${questionText(next, predict.sort)}` : "That was the last question.";
    say(`Right: ${truth} ${then}`);
  } else {
    const named = result.misconception ? ` ${misconceptionText(q, result.misconception)}` : "";
    const opening = result.revealed ? "Shown" : "Not quite";
    const then = next ? "Press Next to go on." : "That was the last question: Next ends it.";
    say(`${opening}: ${truth}${named} ${then}`);
  }
  postScore("answer", result);
  if (!result.correct) playOn(q.until, "next");
  else if (next) playOn(next.at, "answer");
  else playOn(session.events.length, "done");
}

function goOn() {
  const next = predict.session.question;
  playOn(next ? next.at : predict.session.events.length, next ? "answer" : "done");
}

function finishPredict() {
  setPhase("done");
  const summary = predictSummary();
  $("predict-summary-text").value = summary;
  $("predict-summary-text").rows = Math.min(12, summary.split("\n").length);
  postScore("end", predict.last);
}

function predictSummary() {
  if (!predict.session) return null;
  const { request } = predict.entry;
  return summaryText(predict.session, { sort: predict.sort, request, link: pageLink(false) });
}

// A session from the Start button: on the race shown, unless a session has shown steps of it,
// whose answers would then be known: on a new input.
function startFresh(sort, kind) {
  if (!state.current || !predict.predicted.has(state.current.key)) return startPredict(sort, kind);
  Object.assign(predict, { sort, kind, entry: state.current });
  return startAgain();
}

// The same values in another order, from `seed` (a 32-bit mix), for a new session on typed values.
function shuffledValues(values, seed) {
  let s = seed >>> 0;
  const random = () => {
    s = (s + 0x6d2b79f5) >>> 0;
    let t = Math.imul(s ^ (s >>> 15), s | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const out = values.slice();
  for (let k = out.length - 1; k > 0; --k) {
    const pick = Math.floor(random() * (k + 1));
    [out[k], out[pick]] = [out[pick], out[k]];
  }
  return out;
}

// "Start again": a new input of the same pattern and size (a new seed), or the same values in
// a new order, so that no answer can be learned by heart; the same sort and kind.
async function startAgain() {
  if (!predict.entry || predict.phase === "recording") return false;
  const request = predict.entry.request;
  const seed = crypto.getRandomValues(new Uint32Array(1))[0];
  let fresh;
  if (request.values) {
    let values = shuffledValues(request.values, seed);
    for (let k = 1; k < 8 && values.join() === request.values.join(); ++k)
      values = shuffledValues(request.values, seed + k);
    fresh = { values, direction: request.direction };
  } else {
    fresh = { ...request, seed: seed === request.seed ? seed ^ 1 : seed };
  }
  setPhase("recording");
  let note = "";
  try {
    if (!state.recorder) throw new Error(state.recorderProblem);
    if (!(await showInput(addInput(fresh), { autoplay: false }))) return false;
  } catch (error) {
    note = `No new input could be recorded (${error.message}) The same one again. `;
  }
  return startPredict(predict.sort, predict.kind, note);
}

// The one announcement of an answer: the polite live region, written once.
function say(text) {
  predict.feedback = text;
  $("predict-feedback").textContent = text;
}

function setPhase(phase) {
  predict.phase = phase;
  renderPredict();
}

// A framing page (a course) hears each answer and the end; the message holds nothing private.
function postScore(event, result) {
  if (window.parent === window || !predict.session) return;
  const counts = predict.session.counts;
  window.parent.postMessage(
    {
      type: "sorting-predict",
      version: 1,
      event,
      sort: predict.sort,
      kind: predict.kind,
      link: pageLink(false),
      ...counts,
      correct: result ? result.correct : null,
      outcome: result ? (result.revealed ? "revealed" : result.correct ? "right" : "wrong") : null,
      misconception: result && result.misconception ? result.misconception.name : null,
      summary: event === "end" ? predictSummary() : null,
    },
    "*",
  );
}

// For tests and a course's own scripts: the mode as the learner drives it.
const predictApi = {
  start: (sort, kind) => startPredict(sort, kind),
  answer: (choice) => answerWith(choice),
  reveal: () => revealStep(),
  next: () => (predict.phase === "next" ? (goOn(), true) : false),
  restart: () => startAgain(),
  leave: () => leavePredict(),
  state() {
    const session = predict.session;
    const q = session ? session.question : null;
    const last = predict.last;
    return {
      mode: session ? "predict" : null,
      sort: predict.sort,
      kind: predict.kind,
      phase: predict.phase,
      ready: predict.phase === "answer",
      ...(session ? session.counts : { step: 0, right: 0, wrong: 0, revealed: 0, streak: 0 }),
      question: q && {
        type: q.type,
        at: q.at,
        text: questionText(q, predict.sort),
        first: q.first ?? null,
        last: q.last ?? null,
        choices: q.choices || null,
      },
      feedback: predict.feedback,
      correct: last ? last.correct : null,
      misconception: last && last.misconception ? last.misconception.name : null,
      // Each variant recorded, and the library's first event it does otherwise (its length
      // where none): no answer, but where the variant stops being matched.
      variants: session
        ? session.variants.map(({ name, match }) => ({ name, agreesUntil: match.diverged }))
        : [],
      finished: predict.phase === "done",
      summary: predict.phase === "done" ? predictSummary() : null,
    };
  },
};
