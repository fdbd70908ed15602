"use strict";

// The code view: the library's header that made the chosen sort's last event, with that event's
// line marked and scrolled into view.

const codeView = {
  sort: null,
  file: null,
  rows: [],
  texts: [],
  marked: null,
  line: 0,
  finished: false,
  handover: false,
};

// The racing sorts to choose from, keeping the choice where that sort still races.
function fillCodeChoice() {
  const select = $("code-sort");
  const wanted = select.value;
  select.textContent = "";
  for (const replay of state.replays)
    select.appendChild(new Option(replay.algorithm, replay.algorithm));
  if (state.replays.some((replay) => replay.algorithm === wanted)) select.value = wanted;
}

function showCodeFile(file) {
  if (codeView.file === file) return;
  codeView.file = file;
  codeView.marked = null;
  codeView.rows = [];
  const text = state.sources && file ? state.sources[file] : undefined;
  codeView.texts = typeof text === "string" ? text.split("\n") : [];
  const pre = $("code");
  pre.textContent = state.sources ? "" : "This page was built without the library's sources.";
  const rows = document.createDocumentFragment();
  codeView.texts.forEach((line, k) => {
    const row = document.createElement("span");
    row.className = "code-line";
    // A wrapped line continues under its own text, past its indentation.
    row.style.setProperty("--indent", `${line.length - line.trimStart().length}ch`);
    const number = document.createElement("span");
    number.className = "ln";
    number.textContent = String(k + 1);
    row.append(number, `${line}\n`);
    codeView.rows.push(row);
    rows.appendChild(row);
  });
  pre.appendChild(rows);
}

// Marks the line of the chosen sort's last event: the current line while the sort runs, and once
// it has finished (as its panel says), its last step, marked apart, as nothing is current.
function updateCode() {
  const replay =
    state.replays.find((r) => r.algorithm === $("code-sort").value) || state.replays[0];
  if (!replay) return;
  const event = replay.event();
  // On the first event of a range that IntroSortStep hands to HeapSort, the line that hands it
  // over: the event itself is HeapSort's, in another file.
  const handover = handoverAt(replay, state.tick);
  const place = handover ? rangePlace(replay, handover) : event && event.place;
  showCodeFile(place && place.file ? place.file : replay.firstFile);
  if (codeView.marked) {
    codeView.marked.classList.remove("current", "last", "handover");
    codeView.marked.removeAttribute("aria-current");
  }
  codeView.sort = replay.algorithm;
  codeView.finished = replay.finished && state.tick >= replay.length;
  codeView.handover = Boolean(handover);
  codeView.line = place && place.file ? place.line : 0;
  codeView.marked = codeView.rows[codeView.line - 1] || null;
  const name = replay.algorithm;
  const where = event ? placeText(event.place) : "";
  let text = `${name} before its first step.`;
  if (codeView.finished) {
    text = event
      ? `${name} finished at tick ${replay.length}; its last step${where ? `, ${where}` : ""}: ${narrate(event)}.`
      : `${name} finished at tick 0, with no step to take.`;
  } else if (handover) {
    text = `${handoverSentence(replay, handover)} Its first step${where ? `, ${where}` : ""}: ${narrate(event)}.`;
  } else if (event) {
    text = `${name}${where ? `, ${where}` : ""}: ${narrate(event)}.`;
  }
  $("code-place").textContent = text;
  if (!codeView.marked) return;
  if (handover) {
    codeView.marked.classList.add("handover");
    codeView.marked.setAttribute("aria-current", "true");
  } else if (codeView.finished) {
    codeView.marked.classList.add("last");
  } else {
    codeView.marked.classList.add("current");
    codeView.marked.setAttribute("aria-current", "true");
  }
  scrollToMarkedLine();
}

// Scrolls the code alone, never the page, to keep the marked line in the middle of the view;
// again whenever the view changes size.
function scrollToMarkedLine() {
  if (!codeView.marked) return;
  const pre = $("code");
  pre.scrollTop = codeView.marked.offsetTop - (pre.clientHeight - codeView.marked.offsetHeight) / 2;
}

function chooseCodeSort(name) {
  $("code-sort").value = name;
  updateCode();
}

// Beside the race where the window is wide enough for both, otherwise under it.
const wideWindow = window.matchMedia("(min-width: 1000px)");
function placeCodeView() {
  if (wideWindow.matches) $("race-body").appendChild($("code-view"));
  else document.querySelector(".below").prepend($("code-view"));
}
