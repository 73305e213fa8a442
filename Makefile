# KESTO: `make run` builds the program and runs the demo deck headless,
# `make test` builds and runs every test, `make bench` runs the benchmarks,
# `make tsan` runs the threaded sweeps' tests under ThreadSanitizer,
# `make format` applies the code style, `make fuzz` runs the fuzz harnesses
# (FUZZ_SECONDS each, default 60), `make install` installs the program
# (PREFIX, default /usr/local). Each build first installs whatever Debian
# packages are missing.
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
PREFIX ?= /usr/local
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)

.PHONY: all deps configure build test run bench tsan format fuzz install clean

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

# The threaded sweeps' tests under ThreadSanitizer (built alone: see
# tests/CMakeLists.txt).
tsan: configure
	cmake --build $(BUILD) -j $(JOBS) --target sweep_tsan_tests
	TSAN_OPTIONS=halt_on_error=1 ./$(BUILD)/tests/sweep_tsan_tests

# The fuzz harnesses, built with clang and the sanitizers in a tree of their
# own (which holds nothing else: the libraries and the harnesses that
# tests/fuzz/CMakeLists.txt lists), run one after the other from their
# committed corpora.
fuzz:
	@bash scripts/install-deps --fuzz
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DKESTO_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

install: configure
	cmake --build $(BUILD) -j $(JOBS) --target kesto
	cmake --install $(BUILD) --prefix $(PREFIX)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD)
