"use strict";

// Predict mode's answer controls: the slots as buttons (a value on each, its slot and value in
// its accessible name), the held value, the choices of a milestone, the score and the buttons'
// states; choosing among them by mouse, touch, Space and Enter.

const MULTIPLE = new Set(["move", "comparison"]); // questions whose answer is a set of slots
const CHOICES = new Set(["merge", "pass"]); // questions answered by a choice of the buttons

const isPressed = (button) => button.getAttribute("aria-pressed") === "true";

// Enter answers from any of the answer's controls; on a single choice it chooses it first.
function onPredictKey(event) {
  const control = event.target.closest("button.slot, button.choice");
  if (event.key !== "Enter" || !control) return;
  event.preventDefault();
  const q = predict.session && predict.session.question;
  if (predict.phase === "answer" && q && !MULTIPLE.has(q.type) && !isPressed(control))
    control.click();
  onAnswerButton();
}

function renderPredict() {
  const session = predict.session;
  const q = session ? session.question : null;
  const asking = predict.phase === "answer";
  const running = session !== null;
  $("predict-start").textContent = running ? "Start over" : "Start";
  $("predict-leave").hidden = predict.embedded;
  $("predict-answer").textContent = predict.phase === "next" ? "Next" : "Answer";
  const idle = !(asking || predict.phase === "next");
  $("predict-answer").setAttribute("aria-disabled", String(idle));
  $("predict-reveal").setAttribute("aria-disabled", String(!asking));
  $("predict-again").disabled = !running || predict.phase === "recording";
  $("predict-summary").hidden = predict.phase !== "done";
  const counts = running ? session.counts : null;
  $("predict-score").textContent = counts
    ? `step ${counts.step}: right ${counts.right}, wrong ${counts.wrong}, shown ${counts.revealed}; streak ${counts.streak}`
    : "";
  const words = {
    off: "Choose a sort and what to predict, then Start.",
    recording: "Recording…",
    playing: "Playing…",
    next: predict.embedded
      ? "The step is played: its words are below."
      : "The step is played: its line is marked in the code, its words are below.",
    done: `${predict.sort} has finished.`,
  };
  $("predict-question").textContent =
    asking && q ? questionText(q, predict.sort) : words[predict.phase];
  renderAnswerControls(q, asking);
}

// The slots as buttons (value and position in their names), the held value, or the choices.
// The focus stays on the control of the same value when they are drawn again.
function renderAnswerControls(q, asking) {
  const box = $("predict-slots");
  const focused = box.contains(document.activeElement)
    ? document.activeElement.dataset.value
    : null;
  const replay = predictReplay();
  const type = asking && q ? q.type : null;
  const buttons = [];
  if (replay && predict.session && !CHOICES.has(type)) {
    Array.from(replay.values).forEach((value, slot) => {
      const inRange = type && q.last != null && slot >= q.first && slot <= q.last;
      // The name holds the text shown (5₁) and says the rank in words too.
      const rank = replay.showsOrder ? replay.rankOf[replay.ids[slot]] : 0;
      const label = replay.label(slot);
      const name = `slot ${slot}, value ${label}${rank ? ` (the ${ordinal(rank)} ${value})` : ""}`;
      buttons.push(choiceButton("slot", label, name, slot, inRange));
    });
    if (type === "comparison")
      buttons.push(choiceButton("slot held", "the held value", null, "held"));
  } else if (type === "merge") {
    // The text shown (3₁ 3₂ 4), and where values repeat their ranks in words: "3 (the 1st 3)".
    const spoken = (item) => `${item.value} (the ${ordinal(q.rank(item))} ${item.value})`;
    q.choices.forEach((arrangement, k) => {
      const shown = arrangement.map(q.label).join(" ");
      const ranked = arrangement.some((item) => q.rank(item) > 0);
      const words = ranked
        ? `: ${arrangement.map((x) => (q.rank(x) ? spoken(x) : x.value)).join(", ")}`
        : "";
      buttons.push(choiceButton("choice", shown, `slots hold ${shown}${words}`, k));
    });
  } else if (type === "pass") {
    buttons.push(choiceButton("choice", "Yes", null, 0), choiceButton("choice", "No", null, 1));
  }
  for (const button of buttons) button.setAttribute("aria-disabled", String(!asking));
  box.replaceChildren(...buttons);
  if (focused !== null && buttons.length)
    (buttons.find((button) => button.dataset.value === focused) || buttons[0]).focus();
}

function choiceButton(className, text, label, value, marked = false) {
  const button = document.createElement("button");
  button.type = "button";
  button.className = marked ? `${className} in-range` : className;
  button.textContent = text;
  button.dataset.value = String(value);
  if (label) button.setAttribute("aria-label", label);
  const pressed =
    value === "held"
      ? predict.held
      : className === "choice"
        ? predict.pick === value
        : predict.chosen.includes(value);
  button.setAttribute("aria-pressed", String(pressed));
  button.addEventListener("click", () => choose(value, className === "choice"));
  return button;
}

// A click on a slot, the held value or a choice: a set grows or shrinks (two operands at most
// for a comparison, the oldest making way); a single choice replaces the one before.
function choose(value, isChoice) {
  const q = predict.session && predict.session.question;
  if (predict.phase !== "answer" || !q) return;
  if (isChoice) predict.pick = value;
  else if (!MULTIPLE.has(q.type)) predict.chosen = [value];
  else if (value === "held") predict.held = !predict.held;
  else if (predict.chosen.includes(value))
    predict.chosen = predict.chosen.filter((s) => s !== value);
  else predict.chosen.push(value);
  if (q.type === "comparison") {
    while (predict.chosen.length + (predict.held ? 1 : 0) > 2) predict.chosen.shift();
  }
  renderPredict();
}
