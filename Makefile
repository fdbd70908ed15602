# The everyday commands are `make run` and `make test`; plain `make` lists them
# all; `make show` writes the page that races the sorts and their history
# pictures. Every target configures a CMake build from a preset of CMakePresets.json
# (CMake stays the real build, and `cmake --preset NAME` gives the same one),
# and a tool it needs that is missing stops it before anything is built, with
# one line naming the Debian package to install.

BUILD_DIR ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=
JOBS ?= 2
SAN_DIR ?= build-san
# `make fuzz`: seconds to fuzz for, more libFuzzer flags, the build folder of the
# fuzzer, and FUZZ_VERBOSE=1 for libFuzzer's own progress report. The corpus
# grows in $(FUZZ_BUILD_DIR)/corpus across runs, seeded from fuzz/corpus.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS ?=
FUZZ_VERBOSE ?=
FUZZ_BUILD_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
# BENCH_FULL=1: quadratic cases up to 2^16 elements and longer timing of each case.
BENCH_FULL ?=
# BENCH_FLAGS: more Google Benchmark flags, e.g. BENCH_FLAGS=--benchmark_filter=IntroSort.
BENCH_FLAGS ?=
TIDY_DIR ?= build-tidy
# `make site`: the folder to publish (the page as index.html, its pictures beside it).
SITE_DIR ?= build/site
# The tools called by name; the test of the missing-tool messages points them elsewhere.
GNUPLOT ?= gnuplot
CLANG_FORMAT ?= clang-format
CLANG_TIDY ?= clang-tidy
NODE ?= node
NPM ?= npm
CHROMIUM ?= chromium

# bash, for pipefail: `make fuzz` filters the fuzzer's output and keeps its status.
SHELL := bash
.SHELLFLAGS := -o pipefail -c
.DEFAULT_GOAL := help
# cmake --build runs make again; keep its directory chatter out of the output.
MAKEFLAGS += --no-print-directory

.PHONY: help run test show site page-bench sanitize bench fuzz fuzz-corpus format format-check lint tidy clean \
  check-cmake

help:
	@echo "Targets:"
	@echo "  make run           build the demo (no GoogleTest needed) and run it; Enter leaves it"
	@echo "  make test          build everything in $(BUILD_DIR)/ and run the tests through CTest"
	@echo "  make show          write the page that races the sorts, and their history pictures"
	@echo "  make site          the page and its pictures in $(SITE_DIR)/, ready for a static web host"
	@echo "  make page-bench    measure the page in Chromium: smoothness, long tasks, heap, size, start"
	@echo "  make sanitize      the tests under AddressSanitizer and UBSan, built by clang++ in $(SAN_DIR)/"
	@echo "  make bench         run the benchmarks: $(BENCH_DIR)/bench.csv and bench.png"
	@echo "  make fuzz          fuzz the sorts for FUZZ_SECONDS, quietly"
	@echo "  make fuzz-corpus   add to fuzz/corpus the fuzzed inputs that reach new code"
	@echo "  make format        format the C++ with .clang-format and the JavaScript with Prettier"
	@echo "  make format-check  list the files that are not formatted, and fail if any is"
	@echo "  make lint          check the JavaScript with ESLint (eslint.config.cjs)"
	@echo "  make tidy          run clang-tidy with .clang-tidy over the project's own code"
	@echo "  make clean         remove every build folder"
	@echo "  make help          this list (also plain make)"
	@echo "Variables:"
	@echo "  BUILD_DIR=$(BUILD_DIR) BUILD_TYPE=$(BUILD_TYPE) CMAKE_FLAGS=  (run, test, show, site, page-bench; CMAKE_FLAGS for all)"
	@echo "  SITE_DIR=$(SITE_DIR)  (site)"
	@echo "  JOBS=$(JOBS)  parallel build jobs and test runs"
	@echo "  SAN_DIR=$(SAN_DIR)  (sanitize)"
	@echo "  BENCH_DIR=$(BENCH_DIR) BENCH_FULL=1 BENCH_FLAGS=--benchmark_filter=...  (bench)"
	@echo "  FUZZ_SECONDS=$(FUZZ_SECONDS) FUZZ_FLAGS=-fork=2 FUZZ_VERBOSE=1 FUZZ_BUILD_DIR=$(FUZZ_BUILD_DIR)  (fuzz)"
	@echo "  TIDY_DIR=$(TIDY_DIR)  (tidy)"
	@echo "  GNUPLOT=$(GNUPLOT) CLANG_FORMAT=$(CLANG_FORMAT) CLANG_TIDY=$(CLANG_TIDY) NODE=$(NODE) NPM=$(NPM) CHROMIUM=$(CHROMIUM)  the tools' names"

