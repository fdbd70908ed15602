"use strict";

// The comparator lab: choosing the comparator the sorts run under (from the catalogue's list),
// which records the shown input again under it; the panels of a race whose sorts each ran on an
// input of their own, each offering it as an ordinary race; and the race as plain text.

// The comparator the forms of the input panel record under: a name as the recorder takes it.
const lab = { comparator: STRICT_ORDER, controls: [] };

// A comparator control: its list, its K field and the box that shows the field, and where its
// messages go.
function comparatorControl(select, count, box, say) {
  for (const entry of state.catalog.comparators) {
    const option = new Option(entry.name, entry.name);
    option.title = entry.description;
    select.appendChild(option);
  }
  const control = { select, count, box, say };
  select.addEventListener("change", () => chooseComparator(control));
  count.addEventListener("change", () => chooseComparator(control));
  lab.controls.push(control);
  return control;
}

// The lists of comparators, in the toolbar and in the input panel, from the catalogue.
function fillComparators() {
  comparatorControl($("comparator-choice"), $("throw-at-choice"), $("throw-at-box"), (text) =>
    setStatus(text),
  );
  comparatorControl($("comparator-field"), $("throw-at-field"), $("throw-at-field-box"), (text) =>
    setMessage("comparator-message", $("throw-at-field"), text),
  );
  showComparator(STRICT_ORDER);
}

// Every control shows `name` ("throw-at:5"), with the field for K only where it takes one.
function showComparator(name) {
  const [chosen, count] = name.split(":");
  const entry = state.catalog.comparators.find((item) => item.name === chosen);
  for (const control of lab.controls) {
    control.select.value = chosen;
    control.box.hidden = !entry.takes;
    if (count) control.count.value = count;
  }
  lab.comparator = name;
  $("comparator-description").textContent = `${entry.name}: ${entry.description}`;
}

// A choice in either control: the shown input recorded again under it, and the forms' choice.
async function chooseComparator(control) {
  const entry = state.catalog.comparators.find((item) => item.name === control.select.value);
  const text = entry.takes ? `${entry.name}:${control.count.value}` : entry.name;
  const parsed = parseComparator(text, state.catalog.comparators);
  control.box.hidden = !entry.takes;
  if (parsed.error) {
    control.say(parsed.error);
    return;
  }
  control.say("");
  showComparator(parsed.value);
  if (!state.current) return;
  try {
    const request = withComparator(state.current.request, parsed.value);
    if (await showInput(addInput(request))) updateAddress();
  } catch (error) {
    control.say(`Could not record under ${parsed.value}: ${error.message}`);
  }
}

// The link that races a sort's own input as an ordinary race.
function ownInputLink(trace) {
  const direction = trace.comparator === "ascending" ? "" : `&direction=${trace.comparator}`;
  return `#values=${trace.input.join(",")}${direction}`;
}

// What the lab adds to the panels of a race: the legend names the mark of a thrown call where a
// sort's comparator threw; where each sort ran on an input of its own (McIlroy's adversary
// settles one for each), each panel says so, with a link to race that input as an ordinary race.
function labelPanels(panels) {
  $("thrown-key").hidden = !panels.some((panel) => panel.replay.trace.outcome === "threw");
  let any = false;
  for (const panel of panels) {
    const header = panel.element.querySelector("header");
    const old = header.querySelector(".own");
    if (old) old.remove();
    const trace = panel.replay.trace;
    if (!ownInputs(trace)) continue;
    any = true;
    const cell = document.createElement("span");
    cell.className = "own";
    cell.innerHTML = '<span class="short-aside">own input: </span><a></a>';
    const link = cell.lastChild;
    link.href = ownInputLink(trace);
    link.textContent = "Race this input";
    link.title =
      `${trace.algorithm} ran on the input the adversary settled on for it; ` +
      "this link races that input as an ordinary race, under the strict order";
    header.appendChild(cell);
  }
  $("panels").classList.toggle("own-inputs", any);
}

// The race as plain text a teacher can paste: the input, the link, each sort's counts and how
// its run ended.
function raceSummary() {
  const request = state.current.request;
  const rule = request.comparator || STRICT_ORDER;
  const entry = state.catalog.comparators.find((item) => item.name === rule.split(":")[0]);
  const input = request.values
    ? `values ${request.values.join(", ")} (${request.values.length})`
    : `pattern ${request.pattern}, ${request.size} values, seed ${request.seed}`;
  const lines = [
    `Sorting race: ${input}; ${request.direction}; comparator ${rule} (${entry.description}).`,
    `Link: ${pageLink(false)}`,
  ];
  const own = state.replays.some((replay) => ownInputs(replay.trace));
  if (own)
    lines.push("Each sort ran on an input of its own, the one the adversary settled on for it.");
  for (const replay of state.replays) {
    const trace = replay.trace;
    const equalities = trace.equalities ? `, ${trace.equalities} equality tests` : "";
    const its = own ? `; its input ${shortValues(trace.input)}` : "";
    lines.push(
      `${trace.algorithm}: ${trace.comparisons} comparisons${equalities}, ${trace.writes} writes, ` +
        `${replay.length} ticks; ${finalText(replay)}${its}.`,
    );
  }
  return `${lines.join("\n")}\n`;
}

async function copySummary() {
  if (!state.current) return;
  const text = raceSummary();
  $("summary-box").hidden = true;
  try {
    await navigator.clipboard.writeText(text);
    $("export-message").textContent = "The race is copied as text.";
  } catch {
    // Clipboard access refused: the text, selected, to copy by hand.
    $("summary-box").hidden = false;
    $("summary-field").value = text;
    $("summary-field").focus();
    $("summary-field").select();
    $("export-message").textContent = "";
  }
}
