"use strict";

// The race: one documented state, the replays on one clock, the status that narrates it and the
// frame loop.

const $ = (id) => document.getElementById(id);

const reducedMotion = window.matchMedia("(prefers-reduced-motion: reduce)");

// Everything the page knows and the visitor can change. The controls change it through the
// functions below; the renderer reads it; window.sortingShow shows tests a summary of it.
const state = {
  sources: null, // { "sorting/quick_sort.h": text, ... }: the headers the events' lines are in
  catalog: null, // { sorts: [{ name, stable, ... }], patterns: [{ name, description }], limits, ... }
  format: null, // the catalogue's description of the traces, as traceFormat reads it
  inputs: [], // every input the page can race: { request, key, embedded, recording }
  current: null, // the input shown; only its recording is kept in memory
  chosen: [], // names of the sorts racing, in the catalogue's order
  replays: [],
  panels: [],
  tick: 0,
  length: 0, // ticks of the longest run among the chosen sorts
  playing: false,
  duration: DEFAULT_DURATION, // seconds the whole race takes at this speed
  carry: 0, // fraction of an event owed by the clock
  lastFrame: null,
  frameRequested: false,
  colours: null,
  recorder: null, // the Recorder, or null with recorderProblem saying why
  recorderProblem: null,
  maxValues: 512,
  showing: 0, // counts requests to show an input; a late recording yields to a newer one
  busy: false,
  timings: { lastRecord: null, firstRace: null },
  video: null, // { canvas, recorder } while the race is recorded as a video
  costs: null, // { request, docs }: the module's sorting-counts documents the cost curves show
  // Predict mode: the clock moves only as the learner's answers say, never by the playback
  // controls or keys; and where it stops while playing, { tick, then }, then called.
  locked: false,
  stop: null,
};

function eventsPerSecond() {
  return state.length / state.duration;
}

function updateSpeedLabel() {
  const rate = eventsPerSecond();
  const shown = rate >= 10 ? Math.round(rate) : rate.toFixed(1);
  $("speed-label").textContent = `race ${formatSeconds(state.duration)}, ${shown} ticks/s`;
  $("speed").setAttribute("aria-valuetext", `the race takes ${formatSeconds(state.duration)}`);
}

function formatSeconds(seconds) {
  if (seconds < 60) return `${Number(seconds.toFixed(1))} s`;
  const minutes = Math.floor(seconds / 60);
  const rest = Math.round(seconds - minutes * 60);
  return rest ? `${minutes} min ${rest} s` : `${minutes} min`;
}

// The slider stop nearest a duration.
function speedStop(duration) {
  let best = 0;
  DURATIONS.forEach((stop, k) => {
    if (Math.abs(Math.log(stop / duration)) < Math.abs(Math.log(DURATIONS[best] / duration)))
      best = k;
  });
  return best;
}

function setDuration(seconds) {
  state.duration = seconds;
  $("speed").value = String(speedStop(seconds));
  updateSpeedLabel();
}

// Builds the panels of the chosen sorts for the shown input and stands the clock on `tick`.
function layOut(tick) {
  const recording = state.current.recording;
  state.replays = recording.traces
    .filter((trace) => state.chosen.includes(trace.algorithm))
    .map((trace) => new Replay(trace, state.format));
  const names = state.replays.map((replay) => replay.algorithm);
  if (names.join() !== state.panels.map((panel) => panel.algorithm).join()) {
    const container = $("panels");
    container.textContent = "";
    const facts = (name) => state.catalog.sorts.find((sort) => sort.name === name);
    state.panels = names.map((name) => new Panel(container, name, facts(name)));
  }
  state.replays.forEach((replay, k) => state.panels[k].attach(replay));
  fitStrips(state.panels);
  labelPanels(state.panels);
  fitPanels();
  fillCodeChoice();
  state.length = Math.max(0, ...state.replays.map((replay) => replay.length));
  $("scrubber").max = String(state.length);
  updateSpeedLabel();
  setTick(tick);
}

// Finishing order: a sort's rank is one more than the number that need fewer ticks.
function finishedRank(replay) {
  return 1 + state.replays.filter((other) => other.length < replay.length).length;
}

// The name column and each text's room come from what the texts take at the end of the race in
// this width (the panels share the height, however many race). A short window puts each
// panel's texts on one line, and on two where the texts of the race's end would not fit on one.
// The key says what they were fitted for.
const shortWindow = window.matchMedia("(max-height: 600px)");
let fittedFor = "";

function fitPanels() {
  const container = $("panels");
  fittedFor = `${container.clientWidth} ${shortWindow.matches}`;
  const fit = () => {
    container.style.removeProperty("--name-width");
    const widest = Math.max(0, ...state.panels.map((panel) => panel.nameWidth()));
    container.style.setProperty("--name-width", `${widest}px`);
    return state.panels
      .map((panel) => panel.reserveRoom(finishedRank(panel.replay)))
      .every((whole) => whole);
  };
  container.classList.remove("two-lines");
  if (!fit() && shortWindow.matches) {
    container.classList.add("two-lines");
    fit();
  }
  for (const panel of state.panels) panel.updateText(state.tick, finishedRank(panel.replay));
}

// Fits the panels again where the width, and with it the room the texts take, changed.
function refitPanels() {
  if (state.panels.length && fittedFor !== `${$("panels").clientWidth} ${shortWindow.matches}`)
    fitPanels();
}