# $(call configure,PRESET,DIR,FLAGS) configures DIR from PRESET. CMake's chatter
# stays out of sight. When it stops, only the line naming the missing package is
# shown (everything it said when there is no such line); otherwise its warnings
# and notices are.
configure = log=$$(mktemp) && trap 'rm -f "$$log"' EXIT && \
  if cmake --preset $(1) -B $(2) $(3) >/dev/null 2>"$$log"; then cat "$$log" >&2; \
  else grep -m1 "sudo apt-get install" "$$log" >&2 || cat "$$log" >&2; exit 1; fi

# $(call require,COMMAND,PACKAGE) stops unless COMMAND is on the PATH.
require = command -v $(1) >/dev/null || \
  { echo "$(1) not found: install it with 'sudo apt-get install $(2)'" >&2; exit 1; }

# The demo's build leaves the tests out, so it needs no GoogleTest; `make test`
# puts them back in the same folder.
run: check-cmake
	@$(call configure,default,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSORTING_BUILD_TESTS=OFF $(CMAKE_FLAGS))
	@cmake --build $(BUILD_DIR) --target sort_demo -j $(JOBS)
	@$(BUILD_DIR)/demo/sort_demo

test: check-cmake
	@$(call configure,default,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSORTING_BUILD_TESTS=ON $(CMAKE_FLAGS))
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

# The page and the pictures, from the same build as the demo (no GoogleTest needed).
show: check-cmake
	@$(call configure,default,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSORTING_BUILD_TESTS=OFF $(CMAKE_FLAGS))
	@cmake --build $(BUILD_DIR) --target sort_show -j $(JOBS)
	@$(BUILD_DIR)/show/sort_show --output $(abspath $(BUILD_DIR))/show/sorting-show.html \
	  --pictures $(abspath $(BUILD_DIR))/show/pictures

# One folder to publish: links to index.html#values=... then work for anyone, where a
# file:// link works only on the machine that has the file.
site: check-cmake
	@$(call configure,default,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSORTING_BUILD_TESTS=OFF $(CMAKE_FLAGS))
	@cmake --build $(BUILD_DIR) --target sort_show -j $(JOBS)
	@mkdir -p $(SITE_DIR)
	@$(BUILD_DIR)/show/sort_show --output $(abspath $(SITE_DIR))/index.html --pictures $(abspath $(SITE_DIR))/pictures
	@echo "Site: $(SITE_DIR)/ holds index.html and pictures/; publish the folder as it is"

# Figures, not a test: the page's smoothness at 512 values against an idle page, its
# longest main-thread tasks, its heap after 50 recordings, its size and its start.
# playwright-core comes from the lock file, installed in the build folder without the
# formatter and linter.
page-bench: check-cmake
	@$(call require,$(NODE),nodejs)
	@$(call require,$(CHROMIUM),chromium)
	@$(call configure,default,$(BUILD_DIR),-DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DSORTING_BUILD_TESTS=OFF $(CMAKE_FLAGS))
	@cmake --build $(BUILD_DIR) --target sort_show -j $(JOBS)
	@mkdir -p $(BUILD_DIR)/page-bench/npm
	@cp package.json package-lock.json $(BUILD_DIR)/page-bench/npm/
	@cd $(BUILD_DIR)/page-bench/npm && $(NPM) ci --omit=dev --no-audit --no-fund --loglevel=error >/dev/null
	@$(NODE) bench/page_bench.js --sort-show $(BUILD_DIR)/show/sort_show --work $(BUILD_DIR)/page-bench \
	  --modules $(BUILD_DIR)/page-bench/npm --chromium $$(command -v $(CHROMIUM))

