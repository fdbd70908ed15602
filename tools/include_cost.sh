#!/usr/bin/env bash
# What including the library costs a translation unit: the compile time of a
# file that includes <sorting/sorting.h> and calls two sorts, against one that
# includes <algorithm> and calls std::sort and std::stable_sort, with each
# compiler found. Prints the median of RUNS compilations of each, and the
# difference. A measurement to quote, not a test: times depend on the machine.
#
#   tools/include_cost.sh [INCLUDE_DIR]    (default: the repository's include/)
#   RUNS=7 CXXFLAGS='-std=c++17 -O2' COMPILERS='g++ clang++' tools/include_cost.sh
set -euo pipefail

include_dir=${1:-$(cd "$(dirname "$0")/.." && pwd)/include}
runs=${RUNS:-7}
flags=${CXXFLAGS:--std=c++17 -O2}
compilers=${COMPILERS:-g++ clang++}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/library.cpp" <<'CPP'
#include <sorting/sorting.h>
int main() {
  int values[] = {3, 1, 2};
  sorting::IntroSort(values);
  sorting::MergeSort(values);
  return values[0];
}
CPP
cat >"$work/standard.cpp" <<'CPP'
#include <algorithm>
int main() {
  int values[] = {3, 1, 2};
  std::sort(values, values + 3);
  std::stable_sort(values, values + 3);
  return values[0];
}
CPP

# median_seconds COMPILER FILE: the median wall time of `runs` compilations.
median_seconds() {
  local times=() start end
  for ((i = 0; i < runs; ++i)); do
    start=$EPOCHREALTIME
    # shellcheck disable=SC2086  # the flags are words
    "$1" $flags -I"$include_dir" -c "$2" -o "$work/out.o"
    end=$EPOCHREALTIME
    times+=("$(awk -v s="$start" -v e="$end" 'BEGIN { print e - s }')")
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

printf '%-10s %12s %12s %10s\n' compiler '<algorithm>' sorting.h difference
for compiler in $compilers; do
  command -v "$compiler" >/dev/null || { echo "$compiler: not found, left out"; continue; }
  standard=$(median_seconds "$compiler" "$work/standard.cpp")
  library=$(median_seconds "$compiler" "$work/library.cpp")
  printf '%-10s %11.3fs %11.3fs %+9.3fs\n' "$compiler" "$standard" "$library" \
    "$(awk -v l="$library" -v s="$standard" 'BEGIN { print l - s }')"
done
echo "(median of $runs compilations each, flags: $flags)"
