"use strict";

// The page's side of the WebAssembly recorder, which runs in a Web Worker so that the page stays
// free while it records, reads and packs traces: requests in, promises of their answers out.

// The worker's script: the texts of the page's script elements marked data-worker, in the
// page's order (the trace reading the page runs too, then worker.js, which it does not), so
// that both read traces with the same code and constants.
function workerSource() {
  return Array.from(
    document.querySelectorAll("script[data-worker]"),
    (script) => script.textContent,
  ).join("\n");
}

// The worker is made from a Blob URL, which works from file:// where module scripts and worker
// files do not.
class Recorder {
  constructor() {
    const url = URL.createObjectURL(new Blob([workerSource()], { type: "text/javascript" }));
    this.worker = new Worker(url);
    URL.revokeObjectURL(url);
    this.pending = new Map();
    this.next = 0;
    this.worker.onmessage = (message) => {
      const { id, result, error } = message.data;
      const waiting = this.pending.get(id);
      this.pending.delete(id);
      if (error !== undefined) waiting.reject(new Error(error));
      else waiting.resolve(result);
    };
    this.worker.onerror = (event) => {
      event.preventDefault();
      for (const waiting of this.pending.values())
        waiting.reject(new Error(event.message || "the worker failed"));
      this.pending.clear();
    };
  }

  ask(kind, payload, transfer = []) {
    const id = this.next++;
    return new Promise((resolve, reject) => {
      this.pending.set(id, { resolve, reject });
      this.worker.postMessage({ id, kind, payload }, transfer);
    });
  }

  static async start(base64) {
    const binary = atob(base64);
    let bytes = new Uint8Array(binary.length);
    for (let k = 0; k < binary.length; ++k) bytes[k] = binary.charCodeAt(k);
    // sort_show embeds the module gzipped (it starts with the gzip magic 1f 8b); the browser
    // undoes it without any network, from file:// too.
    if (bytes[0] === 0x1f && bytes[1] === 0x8b) {
      const stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream("gzip"));
      bytes = new Uint8Array(await new Response(stream).arrayBuffer());
    }
    const recorder = new Recorder();
    const { maxValues } = await recorder.ask("load", bytes, [bytes.buffer]);
    recorder.maxValues = maxValues;
    return recorder;
  }

  record(request) {
    return this.ask("record", request);
  }
}
