#!/usr/bin/env bash
# Runs the Makefile's targets with one tool made missing at a time and checks
# that each stops before building anything, exits non-zero, and prints exactly
# one line besides make's own "*** [...] Error" notice: the one expected, naming
# the Debian package to install. Last, it checks that `make run` needs no
# GoogleTest.
#
#   missing_tools_test.sh SOURCE_DIR WORK_DIR
set -uo pipefail

source_dir=$1
work=$2
rm -rf "$work"
mkdir -p "$work"
# Run make as a user does, not as a child of the make that may have started
# CTest: no inherited flags, jobserver or command-line variables.
unset MAKEFLAGS MFLAGS MAKEOVERRIDES MAKELEVEL CMAKE_FLAGS

failures=0

# expect_stop NAME EXPECTED_LINE MAKE_ARGUMENTS...: EXPECTED_LINE is matched
# literally against the whole output.
expect_stop() {
  local name=$1 expected=$2
  shift 2
  local output status
  output=$(make --no-print-directory -C "$source_dir" "$@" 2>&1 </dev/null)
  status=$?
  output=$(grep -v '^make\(\[[0-9]*\]\)\?: \*\*\* ' <<<"$output")
  if ((status == 0)); then
    echo "FAIL $name: make $* succeeded"
    ((failures++))
  elif [[ $output != "$expected" ]]; then
    printf 'FAIL %s: expected the one line\n  %s\ngot:\n%s\n' "$name" "$expected" "$output"
    ((failures++))
  elif [[ -n $(find "$work" -name '*.o' -print -quit) ]]; then
    echo "FAIL $name: something was compiled before it stopped"
    ((failures++))
  else
    echo "ok   $name: $output"
  fi
}

missing=clang++-missing-for-this-test
expect_stop fuzz-without-clang \
  "$missing not found: install it with 'sudo apt-get install clang'" \
  fuzz FUZZ_BUILD_DIR="$work/fuzz" CMAKE_FLAGS=-DCMAKE_CXX_COMPILER=$missing
expect_stop sanitize-without-clang \
  "$missing not found: install it with 'sudo apt-get install clang'" \
  sanitize SAN_DIR="$work/san" CMAKE_FLAGS=-DCMAKE_CXX_COMPILER=$missing
# GNUPLOT=true stands in for gnuplot, which is checked first and may be absent.
expect_stop bench-without-google-benchmark \
  "Google Benchmark not found: install it with 'sudo apt-get install libbenchmark-dev'" \
  bench BENCH_DIR="$work/bench" GNUPLOT=true CMAKE_FLAGS=-DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
expect_stop bench-without-gnuplot \
  "gnuplot-missing-for-this-test not found: install it with 'sudo apt-get install gnuplot-nox'" \
  bench BENCH_DIR="$work/bench" GNUPLOT=gnuplot-missing-for-this-test
expect_stop test-without-googletest \
  "GoogleTest not found: install it with 'sudo apt-get install libgtest-dev' (or configure with -DSORTING_BUILD_TESTS=OFF)" \
  test BUILD_DIR="$work/test" CMAKE_FLAGS=-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
expect_stop format-without-clang-format \
  "clang-format-missing-for-this-test not found: install it with 'sudo apt-get install clang-format'" \
  format CLANG_FORMAT=clang-format-missing-for-this-test
expect_stop page-bench-without-node \
  "node-missing-for-this-test not found: install it with 'sudo apt-get install nodejs'" \
  page-bench BUILD_DIR="$work/page-bench" NODE=node-missing-for-this-test
expect_stop lint-without-node \
  "node-missing-for-this-test not found: install it with 'sudo apt-get install nodejs'" \
  lint NODE=node-missing-for-this-test
expect_stop tidy-without-clang-tidy \
  "clang-tidy-missing-for-this-test not found: install it with 'sudo apt-get install clang-tidy'" \
  tidy TIDY_DIR="$work/tidy" CLANG_TIDY=clang-tidy-missing-for-this-test

# The demo builds and runs with GoogleTest hidden; with its input closed it
# leaves at the prompt.
if output=$(make --no-print-directory -C "$source_dir" run BUILD_DIR="$work/run" \
              CMAKE_FLAGS=-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON 2>&1 </dev/null) &&
   [[ $output == *"Press enter to exit" ]]; then
  echo "ok   run-without-googletest"
else
  printf 'FAIL run-without-googletest:\n%s\n' "$output"
  ((failures++))
fi

exit $((failures > 0))
