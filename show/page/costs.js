"use strict";

// Cost curves: comparisons and writes against n, log-log, from the module's counts.

// n from 8 to 16384 in steps of about the square root of 2.
const COST_SIZES = Array.from({ length: 23 }, (_, k) => Math.round(8 * Math.SQRT2 ** k));
// The dashes of the series, paired with the colours (--series-0, ... in style.css): as their
// numbers are coprime (7 and 6), sort k gets dashes k mod 7 and colour k mod 6, and no two of
// the first 42 sorts share both.
const SERIES_DASHES = ["", "8 3", "2 3", "9 3 2 3", "4 2", "12 3 2 3 2 3", "14 3 5 3"];
const SVG_NS = "http://www.w3.org/2000/svg";

function svgElement(name, attributes, parent) {
  const element = document.createElementNS(SVG_NS, name);
  for (const [key, value] of Object.entries(attributes)) element.setAttribute(key, String(value));
  if (parent) parent.appendChild(element);
  return element;
}

// The pattern of the race shown, or for a race of typed values the one chosen in the input panel.
function costRequest() {
  const request = state.current && state.current.request;
  if (request && !request.values)
    return { pattern: request.pattern, seed: request.seed, direction: request.direction };
  return {
    pattern: $("pattern-field").value,
    seed: Number($("seed-field").value) || 0,
    direction: $("direction-field").value,
  };
}

// Events of a sort in a sorting-counts document's entry.
const eventCount = (sort) => sort.comparisons + sort.equalities + sort.writes;

// Counts every sort at every size in a worker of their own, smallest first, drawing as they
// come. A sort whose events at one size, grown as n², would pass the catalogue's budget at the
// next is counted no further: its curve stops there, and the legend says where.
async function drawCosts() {
  const request = costRequest();
  const ticket = (state.costTicket = (state.costTicket || 0) + 1);
  if (state.counter) state.counter.replace();
  else state.counter = state.recorder.sibling();
  const names = state.catalog.sorts.map((sort) => sort.name);
  const budget = state.catalog.limits.count_budget;
  const sizes = COST_SIZES.filter((size) => size <= state.catalog.limits.max_count_values);
  state.costs = { request, names, rows: [], stops: {} };
  $("cost-message").textContent = "Counting…";
  $("cost-csv").disabled = true;
  const last = {};
  try {
    for (const size of sizes) {
      const chosen = names.filter((name) => !state.costs.stops[name]);
      if (!chosen.length) break;
      const sorts = chosen.reduce((mask, name) => mask | (1 << names.indexOf(name)), 0);
      $("cost-progress").textContent = `Counting n = ${size}…`;
      const doc = await state.counter.ask("counts", { ...request, size, sorts });
      if (ticket !== state.costTicket) return;
      for (const sort of doc.sorts) {
        state.costs.rows.push({ size, ...sort });
        last[sort.name] = { size, events: eventCount(sort) };
      }
      const next = sizes[sizes.indexOf(size) + 1];
      for (const name of chosen) {
        if (next && last[name].events * (next / size) ** 2 > budget) {
          state.costs.stops[name] = { counted: size, next };
        }
      }
      renderCosts();
    }
    $("cost-message").textContent = `Counted n = ${sizes[0]} to ${sizes[sizes.length - 1]}.`;
    $("cost-csv").disabled = false;
  } catch (error) {
    if (!(error instanceof Superseded)) {
      $("cost-message").textContent = `Could not count: ${error.message}`;
    }
  } finally {
    if (ticket === state.costTicket) $("cost-progress").textContent = "";
  }
}

// The colour and the dashes of sort k's curves.
function seriesStyle(k) {
  const colours = state.colours.series;
  return {
    colour: colours[k % colours.length],
    dash: SERIES_DASHES[k % SERIES_DASHES.length],
  };
}

// Groups of sorts whose curves of `measure` lie on each other: the same count at every n both
// were counted at, drawn (not zero) at two of them at least. Found from the counts alone.
function coincidingSeries(measure) {
  const { names, rows } = state.costs;
  const counts = new Map(names.map((name) => [name, new Map()]));
  for (const row of rows) counts.get(row.name).set(row.size, row[measure]);
  const same = (one, other) => {
    let drawn = 0;
    for (const [size, count] of one) {
      if (!other.has(size)) continue;
      if (other.get(size) !== count) return false;
      if (count > 0) ++drawn;
    }
    return drawn >= 2;
  };
  const groups = [];
  for (const name of names) {
    const group = groups.find(([first]) => same(counts.get(first), counts.get(name)));
    if (group) group.push(name);
    else groups.push([name]);
  }
  return groups.filter((group) => group.length > 1);
}

