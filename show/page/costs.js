"use strict";

// Cost curves: comparisons and writes against n, log-log, from the module's counts.

// n from 8 to 16384 in steps of about the square root of 2.
const COST_SIZES = Array.from({ length: 23 }, (_, k) => Math.round(8 * Math.SQRT2 ** k));
const SERIES_DASHES = ["", "7 3", "2 3", "9 3 2 3", "4 2"];
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

function seriesColour(k) {
  return getComputedStyle(document.documentElement)
    .getPropertyValue(`--series-${k % SERIES_DASHES.length}`)
    .trim();
}

function renderCosts() {
  const { request, names, stops } = state.costs;
  $("cost-charts").textContent = "";
  for (const [measure, title] of [
    ["comparisons", "Comparisons"],
    ["writes", "Writes"],
  ]) {
    const figure = document.createElement("figure");
    const caption = document.createElement("figcaption");
    caption.textContent = `${title} against n: ${request.pattern}, seed ${request.seed}, ${request.direction}`;
    figure.appendChild(caption);
    figure.appendChild(costChart(measure, title));
    $("cost-charts").appendChild(figure);
  }
  const legend = $("cost-legend");
  legend.textContent = "";
  const key = (label, colour, dash) => {
    const item = document.createElement("span");
    item.className = "cost-key";
    const sample = svgElement("svg", { width: 28, height: 10, "aria-hidden": "true" }, item);
    svgElement(
      "line",
      {
        x1: 0,
        y1: 5,
        x2: 28,
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
    key(label, seriesColour(k), SERIES_DASHES[k % SERIES_DASHES.length]);
  });
  key("n·log₂n and n²", "#8d949a", "3 3");
  key("◯ the race shown", "transparent", "");
}

// One log-log chart of `measure` for every sort, with the guides and the race shown.
function costChart(measure, title) {
  const { names, rows } = state.costs;
  const width = 440;
  const height = 300;
  const margin = { left: 52, right: 46, top: 10, bottom: 38 };
  const sizes = [...new Set(rows.map((row) => row.size))];
  const [smallest, largest] = [COST_SIZES[0], COST_SIZES[COST_SIZES.length - 1]];
  const guides = [
    ["n·log₂n", (n) => n * Math.log2(n)],
    ["n²", (n) => n * n],
  ];
  const shown = state.current && state.current.recording ? state.current.recording.traces : [];
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
  for (let n = smallest; n <= largest; n *= 4) {
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
    svgElement(
      "text",
      { x: x(n), y: height - margin.bottom + 16, "text-anchor": "middle", fill: ink },
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
      y: height - 4,
      "text-anchor": "middle",
      fill: ink,
    },
    svg,
  ).textContent = "n (values)";
  svgElement(
    "text",
    {
      x: 12,
      y: (height - margin.bottom) / 2,
      "text-anchor": "middle",
      fill: ink,
      transform: `rotate(-90 12 ${(height - margin.bottom) / 2})`,
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
    const colour = seriesColour(k);
    const points = rows.filter((row) => row.name === name && row[measure] > 0);
    svgElement(
      "polyline",
      {
        points: points.map((row) => `${x(row.size)},${y(row[measure])}`).join(" "),
        fill: "none",
        stroke: colour,
        "stroke-width": 2,
        "stroke-dasharray": SERIES_DASHES[k % SERIES_DASHES.length],
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
