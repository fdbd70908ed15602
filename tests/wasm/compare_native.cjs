// Runs the WebAssembly recorder under Node and compares its JSON with the
// native sort_show's for the same inputs: all nine patterns at a few sizes and
// seeds, both directions, and explicit values.
//
// Usage: node compare_native.cjs MODULE SORT_SHOW STDLIB
// STDLIB is the native build's standard library, libc++ or libstdc++. With
// libc++ (the module's) the documents must be equal byte for byte. With
// libstdc++ the traces of BubbleSort and QuickSort, which call no standard
// algorithm, must still be equal byte for byte, and those of HeapSort, MergeSort
// and IntroSort in everything but their events and counts: std::make_heap,
// std::sort_heap and std::rotate make different moves in the two libraries.
'use strict';
const assert = require('node:assert/strict');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');

const [modulePath, sortShow, stdlib] = process.argv.slice(2);
const PATTERNS = ['shuffled', 'shuffled_16_values', 'all_equal', 'ascending', 'descending',
                  'pipe_organ', 'push_front', 'push_middle', 'sawtooth'];
const STDLIB_FREE = new Set(['BubbleSort', 'QuickSort']);

const compiled = new WebAssembly.Module(fs.readFileSync(modulePath));
assert.deepEqual(WebAssembly.Module.imports(compiled), [], 'the module needs no imports');
const wasm = new WebAssembly.Instance(compiled, {}).exports;
const limit = wasm.sorting_max_values();
assert.ok(limit >= 512, `sorting_max_values() is ${limit}`);

function text(length) {
  assert.ok(length > 0, `a record call returned ${length}`);
  // Read after the call: recording may have grown the memory.
  return Buffer.from(wasm.memory.buffer, wasm.sorting_json(), length).toString('utf8');
}

function native(args) {
  const out = execFileSync(sortShow, ['--json', ...args], { maxBuffer: 1 << 30 }).toString('utf8');
  assert.ok(out.endsWith('\n'));
  return out.slice(0, -1);
}

function withoutMoves(trace) {
  const { events, comparisons, writes, ...rest } = trace;
  return rest;
}

let compared = 0;
function compare(label, fromWasm, fromNative) {
  compared++;
  if (stdlib === 'libc++') {
    assert.ok(fromWasm === fromNative, `${label}: the documents differ`);
    return;
  }
  const a = JSON.parse(fromWasm).traces;
  const b = JSON.parse(fromNative).traces;
  assert.equal(a.length, 5, label);
  assert.equal(b.length, 5, label);
  for (let k = 0; k < 5; k++) {
    if (STDLIB_FREE.has(a[k].algorithm))
      assert.ok(JSON.stringify(a[k]) === JSON.stringify(b[k]), `${label}: ${a[k].algorithm} differs`);
    else
      assert.deepEqual(withoutMoves(a[k]), withoutMoves(b[k]), `${label}: ${a[k].algorithm}`);
  }
}

for (const direction of ['ascending', 'descending']) {
  const descending = direction === 'descending' ? 1 : 0;
  PATTERNS.forEach((pattern, index) => {
    for (const size of [1, 2, 17, 40, 200]) {
      // The largest seed checks that a seed above 2^31 crosses the boundary intact.
      for (const seed of size === 40 ? [1, 4294967295] : [7]) {
        const label = `${pattern} size ${size} seed ${seed} ${direction}`;
        compare(label, text(wasm.sorting_record_pattern(index, size, seed | 0, descending)),
                native(['--pattern', pattern, '--size', `${size}`, '--seed', `${seed}`,
                        '--direction', direction]));
      }
    }
  });
  const random = Array.from({ length: limit }, (_, k) => ((k * 2654435761) % 1000003) - 500000);
  for (const values of [[5, 1, 4, 2, 3], [42], [-2147483648, 2147483647, 0, -1, 7, 7], random]) {
    new Int32Array(wasm.memory.buffer, wasm.sorting_input(), values.length).set(values);
    compare(`${values.length} values ${direction}`,
            text(wasm.sorting_record_values(values.length, descending)),
            native(['--values', values.join(','), '--direction', direction]));
  }
}

// Bad arguments are refused, and leave the last recording alone.
const last = text(wasm.sorting_record_values(5, 0));
for (const result of [wasm.sorting_record_values(0, 0), wasm.sorting_record_values(limit + 1, 0),
                      wasm.sorting_record_pattern(9, 10, 1, 0), wasm.sorting_record_pattern(-1, 10, 1, 0),
                      wasm.sorting_record_pattern(0, 0, 1, 0), wasm.sorting_record_pattern(0, limit + 1, 1, 0)])
  assert.equal(result, -1);
assert.equal(text(last.length), last);

console.log(`${compared} inputs compared (native standard library: ${stdlib}` +
            (stdlib === 'libc++' ? ', whole documents byte for byte)'
                                 : '; HeapSort, MergeSort and IntroSort events not compared)'));