const listed = (names) =>
  names.length > 1 ? `${names.slice(0, -1).join(", ")} and ${names[names.length - 1]}` : names[0];

function renderCosts() {
  const { request, names, stops } = state.costs;
  const charts = $("cost-charts");
  charts.textContent = "";
  for (const [measure, title] of [
    ["comparisons", "Comparisons"],
    ["writes", "Writes"],
  ]) {
    const figure = document.createElement("figure");
    const caption = document.createElement("figcaption");
    caption.textContent = `${title} against n: ${request.pattern}, seed ${request.seed}, ${request.direction}`;
    figure.appendChild(caption);
    charts.appendChild(figure);
    figure.appendChild(costChart(measure, title, figure.clientWidth));
    // A curve hidden under another would look missing: say whose lie on each other.
    const hidden = coincidingSeries(measure).map(
      (group) =>
        `The ${measure} of ${listed(group)} coincide: the same count at every n counted, ` +
        "so their curves lie on each other.",
    );
    if (hidden.length) {
      const note = document.createElement("p");
      note.className = "note cost-notes";
      note.dataset.measure = measure;
      note.textContent = hidden.join(" ");
      figure.appendChild(note);
    }
  }
  state.costs.width = charts.clientWidth;
  const legend = $("cost-legend");
  legend.textContent = "";
  const key = (label, colour, dash) => {
    const item = document.createElement("span");
    item.className = "cost-key";
    const sample = svgElement("svg", { width: 40, height: 10, "aria-hidden": "true" }, item);
    svgElement(
      "line",
      {
        x1: 0,
        y1: 5,
        x2: 40,
        y2: 5,
        stroke: colour,
        "stroke-width": 2.5,
        "stroke-dasharray": dash,
      },
      sample,
    );
    item.append(label);
    legend.appendChild(item);
  };
  names.forEach((name, k) => {
    const stop = stops[name];
    const label = stop
      ? `${name} (counted to n = ${stop.counted}: n = ${stop.next} would pass the budget)`
      : name;
    key(label, seriesStyle(k).colour, seriesStyle(k).dash);
  });
  key("n·log₂n and n²", "#8d949a", "3 3");
  const rule = state.current && state.current.request.comparator;
  key(
    rule
      ? `no ring: the race shown runs under the comparator ${rule}, the curves under ${STRICT_ORDER}`
      : "◯ the race shown",
    "transparent",
    "",
  );
}

// The traces of the race shown that a ring can mark: the curves count the strict order on the
// pattern's input, so a race under another comparator (on inputs of its own, for the adversary)
// has no place among them.
function racesCounted() {
  const recording = state.current && state.current.recording;
  return recording ? recording.traces.filter((trace) => trace.rule === STRICT_ORDER) : [];
}

