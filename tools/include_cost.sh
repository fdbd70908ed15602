#!/usr/bin/env bash
# What including the library costs a translation unit: the compile time of a
# file that sorts a std::vector with IntroSort from <sorting/sorting.h>, against
# the same file sorting it with std::sort from <algorithm>, with each compiler
# found. Prints the median processor time of RUNS compilations of each, and the
# difference. A measurement to quote, not a test: times depend on the machine.
#
#   tools/include_cost.sh [INCLUDE_DIR]    (default: the repository's include/)
#   RUNS=15 CXXFLAGS='-std=c++17 -O2' COMPILERS='g++ clang++' tools/include_cost.sh
set -euo pipefail

include_dir=${1:-$(cd "$(dirname "$0")/.." && pwd)/include}
runs=${RUNS:-15}
flags=${CXXFLAGS:--std=c++17 -O2}
compilers=${COMPILERS:-g++ clang++}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/library.cpp" <<'CPP'
#include <vector>

#include <sorting/sorting.h>

int main() {
  std::vector<int> values = {3, 1, 2};
  sorting::IntroSort(values);
  return values[0];
}
CPP
cat >"$work/standard.cpp" <<'CPP'
#include <algorithm>
#include <vector>

int main() {
  std::vector<int> values = {3, 1, 2};
  std::sort(values.begin(), values.end());
  return values[0];
}
CPP

# seconds COMPILER FILE: the processor time (user and system) of one
# compilation, which other work on the machine changes less than the wall time.
seconds() {
  local TIMEFORMAT='%3U %3S' times
  # shellcheck disable=SC2086  # the flags are words
  times=$({ time "$1" $flags -I"$include_dir" -c "$2" -o "$work/out.o"; } 2>&1)
  awk '{ print $1 + $2 }' <<<"$times"
}

median() {
  printf '%s\n' "$@" | sort -g | sed -n "$(((runs + 1) / 2))p"
}

printf '%-10s %12s %12s %10s\n' compiler '<algorithm>' sorting.h difference
for compiler in $compilers; do
  command -v "$compiler" >/dev/null || { echo "$compiler: not found, left out"; continue; }
  # The two files take turns, so that a change in the machine's load weighs on both.
  standard=() library=()
  for ((i = 0; i < runs; ++i)); do
    standard+=("$(seconds "$compiler" "$work/standard.cpp")")
    library+=("$(seconds "$compiler" "$work/library.cpp")")
  done
  standard_median=$(median "${standard[@]}")
  library_median=$(median "${library[@]}")
  printf '%-10s %11.3fs %11.3fs %+9.3fs\n' "$compiler" "$standard_median" "$library_median" \
    "$(awk -v l="$library_median" -v s="$standard_median" 'BEGIN { print l - s }')"
done
echo "(processor time, median of $runs compilations each, flags: $flags)"
