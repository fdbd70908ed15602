"use strict";

// The inputs the page can race: the list of them, recording one when it is shown, and the input
// panel's forms.

// Adds an input to the list (once) and returns its entry.
// `embedded` is a sorting-trace document of its traces (a page without the module), and
// `reorderedPairs` each sort's count of reordered pairs of equal values, from sort_show.
function addInput(request, embedded = null, reorderedPairs = null) {
  const key = requestKey(request);
  const existing = state.inputs.find((entry) => entry.key === key);
  if (existing) return existing;
  const entry = { request, key, embedded, reorderedPairs, recording: null };
  state.inputs.push(entry);
  const option = document.createElement("option");
  option.value = String(state.inputs.length - 1);
  option.textContent = describeRequest(request);
  $("input-choice").appendChild(option);
  return entry;
}

function setBusy(busy) {
  state.busy = busy;
  // Shown and hidden in its own place: a change of layout would resize every canvas.
  $("busy").style.visibility = busy ? "visible" : "hidden";
  $("panels").setAttribute("aria-busy", busy ? "true" : "false");
  document
    .querySelectorAll("button.record")
    .forEach((button) => (button.disabled = busy || !state.recorder || state.locked));
}

// Makes sure an entry has its recording: the embedded traces packed, or the module's run in
// the worker. Throws with a sentence for the visitor when it cannot, or Superseded when a
// newer recording took its place.
async function ensureRecording(entry) {
  if (entry.recording) return;
  if (entry.embedded) {
    const pairs = entry.reorderedPairs || [];
    entry.recording = {
      traces: entry.embedded.traces.map((trace, k) =>
        packJsonTrace(state.format, trace, pairs[k] ?? null),
      ),
      doc: entry.embedded,
    };
    return;
  }
  if (!state.recorder) throw new Error(state.recorderProblem);
  // Let the page show that it is busy before the worker takes a core: drawing while it records
  // would keep the main thread waiting for the compositor.
  await new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 0)));
  const started = performance.now();
  entry.recording = await state.recorder.record(entry.request);
  state.timings.lastRecord = performance.now() - started;
}

// Shows an input's race, recording it first if need be. Only the race on screen and the one
// asked for last are held; a newer request cancels an older one's recording. The page is busy
// from the request until its race is on screen. Returns false when a newer request took over.
async function showInput(entry, { tick = 0, autoplay = !reducedMotion.matches } = {}) {
  const ticket = ++state.showing;
  const latest = () => ticket === state.showing;
  pause(false);
  setBusy(true);
  for (const other of state.inputs) {
    if (other !== entry && other !== state.current) other.recording = null;
  }
  try {
    await ensureRecording(entry);
  } catch (error) {
    if (!latest() || error instanceof Superseded) return false;
    setBusy(false);
    throw error;
  }
  if (!latest()) {
    if (entry !== state.current) entry.recording = null;
    return false;
  }
  if (state.current && state.current !== entry) state.current.recording = null;
  state.current = entry;
  $("input-choice").value = String(state.inputs.indexOf(entry));
  showComparator(entry.request.comparator || STRICT_ORDER);
  layOut(tick);
  setBusy(false);
  if (tick > 0 || !autoplay) narratePosition();
  else play();
  return true;
}

// Each attempt starts with no message from an earlier one.
function clearMessages() {
  setMessage("values-message", $("values-field"), null);
  setMessage("pattern-message", null, null);
  $("size-field").setAttribute("aria-invalid", "false");
  $("seed-field").setAttribute("aria-invalid", "false");
}

function setMessage(id, field, text) {
  const message = $(id);
  message.textContent = text || "";
  message.className = text ? "message error" : "message";
  if (field) field.setAttribute("aria-invalid", text ? "true" : "false");
}

// Records and shows a request from the input panel; then the race is what the visitor looks
// at, with the focus on Play so that Space and the arrows work at once.
async function raceFromPanel(request, messageId) {
  try {
    const started = performance.now();
    if (!(await showInput(addInput(request)))) return;
    if (state.timings.lastRecord !== null) {
      $("record-time").textContent =
        `Recorded in the browser in ${state.timings.lastRecord.toFixed(1)} ms ` +
        `(shown after ${(performance.now() - started).toFixed(1)} ms).`;
    }
  } catch (error) {
    setMessage(messageId, null, `Could not record: ${error.message}`);
    return;
  }
  updateAddress();
  $("stage").scrollIntoView({ block: "start" });
  $("play").focus({ preventScroll: true });
}

function submitValues(event) {
  event.preventDefault();
  clearMessages();
  const field = $("values-field");
  const parsed = parseValues(field.value, state.maxValues);
  if (parsed.error) {
    setMessage("values-message", field, parsed.error);
    field.focus();
    return;
  }
  raceFromPanel(
    withComparator({ values: parsed.value, direction: $("direction-field").value }, lab.comparator),
    "values-message",
  );
}

function submitPattern(event) {
  event.preventDefault();
  clearMessages();
  const size = parseWhole($("size-field").value, "Size", 1, state.maxValues);
  const seed = parseWhole($("seed-field").value, "Seed", 0, UINT32_MAX);
  const bad = size.error ? [size, $("size-field")] : seed.error ? [seed, $("seed-field")] : null;
  if (bad) {
    setMessage("pattern-message", bad[1], bad[0].error);
    bad[1].focus();
    return;
  }
  raceFromPanel(
    withComparator(
      {
        pattern: $("pattern-field").value,
        size: size.value,
        seed: seed.value,
        direction: $("direction-field").value,
      },
      lab.comparator,
    ),
    "pattern-message",
  );
}

function chooseSorts(names) {
  state.chosen = state.catalog.sorts
    .map((sort) => sort.name)
    .filter((name) => names.includes(name));
  document.querySelectorAll("#sort-choice input").forEach((box) => {
    box.checked = state.chosen.includes(box.value);
    box.disabled = box.checked && state.chosen.length === 1; // one sort at least races
  });
}

function onSortChoice() {
  chooseSorts(
    Array.from(document.querySelectorAll("#sort-choice input:checked"), (box) => box.value),
  );
  if (!state.current) return;
  pause(false);
  layOut(state.tick);
  narratePosition();
  updateAddress();
}

async function onInputChoice() {
  const entry = state.inputs[Number($("input-choice").value)];
  try {
    if (await showInput(entry)) updateAddress();
  } catch (error) {
    setStatus(`Could not record this input: ${error.message}`);
  }
}
