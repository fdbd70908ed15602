"use strict";

// The toolbar's buttons and sliders, the keys, and every listener the page sets up.

// The keys, and whether each also works while a slider has the focus (a slider keeps its
// arrows and Home/End). Up and down arrows are left to the browser, which scrolls with them.
const KEYS = {
  " ": { run: togglePlay, onSlider: true },
  ArrowRight: { run: () => step(1) },
  ArrowLeft: { run: () => step(-1) },
  Home: { run: () => seekTo(0) },
  End: { run: () => seekTo(state.length) },
  "+": { run: () => changeSpeed(1), onSlider: true },
  "=": { run: () => changeSpeed(1), onSlider: true },
  "-": { run: () => changeSpeed(-1), onSlider: true },
};

function onKey(event) {
  if (event.altKey || event.ctrlKey || event.metaKey || !state.current || state.locked) return;
  const target = event.target;
  const tag = target.tagName;
  // Typing into a field, choosing in a list or pressing a focused button keeps its usual meaning.
  if (tag === "TEXTAREA" || tag === "SELECT") return;
  if (tag === "INPUT" && target.type !== "range") return;
  if ((tag === "BUTTON" || tag === "A") && (event.key === " " || event.key === "Enter")) return;
  const key = KEYS[event.key];
  if (!key || (tag === "INPUT" && !key.onSlider)) return;
  key.run();
  event.preventDefault();
}

async function toggleFullscreen() {
  try {
    if (document.fullscreenElement) await document.exitFullscreen();
    else await $("stage").requestFullscreen();
  } catch (error) {
    setStatus(`Full screen is not available here: ${error.message}`);
  }
}

function wireControls() {
  $("play").addEventListener("click", togglePlay);
  $("step-back").addEventListener("click", () => step(-1));
  $("step-forward").addEventListener("click", () => step(1));
  $("restart").addEventListener("click", restart);
  $("speed").max = String(DURATIONS.length - 1);
  $("speed").addEventListener("input", () =>
    changeSpeed(Number($("speed").value) - speedStop(state.duration)),
  );
  $("scrubber").addEventListener("input", () => seekTo(Number($("scrubber").value)));
  $("input-choice").addEventListener("change", onInputChoice);
  $("your-input").addEventListener("click", async () => {
    // The input panel lies outside the race, which full screen shows alone.
    if (document.fullscreenElement) await document.exitFullscreen().catch(() => {});
    $("input-panel").scrollIntoView({ block: "start" });
    $("values-field").focus({ preventScroll: true });
  });
  $("copy-link").addEventListener("click", copyLink);
  $("copy-summary").addEventListener("click", copySummary);
  $("fullscreen").hidden = !document.fullscreenEnabled;
  $("fullscreen").addEventListener("click", toggleFullscreen);
  document.addEventListener("fullscreenchange", () => {
    $("fullscreen").setAttribute("aria-pressed", document.fullscreenElement ? "true" : "false");
  });
  $("values-form").addEventListener("submit", submitValues);
  $("pattern-form").addEventListener("submit", submitPattern);
  $("download").addEventListener("click", download);
  $("code-sort").addEventListener("change", updateCode);
  $("cost-draw").addEventListener("click", drawCosts);
  $("cost-csv").addEventListener("click", downloadCosts);
  $("export-frame").addEventListener("click", saveRaceImage);
  $("export-history").addEventListener("click", showHistoryPicture);
  $("save-history").addEventListener("click", saveHistoryPicture);
  $("export-video").addEventListener("click", recordVideo);
  $("sound").addEventListener("click", toggleSound);
  // A remembered "on" makes its sound after the visitor's first click or key press.
  for (const type of ["pointerdown", "keydown"]) document.addEventListener(type, ensureAudio, true);
  setSound(readSoundSetting());
  wideWindow.addEventListener("change", placeCodeView);
  placeCodeView();
  document.addEventListener("keydown", onKey);
  window.addEventListener("hashchange", followLink);
  new ResizeObserver(() => {
    refitPanels();
    state.panels.forEach((panel) => (panel.dirty = true));
    requestFrame();
  }).observe($("panels"));
  new ResizeObserver(scrollToMarkedLine).observe($("code"));
  // The cost curves are drawn at their width: again when it changes.
  new ResizeObserver(() => {
    if (state.costs && state.costs.width !== $("cost-charts").clientWidth) renderCosts();
  }).observe($("cost-charts"));
}
