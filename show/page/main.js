"use strict";

// Start-up: the catalogue and inputs sort_show filled in, the recorder, the first race; and
// window.sortingShow for tests and measurements.

document.documentElement.classList.remove("no-js");

const WASM_BASE64 = "__SORTING_WASM__";

// The JSON a <script type="application/json"> element holds, or null where sort_show left
// it empty or this is the bare template.
function readJsonElement(id) {
  const element = $(id);
  const text = element ? element.textContent.trim() : "";
  return text.startsWith("{") ? JSON.parse(text) : null;
}

// The catalogue's sorts and patterns: the sort choice, the pattern list with each pattern's
// description, and the tables of facts under the race.
function fillFromCatalog(catalog) {
  for (const sort of catalog.sorts) {
    const label = document.createElement("label");
    label.innerHTML = '<input type="checkbox" checked> <span></span>';
    label.firstChild.value = sort.name;
    label.lastChild.textContent = sort.name;
    label.title = sortNote(sort);
    label.firstChild.addEventListener("change", onSortChoice);
    $("sort-choice").appendChild(label);
    const row = $("sort-facts").tBodies[0].insertRow();
    for (const text of [
      sort.name,
      sort.stable ? "yes" : "no",
      sort.best,
      sort.average,
      sort.worst,
      sort.memory,
      sort.calls || "none",
      sort.quadratic_on.join(", ") || "none",
    ]) {
      row.insertCell().textContent = text;
    }
  }
  for (const pattern of catalog.patterns) {
    const option = document.createElement("option");
    option.textContent = pattern.name;
    option.title = pattern.description;
    $("pattern-field").appendChild(option);
    const term = document.createElement("dt");
    term.textContent = pattern.name;
    const description = document.createElement("dd");
    description.textContent = pattern.description;
    $("pattern-facts").append(term, description);
  }
  const describe = () => {
    const pattern = catalog.patterns.find((item) => item.name === $("pattern-field").value);
    $("pattern-description").textContent = pattern ? `${pattern.name}: ${pattern.description}` : "";
  };
  $("pattern-field").addEventListener("change", describe);
  describe();
}

function disableRecording(text) {
  const note = $("record-unavailable");
  note.textContent = text;
  note.hidden = false;
  const lab = "#comparator-field, #comparator-choice, #throw-at-field, #throw-at-choice";
  document.querySelectorAll(`#values-form *, #pattern-form *, ${lab}`).forEach((element) => {
    if ("disabled" in element) element.disabled = true;
  });
}

function showPageProblem(text) {
  const banner = $("link-message");
  banner.textContent = text;
  banner.hidden = false;
  document
    .querySelectorAll(".toolbar button, .toolbar input, .toolbar select, #download")
    .forEach((control) => (control.disabled = true));
  $("your-input").disabled = false;
}

// Why this page cannot record, in the terms of whoever can fix it.
function recorderProblemText(hasModule) {
  if (!hasModule) {
    return (
      "This page was built without the WebAssembly recorder, so it races only the inputs recorded " +
      "when it was built. To race your own input, rebuild it with the recorder: install wasi-libc " +
      "libc++-14-dev-wasm32 libc++abi-14-dev-wasm32 libclang-rt-14-dev-wasm32 lld-14 and run make show again."
    );
  }
  if (typeof WebAssembly !== "object" || typeof Worker !== "function") {
    return (
      "This browser cannot run WebAssembly in a worker (it may be switched off), and this page " +
      "records its races with it. Open the page in a current browser with WebAssembly allowed."
    );
  }
  return null;
}

