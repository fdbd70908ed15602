// The page's build and its worker, under Node:
// - the template the build joined is the skeleton with each stylesheet link and each script's
//   src replaced by its file's text, byte for byte, and the skeleton names every file of
//   show/page/;
// - show/inline.cmake stops where a script holds "</script", names the file and writes nothing;
// - the worker's script, made as the page makes it from the data-worker scripts, records with
//   the WebAssembly module and sends packed traces in transferable buffers that replay to their
//   outputs and write back as sort_show --json for every sort that calls no standard algorithm
//   (the native program's standard library may move the others' elements otherwise), for every
//   pattern in both directions.
//
//   node page_scripts_test.cjs TEMPLATE CMAKE SORT_SHOW [MODULE]
//
// TEMPLATE: the build's page template; CMAKE: the cmake program; SORT_SHOW: the program, for
// its catalogue; MODULE: the WebAssembly recorder, where it was built.

"use strict";

const assert = require("node:assert/strict");
const { spawnSync } = require("node:child_process");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { PAGE_FOLDER, loadPageScripts, workerSource } = require("../show/page_scripts.cjs");

const [template, cmake, sortShow, modulePath] = process.argv.slice(2);
const INLINE = path.join(__dirname, "..", "show", "inline.cmake");
const read = (folder, file) => fs.readFileSync(path.join(folder, file), "utf8");
const results = [];

async function check(name, body) {
  try {
    await body();
    results.push(true);
    console.log(`ok   ${name}`);
  } catch (error) {
    results.push(false);
    console.log(`FAIL ${name}\n${error.stack}`);
  }
}

async function main() {
  await check(
    "the template is the skeleton with every file it names inlined, and it names all of show/page/",
    () => {
      const named = [];
      const expected = read(PAGE_FOLDER, "page.html").replace(
        /<link rel="stylesheet" href="([^"]+)">|<script([^>]*) src="([^"]+)"([^>]*)><\/script>/g,
        (tag, style, before, script, after) => {
          named.push(style || script);
          if (style) return `<style>${read(PAGE_FOLDER, style)}</style>`;
          return `<script${before}${after}>${read(PAGE_FOLDER, script)}</script>`;
        },
      );
      assert.ok(
        fs.readFileSync(template, "utf8") === expected,
        `${template} differs from the skeleton joined`,
      );
      const files = fs.readdirSync(PAGE_FOLDER).filter((file) => file !== "page.html");
      assert.deepEqual(
        named.slice().sort(),
        files.sort(),
        "the files of show/page/ and those the skeleton names",
      );
    },
  );

  await check(
    'the build stops at a script holding "</script", naming it, and writes nothing',
    () => {
      const work = fs.mkdtempSync(path.join(os.tmpdir(), "page-inline-"));
      try {
        fs.cpSync(PAGE_FOLDER, work, { recursive: true });
        fs.appendFileSync(path.join(work, "links.js"), 'const ending = "</SCRIPT>";\n');
        const output = path.join(work, "joined.html");
        const run = spawnSync(
          cmake,
          [`-DINPUT=${path.join(work, "page.html")}`, `-DOUTPUT=${output}`, "-P", INLINE],
          { encoding: "utf8" },
        );
        assert.notEqual(run.status, 0, "cmake -P inline.cmake succeeded");
        assert.match(run.stderr, /links\.js holds "<\/script"/);
        assert.equal(fs.existsSync(output), false, "no template written");
      } finally {
        fs.rmSync(work, { recursive: true, force: true });
      }
    },
  );

  await check(
    "the worker made from the data-worker scripts records, and its traces write back as the native ones",
    async () => {
      if (!modulePath) {
        console.log("     (no WebAssembly module built: nothing to record)");
        return;
      }
      // The worker's global scope, as far as its script uses it.
      const scope = { postMessage: (message, transfer) => (scope.reply = { message, transfer }) };
      new Function("self", workerSource())(scope);
      let next = 0;
      const ask = async (kind, payload) => {
        const id = next++;
        scope.onmessage({ data: { id, kind, payload } });
        while (!scope.reply || scope.reply.message.id !== id)
          await new Promise((r) => setTimeout(r));
        const { message, transfer } = scope.reply;
        assert.equal(message.error, undefined, `${kind}: ${message.error}`);
        return { result: message.result, transfer };
      };
      await ask("load", new WebAssembly.Module(fs.readFileSync(modulePath)));
      const catalog = JSON.parse(spawnSync(sortShow, ["--catalog"], { encoding: "utf8" }).stdout);
      const { traceFormat, traceDocumentChunks } = loadPageScripts(
        ["trace.js", "trace_json.js"],
        ["traceFormat", "traceDocumentChunks"],
      );
      const format = traceFormat(catalog);
      const free = new Set(catalog.sorts.filter((sort) => !sort.calls).map((sort) => sort.name));
      const requests = [
        [{ values: [5, 1, 4, 1, -3], direction: "ascending" }, ["--values", "5,1,4,1,-3"]],
      ];
      for (const { name } of catalog.patterns) {
        for (const direction of ["ascending", "descending"]) {
          const args = [
            "--pattern",
            name,
            "--size",
            "100",
            "--seed",
            "3",
            "--direction",
            direction,
          ];
          requests.push([{ pattern: name, size: 100, seed: 3, direction }, args]);
        }
      }
      for (const [request, args] of requests) {
        const { result, transfer } = await ask("record", request);
        const label = JSON.stringify(request);
        assert.deepEqual(
          result.traces.map((trace) => trace.algorithm),
          catalog.sorts.map((sort) => sort.name),
          label,
        );
        assert.ok(
          result.traces.every((trace) => trace.consistent),
          `${label}: replays to its output`,
        );
        const owned = new Set(transfer);
        for (const trace of result.traces) {
          for (const column of ["head", "first", "second", "extra", "held", "output"]) {
            assert.ok(owned.has(trace[column].buffer), `${label}: ${column} is transferred`);
          }
        }
        const written = JSON.parse(traceDocumentChunks(format, result.traces).join(""));
        const native = JSON.parse(
          spawnSync(sortShow, ["--json", ...args], { encoding: "utf8", maxBuffer: 1 << 30 }).stdout,
        );
        written.traces.forEach((trace, k) => {
          if (free.has(trace.algorithm))
            assert.deepEqual(trace, native.traces[k], `${label}: ${trace.algorithm}`);
        });
      }
    },
  );

  const failed = results.filter((ok) => !ok).length;
  console.log(`${results.length - failed} passed, ${failed} failed`);
  return failed ? 1 : 0;
}

main().then(
  (code) => process.exit(code),
  (error) => {
    console.error(error.stack || String(error));
    process.exit(1);
  },
);