sanitize: check-cmake
	@$(call configure,sanitize,$(SAN_DIR),$(CMAKE_FLAGS))
	@cmake --build $(SAN_DIR) -j $(JOBS)
	@ctest --test-dir $(SAN_DIR) --output-on-failure -j $(JOBS)

# Google Benchmark writes a few lines about the machine before its CSV header:
# they go to bench-context.txt, so that bench.csv starts with its header.
bench: check-cmake
	@$(call require,$(GNUPLOT),gnuplot-nox)
	@$(call configure,bench,$(BENCH_DIR),$(CMAKE_FLAGS))
	@cmake --build $(BENCH_DIR) --target sort_bench -j $(JOBS)
	@$(BENCH_DIR)/bench/sort_bench $(if $(BENCH_FULL),--full --benchmark_min_time=0.25,--benchmark_min_time=0.05) \
	  --benchmark_counters_tabular=true --benchmark_out=$(BENCH_DIR)/bench-output.csv \
	  --benchmark_out_format=csv $(BENCH_FLAGS)
	@sed -n '/^name,/q;p' $(BENCH_DIR)/bench-output.csv >$(BENCH_DIR)/bench-context.txt
	@sed -n '/^name,/,$$p' $(BENCH_DIR)/bench-output.csv >$(BENCH_DIR)/bench.csv
	@rm $(BENCH_DIR)/bench-output.csv
	@$(GNUPLOT) -e "csv='$(BENCH_DIR)/bench.csv'; png='$(BENCH_DIR)/bench.png'" bench/plot.gp
	@echo "Results: $(BENCH_DIR)/bench.csv (machine: $(BENCH_DIR)/bench-context.txt); plot: $(BENCH_DIR)/bench.png"

# Quiet unless FUZZ_VERBOSE is set: libFuzzer's progress lines, the functions it
# newly covers, and the dictionary it recommends at the end (a few hundred lines
# for a minute) stay out; a report, the failing input and the final counts print.
FUZZ_QUIET = -verbosity=0 -print_funcs=0
FUZZ_FILTER = | sed -u '/^\#\#\#\#\#\# Recommended dictionary/,/^\#\#\#\#\#\# End of recommended dictionary/d'

