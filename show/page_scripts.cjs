// The page's scripts as its skeleton, show/page/page.html, lists them, for Node: the tests and
// the benchmark take the page's own functions from here rather than copies, and ESLint the
// names each file shares with the others.
//
//   const { loadPageScripts } = require("../show/page_scripts.cjs");
//   const { parseLink, groupTraces } = loadPageScripts(["links.js"], ["parseLink", "groupTraces"]);

"use strict";

const fs = require("node:fs");
const path = require("node:path");

const PAGE_FOLDER = path.join(__dirname, "page");
const SKELETON = "page.html";

// Every <script src="..."> of the skeleton, in order: its file, whether its text is also the
// worker's (data-worker) and whether the page runs it (all but type="text/plain").
function pageScripts(folder = PAGE_FOLDER) {
  const skeleton = fs.readFileSync(path.join(folder, SKELETON), "utf8");
  return Array.from(
    skeleton.matchAll(/<script\b([^>]*)\bsrc="([^"]+)"([^>]*)><\/script>/g),
    (match) => {
      const attributes = match[1] + match[3];
      return {
        file: match[2],
        worker: /\bdata-worker\b/.test(attributes),
        page: !/\btype="text\/plain"/.test(attributes),
      };
    },
  );
}

const readScript = (folder, file) => fs.readFileSync(path.join(folder, file), "utf8");

// Runs `files` (scripts of the skeleton, taken in its order whatever the order asked) in this
// realm, as the page runs them in one global scope, and returns their top-level `names`. Being
// this realm's, their arrays and objects compare with assert.deepStrictEqual. Only files that
// touch no DOM at their top level load here: trace.js, trace_json.js, links.js, replay.js,
// predict.js and predict_text.js.
function loadPageScripts(files, names, folder = PAGE_FOLDER) {
  const listed = pageScripts(folder).map((script) => script.file);
  const unknown = files.filter((file) => !listed.includes(file));
  if (unknown.length) throw new Error(`not scripts of ${SKELETON}: ${unknown.join(", ")}`);
  const source = listed
    .filter((file) => files.includes(file))
    .map((file) => readScript(folder, file));
  return new Function(`${source.join("\n")}\nreturn { ${names.join(", ")} };`)();
}

// The worker's script as the page makes it: the texts of the data-worker scripts, in order.
function workerSource(folder = PAGE_FOLDER) {
  return pageScripts(folder)
    .filter((script) => script.worker)
    .map((script) => readScript(folder, script.file))
    .join("\n");
}

module.exports = { PAGE_FOLDER, pageScripts, loadPageScripts, workerSource };
