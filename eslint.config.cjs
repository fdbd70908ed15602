// ESLint for the project's JavaScript (`make lint`): @eslint/js's recommended rules on every
// file. The page's scripts are classic scripts sharing one global scope, in the order its
// skeleton lists them: each gets, as globals, the top-level names of the files that run beside
// it (the page's, or the worker's for trace.js and worker.js), so that no-undef still finds a
// name that no file defines, and a duplicate definition shows as a redeclaration.

"use strict";

const fs = require("node:fs");
const path = require("node:path");
const js = require("@eslint/js");
const globals = require("globals");
const { PAGE_FOLDER, pageScripts } = require("./show/page_scripts.cjs");

// The names a page script declares at its top level. Prettier indents everything nested, so
// they are the declarations that start a line.
function topLevelNames(text) {
  const declaration = /^(?:async function|function|class|const|let|var) ([\w$]+)/gm;
  return Array.from(text.matchAll(declaration), (match) => match[1]);
}

const escape = (name) => name.replace(/\$/g, "\\$");
const mentions = (text, name) => new RegExp(`(?<![\\w$])${escape(name)}(?![\\w$])`).test(text);

// `const { left, ...rest } = object` is how a copy without `left` is written.
const UNUSED_VARS = { ignoreRestSiblings: true };

const scripts = pageScripts().map((script) => {
  const text = fs.readFileSync(path.join(PAGE_FOLDER, script.file), "utf8");
  return { ...script, text, names: topLevelNames(text) };
});

// A page script's settings: the globals of where it runs, the names the others beside it
// declare, and no-unused-vars quiet about its own top-level names that one of them uses (by a
// search for the word, so a mention in a comment counts as a use).
function pageScriptConfig(script) {
  const beside = scripts.filter(
    (other) => other !== script && ((script.page && other.page) || (script.worker && other.worker)),
  );
  const shared = beside.flatMap((other) => other.names);
  const usedBeside = script.names.filter((name) =>
    beside.some((other) => mentions(other.text, name)),
  );
  return {
    files: [path.relative(__dirname, path.join(PAGE_FOLDER, script.file))],
    languageOptions: {
      sourceType: "script",
      globals: {
        ...(script.page ? globals.browser : {}),
        ...(script.worker ? globals.worker : {}),
        ...Object.fromEntries(shared.map((name) => [name, "readonly"])),
      },
    },
    rules: {
      "no-unused-vars": [
        "error",
        {
          ...UNUSED_VARS,
          ...(usedBeside.length && {
            varsIgnorePattern: `^(?:${usedBeside.map(escape).join("|")})$`,
          }),
        },
      ],
    },
  };
}

module.exports = [
  { ignores: ["build*/", "out/", "**/node_modules/"] },
  js.configs.recommended,
  { rules: { "no-unused-vars": ["error", UNUSED_VARS] } },
  // Node's scripts: the tests, the benchmark, the loader of the page's scripts, this file.
  {
    files: ["**/*.cjs", "tests/**/*.js", "bench/**/*.js"],
    languageOptions: { sourceType: "commonjs", globals: globals.node },
  },
  // The functions these hand to the browser to run in the page use the browser's names.
  {
    files: ["tests/browser/**/*.js", "bench/page_bench.js"],
    languageOptions: { globals: { ...globals.node, ...globals.browser } },
  },
  ...scripts.map(pageScriptConfig),
];
