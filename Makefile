# The two everyday commands: `make run` builds and starts Scanvale, `make test` builds it
# and runs the whole test suite. Both install the Debian packages they need first.
# CI sets CI=true; its preset turns compiler warnings into errors, and `make test` then also
# runs the whole suite under AddressSanitizer + UndefinedBehaviorSanitizer, the engine and
# window tests under ThreadSanitizer, and each fuzzer for FUZZ_SECONDS.
ifeq ($(CI),true)
PRESET ?= ci
else
PRESET ?= default
endif

# The build folder of each preset (see CMakePresets.json).
BUILD_DIR_default = build
BUILD_DIR_ci = build-ci
BUILD_DIR_asan-ubsan = build-asan
BUILD_DIR_tsan = build-tsan
BUILD_DIR = $(BUILD_DIR_$(PRESET))

# How long each fuzzer runs in `make fuzz` (and in CI).
FUZZ_SECONDS ?= 60

# $(call quietly,<command>): runs the command and shows its output only when it fails, such as
# a configure step that cannot find a package.
quietly = out=$$($(1) 2>&1) || { printf '%s\n' "$$out" >&2; exit 1; }

.PHONY: all deps build run test test-asan test-tsan fuzz bench bench-window package screenshot clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@$(call quietly,cmake --preset $(PRESET))
	@cmake --build --preset $(PRESET)

# Without a desktop the program itself says so, and what to do instead.
run: build
	@$(BUILD_DIR)/app/scanvale

test: build
	@ctest --preset $(PRESET)
ifeq ($(CI)$(PRESET),trueci)
	@$(MAKE) --no-print-directory test-asan
	@$(MAKE) --no-print-directory test-tsan
	@$(MAKE) --no-print-directory fuzz
endif

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan-ubsan

# The engine and window tests (the CTest label "unit") under ThreadSanitizer; its preset
# builds only them. The large-tree test is left out there: it walks trees of 10,000 folders and
# files of gigabytes, takes minutes under the sanitizer, and adds no thread interplay that the
# pipelined walk's random trees do not already exercise.
test-tsan:
	@$(MAKE) --no-print-directory test PRESET=tsan

# libFuzzer needs clang: the fuzzers are a small project of their own (fuzz/CMakeLists.txt).
fuzz: deps
	@scripts/install-deps.sh --fuzz
	@$(call quietly,cmake -S fuzz -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++)
	@cmake --build build-fuzz
	@fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

bench: build
	@scripts/install-deps.sh --bench
	@bench/run.sh

# The real window's search against the engine alone, on a private X server.
bench-window: build
	@scripts/install-deps.sh --bench
	@bench/window.sh

# The Debian package, written to $(BUILD_DIR)/package/.
package: build
	@cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package
	@rm -rf $(BUILD_DIR)/package/_CPack_Packages

# The README's picture of the window, taken on a virtual X server.
screenshot: build
	@scripts/install-deps.sh --screenshot
	@scripts/screenshot.sh $(BUILD_DIR)/app/scanvale docs/screenshot.png

clean:
	rm -rf build build-ci build-asan build-tsan build-fuzz
