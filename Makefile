# KESTO: `make run` builds the program and runs the demo deck headless,
# `make test` builds and runs every test, `make bench` runs the benchmarks,
# `make format` applies the code style. Each build first installs whatever
# Debian packages are missing.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench format clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

# The demo needs only the program: no test or benchmark is built for it.
run: configure
	cmake --build $(BUILD) -j $(JOBS) --target kesto
	./$(BUILD)/kesto --batch examples/DEMO

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: configure
	cmake --build $(BUILD) -j $(JOBS) --target kesto_bench
	./$(BUILD)/kesto_bench --benchmark_counters_tabular=true

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
