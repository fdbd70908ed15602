// The page's build and its worker, under Node:
// - the template the build joined is the skeleton with each stylesheet link and each script's
//   src replaced by its file's text, byte for byte, and the skeleton names every file of
//   show/page/;
// - show/inline.cmake stops where a script holds "</script", names the file and writes nothing;
// - the worker's script, made as the page makes it from the data-worker scripts, records with
//   the WebAssembly module and sends traces packed as the page packs the JSON text it sends
//   with them, for every pattern in both directions.
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
    "the worker made from the data-worker scripts records, and packs as the page packs",
    async () => {
      if (!modulePath) {
        console.log("     (no WebAssembly module built: nothing to record)");
        return;
      }
      // The worker's global scope, as far as its script uses it.
      const scope = { postMessage: (message) => (scope.reply = message) };
      new Function("self", workerSource())(scope);
      let next = 0;
      const ask = async (kind, payload) => {
        await scope.onmessage({ data: { id: next, kind, payload } });
        assert.equal(scope.reply.id, next++);
        assert.equal(scope.reply.error, undefined, `${kind}: ${scope.reply.error}`);
        return scope.reply.result;
      };
      const { maxValues } = await ask("load", fs.readFileSync(modulePath));
      assert.ok(maxValues >= 512, `the module's limit, ${maxValues}`);
      const { packTrace, STRIDE, CALLEE_AT } = loadPageScripts(
        ["trace.js"],
        ["packTrace", "STRIDE", "CALLEE_AT"],
      );
      // A packed trace with its events' standard algorithms by name: the two readings number the
      // names apart (the embedded traces' reading also counts the events' kind letters).
      const byName = ({ callees, events, ...rest }) => ({
        ...rest,
        events: Array.from(events, (value, k) =>
          k % STRIDE === CALLEE_AT && value >= 0 ? callees[value] : value,
        ),
      });
      const requests = [{ values: [5, 1, 4, 1, -3], direction: "ascending" }];
      const catalog = JSON.parse(spawnSync(sortShow, ["--catalog"], { encoding: "utf8" }).stdout);
      for (const { name } of catalog.patterns) {
        for (const direction of ["ascending", "descending"])
          requests.push({ pattern: name, size: 100, seed: 3, direction });
      }
      for (const request of requests) {
        const { bytes, traces } = await ask("record", request);
        const doc = JSON.parse(new TextDecoder().decode(bytes));
        const label = JSON.stringify(request);
        assert.equal(traces.length, catalog.sorts.length, label);
        assert.deepStrictEqual(
          traces.map(byName),
          doc.traces.map((trace) => byName(packTrace(trace))),
          label,
        );
        assert.ok(
          traces.every((trace) => trace.consistent),
          `${label}: every trace replays to its output`,
        );
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
