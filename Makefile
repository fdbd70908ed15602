# The two everyday commands: `make run` and `make test`. Both configure an
# optimised CMake build in $(BUILD_DIR) first; CMake stays the real build.
# `make bench` runs the benchmark suite in its own optimised build, $(BENCH_DIR).
# `make show` writes the page that races the sorts, and their history pictures.

BUILD_DIR ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=
JOBS ?= 2
# `make fuzz`: seconds to fuzz for, more libFuzzer flags, and the build folder
# of the fuzzer. The corpus grows in $(FUZZ_BUILD_DIR)/corpus across runs,
# seeded from fuzz/corpus.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS ?=
FUZZ_BUILD_DIR ?= build-fuzz
BENCH_DIR ?= build-bench
# BENCH_FULL=1: quadratic cases up to 2^16 elements and longer timing of each case.
BENCH_FULL ?=
# BENCH_FLAGS: more Google Benchmark flags, e.g. BENCH_FLAGS=--benchmark_filter=IntroSort.
BENCH_FLAGS ?=

# cmake --build runs make again; keep its directory chatter out of the output.
MAKEFLAGS += --no-print-directory

.PHONY: run test show bench fuzz configure check-cmake clean

run: configure
	@cmake --build $(BUILD_DIR) --target sort_demo -j $(JOBS)
	@$(BUILD_DIR)/demo/sort_demo

test: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

show: configure
	@cmake --build $(BUILD_DIR) --target sort_show -j $(JOBS)
	@$(BUILD_DIR)/show/sort_show --output $(abspath $(BUILD_DIR))/show/sorting-show.html \
	  --pictures $(abspath $(BUILD_DIR))/show/pictures

bench: check-cmake
	@command -v gnuplot >/dev/null || { echo "gnuplot not found: install it with 'sudo apt-get install gnuplot-nox'" >&2; exit 1; }
	@cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DSORTING_BUILD_TESTS=OFF -DSORTING_BUILD_DEMO=OFF >/dev/null
	@cmake --build $(BENCH_DIR) --target sort_bench -j $(JOBS)
	@$(BENCH_DIR)/bench/sort_bench $(if $(BENCH_FULL),--full --benchmark_min_time=0.25,--benchmark_min_time=0.05) \
	  --benchmark_counters_tabular=true --benchmark_out=$(BENCH_DIR)/bench.csv --benchmark_out_format=csv $(BENCH_FLAGS)
	@gnuplot -e "csv='$(BENCH_DIR)/bench.csv'; png='$(BENCH_DIR)/bench.png'" bench/plot.gp
	@echo "Results: $(BENCH_DIR)/bench.csv; plot: $(BENCH_DIR)/bench.png"

fuzz: check-cmake
	@cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DSORTING_FUZZ=ON -DSORTING_BUILD_TESTS=OFF -DSORTING_BUILD_DEMO=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(FUZZ_BUILD_DIR) --target sort_fuzzer -j $(JOBS)
	@mkdir -p $(FUZZ_BUILD_DIR)/corpus $(FUZZ_BUILD_DIR)/artifacts
	@cp fuzz/corpus/* $(FUZZ_BUILD_DIR)/corpus/
	$(FUZZ_BUILD_DIR)/fuzz/sort_fuzzer -max_total_time=$(FUZZ_SECONDS) -timeout=10 \
	  -print_final_stats=1 -artifact_prefix=$(FUZZ_BUILD_DIR)/artifacts/ $(FUZZ_FLAGS) \
	  $(FUZZ_BUILD_DIR)/corpus

configure: check-cmake
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

# Every target that configures needs cmake; say which package brings it.
check-cmake:
	@command -v cmake >/dev/null || { echo "cmake not found: install it with 'sudo apt-get install cmake'" >&2; exit 1; }

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_BUILD_DIR) $(BENCH_DIR)
