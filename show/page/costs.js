"use strict";

// Cost curves: comparisons and writes against n, log-log, from the module's counts.

// n from 8 to 512 in steps of about the square root of 2.
const COST_SIZES = [8, 11, 16, 23, 32, 45, 64, 91, 128, 181, 256, 362, 512];
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

async function drawCosts() {
  const request = costRequest();
  setBusy(true);
  $("cost-message").textContent = "";
  try {
    const sizes = COST_SIZES.filter((size) => size <= state.maxValues);
    const docs = await state.recorder.ask("counts", { ...request, sizes });
    state.costs = { request, docs };
    renderCosts();
    $("cost-csv").disabled = false;
  } catch (error) {
    $("cost-message").textContent = `Could not count: ${error.message}`;
  } finally {
    setBusy(false);
  }
}

function seriesColour(k) {
  return getComputedStyle(document.documentElement)
    .getPropertyValue(`--series-${k % SERIES_DASHES.length}`)
    .trim();
}

function renderCosts() {
  const { request, docs } = state.costs;
  const names = docs[0].sorts.map((sort) => sort.name);
  $("cost-charts").textContent = "";
  for (const [measure, title] of [
    ["comparisons", "Comparisons"],
    ["writes", "Writes"],
  ]) {
    const figure = document.createElement("figure");
    const caption = document.createElement("figcaption");
    caption.textContent = `${title} against n: ${request.pattern}, seed ${request.seed}, ${request.direction}`;
    figure.appendChild(caption);
    figure.appendChild(costChart(docs, names, measure, title));
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
  names.forEach((name, k) => key(name, seriesColour(k), SERIES_DASHES[k % SERIES_DASHES.length]));
  key("n·log₂n and n²", "#8d949a", "3 3");
  key("◯ the race shown", "transparent", "");
}

// One log-log chart of `measure` for every sort, with the guides and the race shown.
function costChart(docs, names, measure, title) {
  const width = 440;
  const height = 300;
  const margin = { left: 52, right: 46, top: 10, bottom: 38 };
  const sizes = docs.map((doc) => doc.size);
  const guides = [
    ["n·log₂n", (n) => n * Math.log2(n)],
    ["n²", (n) => n * n],
  ];
  const shown = state.current && state.current.recording ? state.current.recording.traces : [];
  const values = docs
    .flatMap((doc) => doc.sorts.map((sort) => sort[measure]))
    .concat(
      shown.map((trace) => trace[measure]),
      sizes.flatMap((n) => guides.map(([, f]) => f(n))),
    )
    .filter((value) => value > 0);
  const low = Math.pow(10, Math.floor(Math.log10(Math.min(...values))));
  const high = Math.pow(10, Math.ceil(Math.log10(Math.max(...values))));
  const x = (n) =>
    margin.left + ((Math.log2(n) - 3) / (9 - 3)) * (width - margin.left - margin.right);
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
  for (let n = 8; n <= 512; n *= 2) {
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
    const points = docs.map((doc) => [doc.size, doc.sorts[k][measure]]).filter(([, v]) => v > 0);
    svgElement(
      "polyline",
      {
        points: points.map(([n, v]) => `${x(n)},${y(v)}`).join(" "),
        fill: "none",
        stroke: colour,
        "stroke-width": 2,
        "stroke-dasharray": SERIES_DASHES[k % SERIES_DASHES.length],
      },
      svg,
    );
    for (const doc of docs) {
      const v = doc.sorts[k][measure];
      if (v <= 0) continue;
      const point = svgElement(
        "circle",
        {
          cx: x(doc.size),
          cy: y(v),
          r: 2.5,
          fill: colour,
          "data-sort": name,
          "data-n": doc.size,
          "data-value": v,
        },
        svg,
      );
      svgElement("title", {}, point).textContent = `${name}, n = ${doc.size}: ${v} ${measure}`;
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
  const { request, docs } = state.costs;
  const rows = ["pattern,seed,direction,n,sort,comparisons,equalities,writes"];
  for (const doc of docs) {
    for (const sort of doc.sorts) {
      rows.push(
        [
          request.pattern,
          request.seed,
          request.direction,
          doc.size,
          sort.name,
          sort.comparisons,
          sort.equalities,
          sort.writes,
        ].join(","),
      );
    }
  }
  saveFile(`${rows.join("\n")}\n`, "text/csv", `sorting-costs-${request.pattern}.csv`);
}
