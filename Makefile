# The two everyday commands: `make run` and `make test`. Both configure an
# optimised CMake build in $(BUILD_DIR) first; CMake stays the real build.

BUILD_DIR ?= build
BUILD_TYPE ?= Release
CMAKE_FLAGS ?=
JOBS ?= 2

# cmake --build runs make again; keep its directory chatter out of the output.
MAKEFLAGS += --no-print-directory

.PHONY: run test configure clean

run: configure
	@cmake --build $(BUILD_DIR) --target sort_demo -j $(JOBS)
	@$(BUILD_DIR)/demo/sort_demo

test: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)
	@ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

configure:
	@command -v cmake >/dev/null || { echo "cmake not found: install it with 'sudo apt-get install cmake'" >&2; exit 1; }
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

clean:
	rm -rf $(BUILD_DIR)