function setTick(tick) {
  state.tick = Math.max(0, Math.min(state.length, tick));
  for (const panel of state.panels) {
    panel.replay.seek(state.tick);
    panel.updateText(state.tick, finishedRank(panel.replay));
    panel.dirty = true;
  }
  $("scrubber").value = String(state.tick);
  $("tick-label").textContent = `${state.tick} / ${state.length}`;
  $("scrubber").setAttribute("aria-valuetext", `tick ${state.tick} of ${state.length}`);
  updateCode();
  requestFrame();
}

// A touch screen has no keys to mention.
const touchOnly = window.matchMedia("(hover: none) and (pointer: coarse)");

// The status: one short sentence for the eye, and after it, for screen readers alone, what each
// sort did, which the eye finds in the panels and the code view.
function setStatus(text, details = "") {
  $("status-text").textContent = text;
  $("status-details").textContent = details ? ` ${details}` : "";
}

// The status narrates the current tick: what each sort still running did on it.
function narrateTick() {
  if (state.tick === 0) {
    const own = state.replays.some((replay) => ownInputs(replay.trace))
      ? "Each sort races an input of its own, the one the adversary settled on for it."
      : "";
    setStatus(`Start: tick 0 of ${state.length}. ${describeRequest(state.current.request)}.`, own);
    return;
  }
  const parts = [];
  for (const panel of state.panels) {
    const event = panel.currentEvent(state.tick);
    const where = event ? placeText(event.place) : "";
    if (!event) continue;
    const handed = handoverSentence(panel.replay, handoverAt(panel.replay, state.tick));
    if (handed) parts.push(handed);
    parts.push(`${panel.replay.algorithm}${where ? `, ${where}:` : ""} ${narrate(event)}.`);
    if (panel.strip.shown)
      parts.push(`${rangeSentence(panel.replay, rangeOf(panel.replay, state.tick))}.`);
  }
  const done = state.panels
    .filter((panel) => panel.replay.length < state.tick)
    .map((p) => p.replay.algorithm);
  const tail = done.length ? ` Finished: ${done.join(", ")}.` : "";
  setStatus(
    `Tick ${state.tick} of ${state.length}: each panel says what its sort did.`,
    `${parts.join(" ")}${tail}`,
  );
}

function narrateEnd() {
  const order = state.replays
    .slice()
    .sort((x, y) => x.length - y.length)
    .map((replay) => `${replay.algorithm} (${replay.length})`);
  const ends = state.replays.map((replay) => `${replay.algorithm}: ${finalText(replay)}.`);
  setStatus(
    `All finished at tick ${state.length}: each panel says in what place and how.`,
    `Ticks needed: ${order.join(", ")}. ${ends.join(" ")}`,
  );
}

// Narrates where the clock stands after the visitor moved it.
function narratePosition() {
  if (state.tick === state.length && state.length > 0) narrateEnd();
  else narrateTick();
}

// One announcement when play starts; nothing more until it stops, so that screen readers
// do not hear a stream of numbers.
function play() {
  if (state.playing || !state.current) return;
  if (state.tick >= state.length) setTick(0);
  $("play").textContent = "Pause";
  const keys = touchOnly.matches ? "" : " Space pauses.";
  setStatus(`Playing: the race takes ${formatSeconds(state.duration)}.${keys}`);
  startClock();
}

// Sets the clock going from the tick it stands on, at the chosen pace.
function startClock() {
  state.playing = true;
  state.lastFrame = null;
  state.carry = 0;
  requestFrame();
}

function pause(announce = true) {
  state.stop = null;
  if (!state.playing) return;
  state.playing = false;
  $("play").textContent = "Play";
  if (announce) narrateTick();
}

function togglePlay() {
  if (state.playing) pause();
  else play();
}

function step(delta) {
  pause(false);
  setTick(state.tick + delta);
  narratePosition();
  soundStep();
}

function seekTo(tick) {
  pause(false);
  setTick(tick);
  narratePosition();
}

function restart() {
  pause(false);
  setTick(0);
  if (reducedMotion.matches) narrateTick();
  else play();
}

// Faster (+1) or slower (-1) by one stop of the slider.
function changeSpeed(delta) {
  const stop = Math.max(0, Math.min(DURATIONS.length - 1, speedStop(state.duration) + delta));
  setDuration(DURATIONS[stop]);
  if (state.playing) setStatus(`Playing: the race takes ${formatSeconds(state.duration)}.`);
}

function requestFrame() {
  if (state.frameRequested) return;
  state.frameRequested = true;
  requestAnimationFrame(frame);
}

// One loop for everything: advance the clock while playing, then redraw what changed.
function frame(now) {
  state.frameRequested = false;
  if (state.playing) {
    const elapsed = state.lastFrame === null ? 0 : Math.min(now - state.lastFrame, 250);
    state.lastFrame = now;
    state.carry += (elapsed * eventsPerSecond()) / 1000;
    const steps = Math.floor(state.carry);
    if (steps > 0) {
      state.carry -= steps;
      setTick(Math.min(state.tick + steps, state.stop ? state.stop.tick : Infinity));
      soundStep();
    }
    if (state.stop && state.tick >= state.stop.tick) {
      const { then } = state.stop;
      pause(false);
      then();
    } else if (state.tick >= state.length) {
      pause(false);
      narrateEnd();
    }
  }
  for (const panel of state.panels) {
    if (panel.dirty) panel.draw(state.tick, state.colours);
  }
  if (state.video) {
    raceImage(state.video.canvas);
    if (!state.playing && state.video.recorder.state === "recording") {
      state.video.recorder.stop();
      $("export-message").textContent = "The video is saved.";
    }
  }
  if (state.timings.firstRace === null && state.panels.length)
    state.timings.firstRace = performance.now();
  if (state.playing) requestFrame();
}
