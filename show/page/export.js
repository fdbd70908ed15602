"use strict";

// Saving what the page shows: the race as a PNG file or a WebM video, the history picture, and
// the traces shown as JSON.

// The panels as drawn, one under the other, each under a line of its name and counters.
function raceImage(canvas = document.createElement("canvas")) {
  const ratio = window.devicePixelRatio || 1;
  const line = Math.round(20 * ratio);
  const width = Math.max(...state.panels.map((panel) => panel.canvas.width));
  const height = state.panels.reduce((sum, panel) => sum + line + panel.canvas.height, 0);
  if (canvas.width !== width || canvas.height !== height) Object.assign(canvas, { width, height });
  const g = canvas.getContext("2d");
  g.fillStyle = state.colours.panel;
  g.fillRect(0, 0, canvas.width, canvas.height);
  g.font = `${Math.round(13 * ratio)}px system-ui, sans-serif`;
  g.textBaseline = "middle";
  let y = 0;
  for (const panel of state.panels) {
    panel.draw(state.tick, state.colours);
    g.fillStyle = state.colours.ink;
    const texts = [panel.counters.textContent, panel.stateText.textContent].filter(Boolean);
    g.fillText(
      `${panel.replay.algorithm}: ${texts.join("; ")}`,
      Math.round(4 * ratio),
      y + line / 2,
    );
    g.drawImage(panel.canvas, 0, y + line);
    y += line + panel.canvas.height;
  }
  return canvas;
}

function inputName() {
  const request = state.current.request;
  const input = request.values
    ? `values-${request.values.length}`
    : `${request.pattern}-${request.size}`;
  return request.comparator ? `${input}-${request.comparator.replace(":", "-")}` : input;
}

function saveRaceImage() {
  if (!state.current) return;
  raceImage().toBlob(
    (blob) => saveFile(blob, "image/png", `sorting-race-${inputName()}-tick-${state.tick}.png`),
    "image/png",
  );
}

// The race from its start at the current speed, recorded from a canvas that copies the panels
// on every frame, saved as WebM when the race stops (at its end, or when paused).
function recordVideo() {
  if (!state.current || state.video) return;
  if (typeof MediaRecorder !== "function" || !MediaRecorder.isTypeSupported("video/webm")) {
    $("export-message").textContent = "This browser cannot record a video of a canvas.";
    return;
  }
  setTick(0);
  const canvas = raceImage();
  const recorder = new MediaRecorder(canvas.captureStream(30), { mimeType: "video/webm" });
  const chunks = [];
  const name = `sorting-race-${inputName()}.webm`;
  recorder.ondataavailable = (event) => {
    if (event.data.size) chunks.push(event.data);
  };
  recorder.onstop = () => {
    state.video = null;
    $("export-video").disabled = false;
    saveFile(new Blob(chunks, { type: "video/webm" }), "video/webm", name);
  };
  state.video = { canvas, recorder };
  $("export-video").disabled = true;
  $("export-message").textContent =
    `Recording the race as a video: ${formatSeconds(state.duration)}.`;
  recorder.start();
  play();
}

async function showHistoryPicture() {
  if (!state.current) return;
  setBusy(true);
  try {
    const { width, height, pixels } = await state.recorder.ask("picture", state.current.request);
    const canvas = $("history-picture");
    canvas.width = width;
    canvas.height = height;
    canvas.getContext("2d").putImageData(new ImageData(pixels, width, height), 0, 0);
    canvas.hidden = false;
    canvas.dataset.name = `history-${inputName()}.png`;
    $("save-history").disabled = false;
    $("export-message").textContent = "";
  } catch (error) {
    $("export-message").textContent = `Could not draw the picture: ${error.message}`;
  } finally {
    setBusy(false);
  }
}

function saveHistoryPicture() {
  const canvas = $("history-picture");
  canvas.toBlob((blob) => saveFile(blob, "image/png", canvas.dataset.name), "image/png");
}

function saveFile(content, type, name) {
  const url = URL.createObjectURL(
    content instanceof Blob ? content : new Blob([content], { type }),
  );
  const link = document.createElement("a");
  link.href = url;
  link.download = name;
  document.body.appendChild(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

// The traces shown as a sorting-trace document, written from the packed columns in pieces (a
// race of 2048 values makes more text than one string of a browser holds).
function download() {
  const recording = state.current && state.current.recording;
  if (!recording) return;
  const chunks = recording.doc
    ? [JSON.stringify(recording.doc)]
    : traceDocumentChunks(state.format, recording.traces);
  const name = `sorting-traces-${inputName()}.json`;
  saveFile(new Blob(chunks, { type: "application/json" }), "application/json", name);
}
