"use strict";

// Sound: one tone per step of the sort whose code is shown, its pitch the value compared or
// written, a softer sine for tests and a brighter triangle for writes. The race plays a tone
// per frame at most, that of the step shown then: above about 60 steps a second (one a frame)
// most steps are not heard, as the Sound button's title says. Off until asked for; the
// AudioContext is made only on a click or key press, as browsers require.

const SOUND_KEY = "sorting-show-sound";
const sound = { on: false, context: null, gain: null };

function readSoundSetting() {
  try {
    return localStorage.getItem(SOUND_KEY) === "on";
  } catch {
    return false; // storage refused (a file:// policy, private mode): off
  }
}

function setSound(on) {
  sound.on = on;
  $("sound").setAttribute("aria-pressed", on ? "true" : "false");
  $("volume-label").hidden = !on;
  try {
    localStorage.setItem(SOUND_KEY, on ? "on" : "off");
  } catch {
    // Not remembered where storage is refused; it still works on this page.
  }
}

// Called from a user gesture only.
function ensureAudio() {
  if (!sound.on || sound.context || typeof AudioContext !== "function") return;
  sound.context = new AudioContext();
  sound.gain = sound.context.createGain();
  sound.gain.connect(sound.context.destination);
}

function toggleSound() {
  setSound(!sound.on);
  ensureAudio();
}

// The tone of the chosen sort's event on the current tick, if it made one on it.
function soundStep() {
  if (!sound.on || !sound.context) return;
  const replay = state.replays.find((r) => r.algorithm === codeView.sort);
  if (!replay || replay.position !== state.tick || replay.position === 0) return;
  const event = replay.event();
  const value = event.kind === "write" ? event.value : event.a;
  const span = replay.high - replay.low || 1;
  const context = sound.context;
  const oscillator = context.createOscillator();
  oscillator.type = event.kind === "write" ? "triangle" : "sine";
  // Two octaves, 220 to 880 Hz, from the least value to the greatest.
  oscillator.frequency.value = 220 * Math.pow(2, (2 * (value - replay.low)) / span);
  const envelope = context.createGain();
  const now = context.currentTime;
  envelope.gain.setValueAtTime(Number($("volume").value) / 100, now);
  envelope.gain.exponentialRampToValueAtTime(0.001, now + 0.08);
  oscillator.connect(envelope);
  envelope.connect(sound.gain);
  oscillator.start(now);
  oscillator.stop(now + 0.09);
}
