# KESTO: `make run` builds and runs the demo deck headless, `make test` builds
# and runs every test, `make bench` runs the benchmarks. Each first installs
# whatever Debian packages are missing.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	./$(BUILD)/kesto --batch examples/DEMO

bench: build
	./$(BUILD)/kesto_bench --benchmark_counters_tabular=true

clean:
	rm -rf $(BUILD)
