# The two everyday commands: `make run` builds and starts Scanvale, `make test` builds it
# and runs the whole test suite. Both install the Debian packages they need first.
# CI sets CI=true; its preset turns compiler warnings into errors.
ifeq ($(CI),true)
PRESET ?= ci
else
PRESET ?= default
endif

# The build folder of each preset (see CMakePresets.json).
BUILD_DIR_default = build
BUILD_DIR_ci = build-ci
BUILD_DIR_asan-ubsan = build-asan
BUILD_DIR = $(BUILD_DIR_$(PRESET))

.PHONY: all deps build run test test-asan bench package screenshot clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)

run: build
	@scripts/run.sh $(BUILD_DIR)/app/scanvale

test: deps
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)
	@ctest --preset $(PRESET)

test-asan:
	@$(MAKE) --no-print-directory test PRESET=asan-ubsan

bench: deps
	@scripts/install-deps.sh --bench
	@cmake --preset $(PRESET) >/dev/null
	@cmake --build --preset $(PRESET)
	@bench/run.sh

# The Debian package, written to $(BUILD_DIR)/package/.
package: build
	@cpack --config $(BUILD_DIR)/CPackConfig.cmake -B $(BUILD_DIR)/package
	@rm -rf $(BUILD_DIR)/package/_CPack_Packages

# The README's picture of the window, taken on a virtual X server.
screenshot: build
	@scripts/install-deps.sh --screenshot
	@scripts/screenshot.sh $(BUILD_DIR)/app/scanvale docs/screenshot.png

clean:
	rm -rf build build-ci build-asan
