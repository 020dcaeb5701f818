# Pixdock: `make run` sets everything up and starts the program; `make test` runs every test.
BUILD ?= build
JOBS ?= $(shell nproc)
BENCH_PICTURES ?= 200
# Rows of the catalogue-on-a-server benchmark's catalogue.
BENCH_SERVER_ROWS ?= 1000000
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
KILLS ?= 200
PREFIX ?= /usr/local

.PHONY: all deps configure build run test install package bench clean test-asan fuzz fuzz-deps reliability test-share

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

# How much of the C++ code is tests (cloc's code lines; bench/ on neither side).
test-share: deps
	@bash scripts/test-share.sh

# Installs under PREFIX (default /usr/local), stripped of the debug data (which names the
# build's folders); DESTDIR=/staging puts the tree below a folder.
install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# The Debian package, build/package/pixdock_<version>_<arch>.deb, checked by lintian.
package: build
	cd $(BUILD) && cpack -G DEB
	lintian --fail-on error,warning $(BUILD)/package/pixdock_*.deb

# Builds the benchmark programs and runs them; each prints a table (BENCH_PICTURES=N for size,
# BENCH_SERVER_ROWS=N for the catalogue on a server).
bench: configure
	cmake --build $(BUILD) --target pixdock_bench -j $(JOBS)
	PIXDOCK_BENCH_PICTURES=$(BENCH_PICTURES) PIXDOCK_BENCH_SERVER_ROWS=$(BENCH_SERVER_ROWS) bash bench/run-bench.sh $(BUILD)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer, leaks included.
# What is suppressed, and why, is in tools/sanitizers; what is left out, in docs/RELIABILITY.md.
SANITIZE = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPIXDOCK_BUILD_BENCH=OFF \
	    "-DCMAKE_CXX_FLAGS=$(SANITIZE)" "-DCMAKE_EXE_LINKER_FLAGS=$(SANITIZE)"
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	bash tools/sanitizers/run-asan-tests.sh $(ASAN_BUILD) $(JOBS)

# libFuzzer harnesses of the parsers, each run for FUZZ_SECONDS (clang build of its own).
fuzz-deps:
	@bash tools/sanitizers/install-clang.sh

fuzz: deps fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPIXDOCK_BUILD_FUZZERS=ON \
	    -DBUILD_TESTING=OFF -DPIXDOCK_BUILD_BENCH=OFF \
	    "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
	cmake --build $(FUZZ_BUILD) --target pixdock_fuzzers -j $(JOBS)
	bash fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The long reliability runs: KILLS kills of the catalogue writer and the full damaged-picture
# corpus in watched child processes (BAD_PICTURES sets its options), with the catalogue fault cases
# and odd names again, and the files that once froze the interface (a JPEG of 15,000 scans, a pipe
# in the thumbnail cache, an unreadable picture, a window size far beyond the screen) with the
# longest stall of each; prints the figures.
reliability: build
	$(BUILD)/tools/pixdock-badpictures $(BAD_PICTURES)
	$(call run_test_class,TestKillsMidWrite,PIXDOCK_KILLS=$(KILLS))
	$(call run_test_class,TestDamagedCatalogue)
	$(call run_test_class,TestOddNames)
	$(call run_test_class,TestHostileFiles,PIXDOCK_MANY_SCANS=15000)
	$(call run_test_class,TestFrmThumbnails,PIXDOCK_MANY_SCANS=15000, \
	    aPictureOfManyScansHoldsBackNoOtherThumbnailAndClosingIsAtOnce)
	$(call run_test_class,TestThumbnailCache,,whatAnotherProgramLeftUnderAnEntrysName)
	$(call run_test_class,TestMainWindowSettings,,theStoredPlaceIsShownAndStored)

# $(call run_test_class,CLASS,ENVIRONMENT,FUNCTIONS): runs a test class, or some of its functions,
# in every test executable of the build that holds one of that name (each lists its classes with
# --classes; the executables are the build's own, not files an older build left behind).
run_test_class = @cd $(BUILD) && found=; \
	for t in $$(ninja -t targets all | sed -n 's|^\(tests/tests_[a-z_]*\): CXX_EXECUTABLE_LINKER.*|\1|p'); do \
	    if ./$$t --classes | grep -qx '$(1)'; then \
	        found=1; echo "$$t $(1) $(strip $(3))"; env QT_QPA_PLATFORM=offscreen PIXDOCK_REPORT_STALLS=1 $(2) ./$$t $(1) $(3) || exit 1; \
	    fi; \
	done; [ -n "$$found" ] || { echo "no test executable holds $(1)" >&2; exit 1; }

clean:
	rm -rf $(BUILD)
