"use strict";

// The page's side of the WebAssembly recorder, which runs in a Web Worker so that the page stays
// free while it records and packs traces: requests in, promises of their answers out. A new
// recording supersedes one still running: its worker is terminated, with all it held, and a
// fresh one takes the new request, so that recordings never pile up.

// The worker's script: the texts of the page's script elements marked data-worker, in the
// page's order (the trace reading the page runs too, then worker.js, which it does not), so
// that both read traces with the same code.
function workerSource() {
  return Array.from(
    document.querySelectorAll("script[data-worker]"),
    (script) => script.textContent,
  ).join("\n");
}

// What a request that a newer one replaced rejects with; the page says nothing of it.
class Superseded extends Error {
  constructor() {
    super("a newer request took its place");
  }
}

// A worker that grew its module's memory past this many bytes is replaced once it is done:
// WebAssembly memory never shrinks, and the page keeps only the race on screen.
const WORKER_MEMORY_LIMIT = 64 * 1048576;

// One worker with the compiled module. The worker is made from a Blob URL, which works from
// file:// where module scripts and worker files do not.
class Recorder {
  constructor(module) {
    this.module = module;
    this.pending = new Map();
    this.next = 0;
    this.recording = null; // the id of the recording under way
    this.spawn();
  }

  spawn() {
    const url = URL.createObjectURL(new Blob([workerSource()], { type: "text/javascript" }));
    const worker = new Worker(url);
    URL.revokeObjectURL(url);
    worker.onmessage = (message) => {
      const { id, result, error } = message.data;
      const waiting = this.pending.get(id);
      this.pending.delete(id);
      if (!waiting) return;
      if (error !== undefined) waiting.reject(new Error(error));
      else waiting.resolve(result);
    };
    worker.onerror = (event) => {
      event.preventDefault();
      this.rejectAll(new Error(event.message || "the worker failed"));
    };
    this.worker = worker;
    this.loaded = this.ask("load", this.module);
  }

  rejectAll(error) {
    for (const waiting of this.pending.values()) waiting.reject(error);
    this.pending.clear();
  }

  // Ends the worker and whatever it was doing, and starts a fresh one.
  replace() {
    this.worker.terminate();
    this.rejectAll(new Superseded());
    this.recording = null;
    this.spawn();
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
    // Compiled once: every worker gets the compiled module, so a fresh one starts at once.
    const recorder = new Recorder(await WebAssembly.compile(bytes));
    await recorder.loaded;
    return recorder;
  }

  // Another worker for the same module (the cost curves count in one of their own).
  sibling() {
    return new Recorder(this.module);
  }

  // The traces of a request; a recording still under way is cancelled first.
  async record(request) {
    if (this.recording !== null) this.replace();
    const id = this.next;
    this.recording = id;
    const recording = await this.ask("record", request);
    if (this.recording === id) this.recording = null;
    if (recording.moduleBytes > WORKER_MEMORY_LIMIT && this.pending.size === 0) this.replace();
    return recording;
  }
}