// One log-log chart of `measure` for every sort, with the guides and the race shown, drawn in
// CSS pixels at `available` pixels wide, so that its text keeps the size the style sheet sets.
function costChart(measure, title, available) {
  const { names, rows } = state.costs;
  const width = Math.max(300, Math.round(available || 440));
  const height = Math.round(Math.min(360, Math.max(260, width * 0.62)));
  const margin = { left: 58, right: 66, top: 12, bottom: 46 };
  const sizes = [...new Set(rows.map((row) => row.size))];
  const [smallest, largest] = [COST_SIZES[0], COST_SIZES[COST_SIZES.length - 1]];
  const guides = [
    ["n·log₂n", (n) => n * Math.log2(n)],
    ["n²", (n) => n * n],
  ];
  const shown = racesCounted();
  const values = rows
    .map((row) => row[measure])
    .concat(
      shown.map((trace) => trace[measure]),
      sizes.flatMap((n) => guides.map(([, f]) => f(n))),
    )
    .filter((value) => value > 0);
  const low = Math.pow(10, Math.floor(Math.log10(Math.min(...values))));
  const high = Math.pow(10, Math.ceil(Math.log10(Math.max(...values))));
  const span = Math.log2(largest) - Math.log2(smallest);
  const x = (n) =>
    margin.left +
    ((Math.log2(n) - Math.log2(smallest)) / span) * (width - margin.left - margin.right);
  const y = (v) =>
    height -
    margin.bottom -
    ((Math.log10(v) - Math.log10(low)) / (Math.log10(high) - Math.log10(low))) *
      (height - margin.top - margin.bottom);
  const svg = svgElement("svg", {
    viewBox: `0 0 ${width} ${height}`,
    role: "img",
    "aria-label": `${title} of each sort against n, both axes logarithmic`,
  });
  const ink = state.colours.ink;
  svgElement(
    "path",
    {
      d: `M${margin.left},${margin.top}V${height - margin.bottom}H${width - margin.right}`,
      fill: "none",
      stroke: ink,
    },
    svg,
  );
  // A tick every factor of 4, each with its number where the chart leaves room for it.
  const labelled = width - margin.left - margin.right >= 300 ? 1 : 2;
  for (let n = smallest, k = 0; n <= largest; n *= 4, ++k) {
    svgElement(
      "line",
      {
        x1: x(n),
        x2: x(n),
        y1: height - margin.bottom,
        y2: height - margin.bottom + 4,
        stroke: ink,
      },
      svg,
    );
    if (k % labelled) continue;
    svgElement(
      "text",
      { x: x(n), y: height - margin.bottom + 19, "text-anchor": "middle", fill: ink },
      svg,
    ).textContent = n;
  }
  for (let v = low; v <= high; v *= 10) {
    svgElement(
      "line",
      { x1: margin.left - 4, x2: width - margin.right, y1: y(v), y2: y(v), stroke: "#e3e6e9" },
      svg,
    );
    svgElement(
      "text",
      { x: margin.left - 6, y: y(v) + 4, "text-anchor": "end", fill: ink },
      svg,
    ).textContent = v >= 1e6 ? `${v / 1e6}M` : v >= 1e3 ? `${v / 1e3}k` : v;
  }
  svgElement(
    "text",
    {
      x: (width + margin.left - margin.right) / 2,
      y: height - 6,
      "text-anchor": "middle",
      fill: ink,
    },
    svg,
  ).textContent = "n (values)";
  svgElement(
    "text",
    {
      x: 14,
      y: (height - margin.bottom) / 2,
      "text-anchor": "middle",
      fill: ink,
      transform: `rotate(-90 14 ${(height - margin.bottom) / 2})`,
    },
    svg,
  ).textContent = title.toLowerCase();
  for (const [label, f] of guides) {
    svgElement(
      "polyline",
      {
        points: sizes.map((n) => `${x(n)},${y(f(n))}`).join(" "),
        fill: "none",
        stroke: "#8d949a",
        "stroke-dasharray": "3 3",
      },
      svg,
    );
    svgElement(
      "text",
      { x: x(sizes[sizes.length - 1]) + 4, y: y(f(sizes[sizes.length - 1])) + 4, fill: ink },
      svg,
    ).textContent = label;
  }
  names.forEach((name, k) => {
    const { colour, dash } = seriesStyle(k);
    const points = rows.filter((row) => row.name === name && row[measure] > 0);
    svgElement(
      "polyline",
      {
        points: points.map((row) => `${x(row.size)},${y(row[measure])}`).join(" "),
        fill: "none",
        stroke: colour,
        "stroke-width": 2,
        "stroke-dasharray": dash,
      },
      svg,
    );
    for (const row of points) {
      const v = row[measure];
      const point = svgElement(
        "circle",
        {
          cx: x(row.size),
          cy: y(v),
          r: 2.5,
          fill: colour,
          "data-sort": name,
          "data-n": row.size,
          "data-value": v,
        },
        svg,
      );
      svgElement("title", {}, point).textContent = `${name}, n = ${row.size}: ${v} ${measure}`;
    }
  });
  for (const trace of shown) {
    if (trace[measure] <= 0) continue;
    const ring = svgElement(
      "circle",
      {
        cx: x(trace.input.length),
        cy: y(trace[measure]),
        r: 6,
        fill: "none",
        stroke: ink,
        "stroke-width": 1.5,
        "data-shown": trace.algorithm,
      },
      svg,
    );
    svgElement("title", {}, ring).textContent =
      `the race shown: ${trace.algorithm}, n = ${trace.input.length}: ` +
      `${trace[measure]} ${measure}`;
  }
  return svg;
}

function downloadCosts() {
  const { request, rows } = state.costs;
  const lines = ["pattern,seed,direction,n,sort,comparisons,equalities,writes"];
  for (const row of rows) {
    lines.push(
      [
        request.pattern,
        request.seed,
        request.direction,
        row.size,
        row.name,
        row.comparisons,
        row.equalities,
        row.writes,
      ].join(","),
    );
  }
  saveFile(`${lines.join("\n")}\n`, "text/csv", `sorting-costs-${request.pattern}.csv`);
}