fuzz: check-cmake
	@$(call configure,fuzz,$(FUZZ_BUILD_DIR),$(CMAKE_FLAGS))
	@cmake --build $(FUZZ_BUILD_DIR) --target sort_fuzzer -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD_DIR)/corpus $(FUZZ_BUILD_DIR)/artifacts
	@cp fuzz/corpus/* $(FUZZ_BUILD_DIR)/corpus/
	@echo "Fuzzing for $(FUZZ_SECONDS) s on $(FUZZ_BUILD_DIR)/corpus"
	@$(FUZZ_BUILD_DIR)/fuzz/sort_fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD_DIR)/artifacts/ \
	  $(if $(FUZZ_VERBOSE),,$(FUZZ_QUIET)) $(FUZZ_FLAGS) $(FUZZ_BUILD_DIR)/corpus 2>&1 \
	  $(if $(FUZZ_VERBOSE),,$(FUZZ_FILTER))

# Adds to fuzz/corpus the inputs of $(FUZZ_BUILD_DIR)/corpus that reach code the
# committed ones do not. Only edges count (-use_counters=0), not how often one
# runs, and a greedy set cover picks few inputs for them: a contributor commits
# a handful of files, not every input that raised a hit count. sort_fuzz_names
# then writes each new input's target code in and names it after what it asks
# for, so that it keeps its meaning when a sort is added.
fuzz-corpus: check-cmake
	@test -d $(FUZZ_BUILD_DIR)/corpus || { echo "No $(FUZZ_BUILD_DIR)/corpus yet: run make fuzz first" >&2; exit 1; }
	@$(call configure,fuzz,$(FUZZ_BUILD_DIR),$(CMAKE_FLAGS))
	@cmake --build $(FUZZ_BUILD_DIR) --target sort_fuzzer sort_fuzz_names -j $(JOBS)
	@before=$$(ls fuzz/corpus | wc -l) && \
	  $(FUZZ_BUILD_DIR)/fuzz/sort_fuzzer -set_cover_merge=1 -use_counters=0 \
	    fuzz/corpus $(FUZZ_BUILD_DIR)/corpus >$(FUZZ_BUILD_DIR)/merge.log 2>&1 || \
	    { cat $(FUZZ_BUILD_DIR)/merge.log; exit 1; }; \
	  $(FUZZ_BUILD_DIR)/fuzz/sort_fuzz_names fuzz/corpus/* && \
	  after=$$(ls fuzz/corpus | wc -l) && \
	  echo "fuzz/corpus: $$((after - before)) new inputs reach new code ($$before files before, $$after now)"

# The C++ sources git knows of, tracked or new (not ignored ones).
SOURCES = git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h'
# The JavaScript likewise (the page's scripts, the Node tests, the benchmark, the ESLint
# configuration), which ESLint checks; Prettier formats the npm and Prettier settings too.
JS_SOURCES = git ls-files --cached --others --exclude-standard -- '*.js' '*.cjs' '*.mjs'
PRETTIER_SOURCES = git ls-files --cached --others --exclude-standard -- '*.js' '*.cjs' '*.mjs' \
  package.json .prettierrc.json
PRETTIER = $(NODE) node_modules/prettier/bin/prettier.cjs --log-level=warn
ESLINT = $(NODE) node_modules/eslint/bin/eslint.js --max-warnings=0

# Prettier and ESLint as package-lock.json pins them, in the repository's node_modules/
# (which git ignores): installed when it is missing or older than the lock file.
js-tools = $(call require,$(NODE),nodejs) && $(call require,$(NPM),npm) && \
  if [ package.json -ot node_modules/.package-lock.json ] && [ package-lock.json -ot node_modules/.package-lock.json ]; \
  then :; else $(NPM) ci --no-audit --no-fund --loglevel=error >/dev/null; fi

format:
	@$(call require,$(CLANG_FORMAT),clang-format)
	@$(js-tools)
	@$(SOURCES) | xargs $(CLANG_FORMAT) -i
	@$(PRETTIER_SOURCES) | xargs $(PRETTIER) --write

format-check:
	@$(call require,$(CLANG_FORMAT),clang-format)
	@$(js-tools)
	@$(SOURCES) | xargs $(CLANG_FORMAT) --dry-run -Werror
	@$(PRETTIER_SOURCES) | xargs $(PRETTIER) --check

lint:
	@$(js-tools)
	@$(JS_SOURCES) | xargs $(ESLINT)

# clang-tidy needs only a compile database: a clang++ configuration with the
# fuzzer switched on, so that every program of the project is in it; nothing is
# built. Headers are checked through the sources that include them; sources the
# build generates (the page and the module, embedded) are left out.
tidy: check-cmake
	@$(call require,$(CLANG_TIDY),clang-tidy)
	@$(call configure,default,$(TIDY_DIR),-DCMAKE_CXX_COMPILER=clang++ -DSORTING_FUZZ=ON $(CMAKE_FLAGS))
	@sed -n 's/^ *"file": "\(.*\)".*/\1/p' $(TIDY_DIR)/compile_commands.json | sort -u | \
	  grep -v '^$(abspath $(TIDY_DIR))/' | \
	  xargs -P $(JOBS) -n 1 $(CLANG_TIDY) -p $(TIDY_DIR) --quiet --warnings-as-errors='*' 2>&1 | \
	  sed '/^[0-9]* warnings\? generated\.$$/d'

# Every target that configures needs cmake; say which package brings it.
check-cmake:
	@$(call require,cmake,cmake)

# Every build folder the README names, and any other build-* folder.
clean:
	rm -rf $(sort build $(BUILD_DIR) $(SAN_DIR) $(FUZZ_BUILD_DIR) $(BENCH_DIR) $(TIDY_DIR)) build-*
