"use strict";

// The Web Worker's own code, which the page never runs itself: it starts after trace.js's text
// in the worker's script (see recorder.js).

// The worker's side: it instantiates the module, records on request and sends back the packed
// traces, the module's binary columns copied into buffers of their own and transferred, so that
// the page never blocks while a long recording is made and packed, and no text is made on the
// way. Any import the module declares gets a stub that does nothing; the recorder needs none of
// them to record.
function recorderWorker(scope) {
  let recorder = null;
  let format = null;
  let catalog = null;
  const encoder = new TextEncoder();

  // The module's text at sorting_json(), `length` bytes long.
  function moduleText(length) {
    const bytes = new Uint8Array(recorder.memory.buffer, recorder.sorting_json(), length);
    return new TextDecoder().decode(bytes);
  }

  async function load(module) {
    const imports = {};
    for (const item of WebAssembly.Module.imports(module)) {
      if (item.kind !== "function") continue;
      imports[item.module] = imports[item.module] || {};
      imports[item.module][item.name] =
        item.name === "proc_exit"
          ? (code) => {
              throw new Error(`the recorder exited with ${code}`);
            }
          : () => 0;
    }
    recorder = (await WebAssembly.instantiate(module, imports)).exports;
    catalog = JSON.parse(moduleText(recorder.sorting_catalog()));
    format = traceFormat(catalog);
    return {};
  }

  function setPatternName(pattern) {
    setName(recorder.sorting_pattern_name(), pattern);
  }

  // The name buffer at `address` holding `text`, NUL-terminated.
  function setName(address, text) {
    const size = format.limits.pattern_name_bytes;
    const name = encoder.encode(text);
    if (name.length >= size) throw new Error(`the name "${text}" is too long`);
    const buffer = new Uint8Array(recorder.memory.buffer, address, size);
    buffer.fill(0);
    buffer.set(name);
  }

  // Records in the module and returns the length of its header.
  function recordInModule(request) {
    const descending = request.direction === "descending" ? 1 : 0;
    setName(recorder.sorting_comparator_name(), request.comparator || "");
    let length;
    if (request.values) {
      new Int32Array(recorder.memory.buffer, recorder.sorting_input(), request.values.length).set(
        request.values,
      );
      length = recorder.sorting_record_values(request.values.length, descending);
    } else {
      setPatternName(request.pattern);
      length = recorder.sorting_record_pattern(request.size, request.seed | 0, descending);
    }
    if (length === -2) throw new Error("a trace names more library lines than it can hold");
    if (length === -3) throw new Error(`the comparator "${request.comparator}" is not the lab's`);
    if (length < 0) throw new Error("the recorder refused this input");
    return length;
  }

  function record(request) {
    const header = JSON.parse(moduleText(recordInModule(request)));
    const recording = recordingFromModule(format, header, recorder.memory.buffer);
    const buffers = recording.traces.flatMap(traceBuffers);
    // Memory a recording grew stays with the module: the page replaces a worker that holds much.
    recording.moduleBytes = recorder.memory.buffer.byteLength;
    return { result: recording, transfer: buffers };
  }

  // The traces of every variant of `sort` (the catalogue's variants) on the input of
  // `request`, which is recorded again first: the variants run on the module's last input.
  function variants({ request, sort }) {
    recordInModule(request);
    const traces = [];
    catalog.variants.forEach((variant, k) => {
      if (variant.sort !== sort) return;
      const length = recorder.sorting_record_variant(k);
      if (length < 0) throw new Error(`the recorder refused the variant ${variant.name}`);
      const header = JSON.parse(moduleText(length));
      traces.push(...recordingFromModule(format, header, recorder.memory.buffer).traces);
    });
    return { result: { traces }, transfer: traces.flatMap(traceBuffers) };
  }

  // The sorting-counts document of the chosen sorts (a bit each) on a pattern of one size.
  function counts({ pattern, seed, direction, size, sorts }) {
    setPatternName(pattern);
    const length = recorder.sorting_count_pattern(
      size,
      seed | 0,
      direction === "descending" ? 1 : 0,
      sorts,
    );
    if (length < 0) throw new Error(`the recorder refused ${pattern} at size ${size}`);
    return JSON.parse(moduleText(length));
  }

  // The history picture of an input, as RGBA pixels the module draws from its recording.
  function picture(request) {
    recordInModule(request);
    const at = recorder.sorting_history_picture();
    const width = recorder.sorting_picture_width();
    const height = recorder.sorting_picture_height();
    const pixels = new Uint8ClampedArray(recorder.memory.buffer, at, width * height * 4).slice();
    return { result: { width, height, pixels }, transfer: [pixels.buffer] };
  }

  async function handle({ id, kind, payload }) {
    try {
      if (kind === "load") {
        scope.postMessage({ id, result: await load(payload) });
      } else if (kind === "counts") {
        scope.postMessage({ id, result: counts(payload) });
      } else {
        const run = { picture, variants, record }[kind];
        const { result, transfer } = run(payload);
        scope.postMessage({ id, result }, transfer);
      }
    } catch (error) {
      scope.postMessage({ id, error: error.message });
    }
  }

  // One request at a time, in the order they came: a recording asked for while the module
  // still loads waits for it.
  let queue = Promise.resolve();
  scope.onmessage = (message) => {
    queue = queue.then(() => handle(message.data));
  };
}

recorderWorker(self);
