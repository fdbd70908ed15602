"use strict";

// The address bar: the link of the race shown, copying it, and opening the race a link names.

// The address of the race shown: its input, and with `position` the speed and the tick too.
function linkFor(position) {
  const request = state.current.request;
  const parts = request.values
    ? [`values=${request.values.join(",")}`]
    : [`pattern=${request.pattern}`, `size=${request.size}`, `seed=${request.seed}`];
  if (request.direction !== "ascending") parts.push(`direction=${request.direction}`);
  if (request.comparator) parts.push(`comparator=${request.comparator}`);
  if (state.chosen.length !== state.catalog.sorts.length)
    parts.push(`sorts=${state.chosen.join(",")}`);
  parts.push(...predictLinkParts());
  // Predict mode starts a session from its first step: a tick would say nothing.
  if (position && !state.locked) parts.push(`duration=${state.duration}`, `tick=${state.tick}`);
  return `#${parts.join("&")}`;
}

// The page's address with the fragment of linkFor.
function pageLink(position) {
  return location.href.split("#")[0] + linkFor(position);
}

function updateAddress() {
  history.replaceState(null, "", linkFor(false));
}

async function copyLink() {
  const link = pageLink(true);
  $("link-box").hidden = true;
  try {
    await navigator.clipboard.writeText(link);
    $("copy-note").textContent = "Link copied.";
  } catch {
    // Clipboard access refused (an insecure context, a policy): the link, selected, to copy.
    $("link-box").hidden = false;
    $("link-field").value = link;
    $("link-field").focus();
    $("link-field").select();
    $("copy-note").textContent = "";
  }
}

// A link can hold thousands of bad parts; the banner names this many and counts the rest, so
// that it fits a phone's screen with its Dismiss button and is heard in a breath.
const LISTED_PROBLEMS = 3;

function showLinkProblems(heading, problems, fallback) {
  const banner = $("link-message");
  banner.textContent = "";
  // First, so that it stays in view above whatever the message says.
  const close = document.createElement("button");
  close.type = "button";
  close.className = "dismiss";
  close.textContent = "Dismiss";
  close.addEventListener("click", () => (banner.hidden = true));
  const title = document.createElement("p");
  title.innerHTML = "<strong></strong>";
  title.firstChild.textContent = heading;
  const list = document.createElement("ul");
  const listed = problems.length > LISTED_PROBLEMS + 1 ? LISTED_PROBLEMS : problems.length;
  for (const problem of problems.slice(0, listed)) {
    const item = document.createElement("li");
    item.textContent = problem;
    list.appendChild(item);
  }
  if (listed < problems.length) {
    const item = document.createElement("li");
    item.textContent = `and ${problems.length - listed} more problems.`;
    list.appendChild(item);
  }
  banner.append(close, title, list);
  if (fallback) {
    const note = document.createElement("p");
    note.textContent = fallback;
    banner.appendChild(note);
  }
  banner.hidden = false;
  window.scrollTo(0, 0);
}

// What the page shows when a link's race cannot be: the race already shown, or at the start
// the first input.
function instead() {
  if (state.current) return `The race shown stays: ${describeRequest(state.current.request)}.`;
  return state.inputs.length
    ? `Showing ${describeRequest(state.inputs[0].request)} instead.`
    : null;
}

// Opens the race a link names, in the view it names. A link that cannot be used says so at
// the top of the page; the page then shows the first input and says that too.
async function followLink() {
  const fragment = location.hash.slice(1);
  $("link-message").hidden = true;
  if (!fragment) return false;
  const link = parseLink(fragment, state.catalog, state.maxValues);
  if (link.sorts) chooseSorts(link.sorts);
  if (link.duration !== undefined) setDuration(link.duration);
  if (!link.request) {
    const problems = link.inputProblem
      ? link.problems
      : [...link.problems, "it names no input: give values=5,1,4 or pattern=NAME."];
    showLinkProblems("This link's race could not be shown:", problems, instead());
    if (state.current && link.sorts) layOut(state.tick);
    return false;
  }
  const entry = addInput(link.request);
  try {
    if (
      !(await showInput(entry, {
        tick: link.tick || 0,
        autoplay: link.tick === undefined && !reducedMotion.matches && !link.predict,
      }))
    ) {
      return true;
    }
  } catch (error) {
    showLinkProblems("This link's race could not be recorded:", [error.message], instead());
    return false;
  }
  await followPredict(link);
  if (link.tick !== undefined && link.tick > state.length) {
    link.problems.push(`tick ${link.tick} is past the end of this race, tick ${state.length}.`);
  }
  if (link.problems.length) {
    showLinkProblems(
      "Part of this link was not used:",
      link.problems,
      "The race it names is shown.",
    );
  }
  updateAddress();
  return true;
}
