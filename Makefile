# Pixdock: `make run` sets everything up and starts the program; `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
BENCH_PICTURES ?= 200

.PHONY: all deps configure build run test bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	cd $(BUILD) && ./pixdock

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Builds the benchmark programs and runs them; each prints a table (BENCH_PICTURES=N for size).
bench: configure
	cmake --build $(BUILD) --target pixdock_bench -j $(JOBS)
	PIXDOCK_BENCH_PICTURES=$(BENCH_PICTURES) bash bench/run-bench.sh $(BUILD)

clean:
	rm -rf $(BUILD)
