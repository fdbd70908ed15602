#!/usr/bin/env bash
# Whether two versions of the library compile the five sorts for int with the
# function-pointer comparator to the same machine code: one file instantiates
# them, each compiler found builds it against both include folders, and
# `objdump -d --no-show-raw-insn` of the two objects must be equal. Hooks for a
# recording element type (sorting::detail::AtLibraryLine) must cost an ordinary
# caller nothing; this is how that was checked.
#
#   tools/same_code.sh BEFORE_INCLUDE [AFTER_INCLUDE]   (default: the repository's include/)
#   CXXFLAGS='-std=c++17 -O3' COMPILERS='g++ clang++' tools/same_code.sh /tmp/old/include
#
# An old version's headers: git archive COMMIT include | tar -x -C /tmp/old
set -euo pipefail

before=${1:?the include folder of the version to compare with}
after=${2:-$(cd "$(dirname "$0")/.." && pwd)/include}
flags=${CXXFLAGS:--std=c++17 -O2}
compilers=${COMPILERS:-g++ clang++}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/five.cpp" <<'CPP'
#include <sorting/sorting.h>
using Pointer = sorting::Comparator<int>;
template void sorting::BubbleSort<int, Pointer>(int*, int*, Pointer);
template void sorting::QuickSort<int, Pointer>(int*, int*, Pointer);
template void sorting::HeapSort<int, Pointer>(int*, int*, Pointer);
template void sorting::MergeSort<int, Pointer>(int*, int*, Pointer);
template void sorting::IntroSort<int, Pointer>(int*, int*, Pointer);
CPP

status=0
for compiler in $compilers; do
  command -v "$compiler" >/dev/null || continue
  for side in before after; do
    include=$before
    [ "$side" = after ] && include=$after
    # shellcheck disable=SC2086
    "$compiler" $flags -I"$include" -c "$work/five.cpp" -o "$work/$side.o"
    # The first lines name the object file; the code follows. A jump's or call's
    # target keeps its address, but not the name objdump guesses for it from the
    # nearest symbol, which can be a string whose place in the data moved.
    objdump -d --no-show-raw-insn "$work/$side.o" | tail -n +4 | sed 's/ <[^>]*>$//' \
      >"$work/$compiler-$side.txt"
  done
  functions=$(grep -c '>:$' "$work/$compiler-after.txt")
  instructions=$(grep -c '^ ' "$work/$compiler-after.txt")
  if cmp -s "$work/$compiler-before.txt" "$work/$compiler-after.txt"; then
    echo "$compiler $flags: the same code ($functions functions, $instructions instructions)"
  else
    echo "$compiler $flags: the code differs"
    diff "$work/$compiler-before.txt" "$work/$compiler-after.txt" | head -40 || true
    status=1
  fi
done
exit $status
