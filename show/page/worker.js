"use strict";

// The Web Worker's own code, which the page never runs itself: it starts after trace.js's text
// in the worker's script (see recorder.js).

// The worker's side: it instantiates the module, records on request and sends back the
// JSON text (as bytes) and the packed traces, so that the page never blocks while a long
// recording is made, parsed and packed. Any import the module declares gets a stub that
// does nothing; the recorder needs none of them to record.
function recorderWorker(scope) {
  let recorder = null;
  const encoder = new TextEncoder();

  async function load(bytes) {
    const module = await WebAssembly.compile(bytes);
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
    return { maxValues: recorder.sorting_max_values() };
  }

  function setPatternName(pattern) {
    const name = encoder.encode(pattern);
    if (name.length > 63) throw new Error("the pattern's name is too long");
    const buffer = new Uint8Array(recorder.memory.buffer, recorder.sorting_pattern_name(), 64);
    buffer.fill(0);
    buffer.set(name);
  }

  // Records in the module and returns the length of its JSON text (negative if refused).
  function recordInModule(request) {
    const descending = request.direction === "descending" ? 1 : 0;
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
    if (length < 0) throw new Error("the recorder refused this input");
    return length;
  }

  function record(request) {
    const length = recordInModule(request);
    const bytes = new Uint8Array(recorder.memory.buffer, recorder.sorting_json(), length).slice();
    const traces = packDocument(bytes);
    return {
      result: { bytes, traces },
      transfer: [bytes.buffer, ...traces.flatMap(packedBuffers)],
    };
  }

  // The sorting-counts documents of a pattern at each of `sizes`: counts only, no events.
  function counts({ pattern, seed, direction, sizes }) {
    return sizes.map((size) => {
      setPatternName(pattern);
      const length = recorder.sorting_count_pattern(
        size,
        seed | 0,
        direction === "descending" ? 1 : 0,
      );
      if (length < 0) throw new Error(`the recorder refused ${pattern} at size ${size}`);
      return JSON.parse(
        new TextDecoder().decode(
          new Uint8Array(recorder.memory.buffer, recorder.sorting_json(), length),
        ),
      );
    });
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

  scope.onmessage = async (message) => {
    const { id, kind, payload } = message.data;
    try {
      if (kind === "load") {
        scope.postMessage({ id, result: await load(payload) });
      } else if (kind === "counts") {
        scope.postMessage({ id, result: counts(payload) });
      } else if (kind === "picture") {
        const { result, transfer } = picture(payload);
        scope.postMessage({ id, result }, transfer);
      } else {
        const { result, transfer } = record(payload);
        scope.postMessage({ id, result }, transfer);
      }
    } catch (error) {
      scope.postMessage({ id, error: error.message });
    }
  };
}

recorderWorker(self);