// For automated tests and measurements: a summary of the state and what each panel drew last.
window.sortingShow = {
  state() {
    return {
      tick: state.tick,
      length: state.length,
      playing: state.playing,
      busy: state.busy,
      input: state.current ? requestKey(state.current.request) : null,
      duration: state.duration,
      canRecord: state.recorder !== null,
      maxValues: state.maxValues,
      chosen: state.chosen.slice(),
      lastRecordMilliseconds: state.timings.lastRecord,
      firstRaceMilliseconds: state.timings.firstRace,
      colours: state.colours,
      panels: state.panels.map((panel) => ({
        algorithm: panel.replay.algorithm,
        values: panel.drawnValues,
        labels: panel.drawnLabels,
        heights: panel.drawnHeights,
        counters: panel.counters.textContent,
        state: panel.stateText.textContent,
        event: panel.eventText.textContent,
        strip: panel.strip.summary(),
        own: panel.element.querySelector(".own a")?.getAttribute("href") ?? null,
      })),
      code: {
        sort: codeView.sort,
        file: codeView.file,
        line: codeView.line,
        finished: codeView.finished,
        handover: codeView.handover,
        text: codeView.line > 0 ? codeView.texts[codeView.line - 1] : null,
        marked: codeView.marked
          ? codeView.marked.textContent.replace(/^\d+/, "").replace(/\n$/, "")
          : null,
      },
    };
  },
  predict: predictApi,
};
// The sorting-trace document of the race shown, as sort_show --json writes it.
Object.defineProperty(window, "sortingTraces", {
  get() {
    const recording = state.current && state.current.recording;
    if (!recording) return null;
    if (recording.doc) return recording.doc;
    return JSON.parse(traceDocumentChunks(state.format, recording.traces).join(""));
  },
});

async function start() {
  state.colours = readColours();
  wireControls();
  state.catalog = readJsonElement("sorting-catalog");
  state.sources = readJsonElement("sorting-sources");
  if (!state.catalog) {
    showPageProblem(
      "This is the page's template, with no sorts in it: run make show to build the page.",
    );
    return;
  }
  fillFromCatalog(state.catalog);
  wirePredict();
  fillComparators();
  chooseSorts(state.catalog.sorts.map((sort) => sort.name));
  state.format = traceFormat(state.catalog);
  $("count-budget").textContent = state.catalog.limits.count_budget.toLocaleString("en");
  state.maxValues = state.catalog.limits.max_values;
  $("size-field").max = String(state.maxValues);
  setDuration(DEFAULT_DURATION);

  const traces = readJsonElement("sorting-traces");
  const inputs = readJsonElement("sorting-inputs");
  const hasModule = WASM_BASE64.length > 0 && !WASM_BASE64.startsWith("__");
  // sort_show lists the inputs in the order of the traces it embeds, with the counts of
  // reordered equal pairs that the traces do not carry.
  const listed = inputs ? inputs.inputs : [];
  if (traces) {
    groupTraces(traces).forEach((group, k) => {
      const doc = { format: traces.format, version: traces.version, traces: group.traces };
      const pairs = listed[k] ? listed[k].reordered_equal_pairs : null;
      addInput(requestFromTrace(group.traces[0]), doc, pairs);
    });
  } else {
    for (const { pattern, size, seed, values, direction, rule } of listed) {
      const input =
        pattern === "values" ? { values, direction } : { pattern, size, seed, direction };
      addInput(withComparator(input, rule));
    }
  }
  state.recorderProblem = recorderProblemText(hasModule);
  if (!state.recorderProblem) {
    try {
      state.recorder = await Recorder.start(WASM_BASE64);
    } catch (error) {
      state.recorderProblem = `The WebAssembly recorder could not be started: ${error.message}.`;
    }
  }
  if (state.recorderProblem) disableRecording(state.recorderProblem);
  setBusy(false);

  let shown = false;
  if (location.hash.length > 1) shown = await followLink();
  if (!shown && state.inputs.length) {
    try {
      await showInput(state.inputs[0]);
    } catch (error) {
      showPageProblem(error.message);
    }
  } else if (!shown) {
    showPageProblem("No inputs are in this page: run make show to build it with some.");
  }
  if (state.current && location.hash.length <= 1) updateAddress();
  document.body.dataset.ready = "true";
}

start();
