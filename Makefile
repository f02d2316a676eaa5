# Top-level entry points. `make run` and `make test` do the whole set-up on a fresh Debian machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
SCRIPT     ?= examples/hello.qz
ARGS       ?=
PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all setup build run test install uninstall deb asan asan-build asan-test fuzz fuzz-smoke bench clean

all: build

setup:
	@scripts/setup

$(BUILD)/CMakeCache.txt: | setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: setup $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -x $(BUILD)/bin/quazel ]; then $(BUILD)/bin/quazel $(SCRIPT) $(ARGS); \
	else $(BUILD)/tools/vbsrun $(SCRIPT) $(ARGS); fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# PREFIX/bin/quazel, the engine in PREFIX/lib, the manual page and the examples. Installed into
# the system itself, the library cache is refreshed so that standalone programs anywhere find
# the engine.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	@if [ -z "$(DESTDIR)" ] && [ "$$(id -u)" -eq 0 ] && command -v ldconfig >/dev/null; then ldconfig; fi

uninstall:
	DESTDIR="$(DESTDIR)" cmake -DBUILD="$(abspath $(BUILD))" -DPREFIX="$(PREFIX)" -P cmake/uninstall.cmake
	@if [ -z "$(DESTDIR)" ] && [ "$$(id -u)" -eq 0 ] && command -v ldconfig >/dev/null; then ldconfig; fi

# The Debian package of the same files, in $(BUILD)/packages/.
deb: build
	cd $(BUILD) && cpack -G DEB

# One clang build serves both the sanitizer test run and the fuzz targets: every test runs
# under AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzzers link against it.
$(ASAN_BUILD)/CMakeCache.txt: | setup
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" \
	  -DQUAZEL_SANITIZE=ON -DQUAZEL_FUZZ=ON -DQUAZEL_BENCH=OFF

asan-build: setup $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)

asan: asan-build
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

asan-test: asan

fuzz: asan-build

# Runs every fuzz target for a short time from its seed corpus (the language fuzzer also starts
# from the language test and benchmark scripts, and from random well-formed programs, each of
# which it runs on the syntax tree and compiled and compares).
fuzz-smoke: fuzz
	@for t in $(ASAN_BUILD)/fuzz/fuzz_*; do \
	  [ -x "$$t" ] || continue; name=$$(basename $$t); \
	  echo "fuzz-smoke: $$name"; \
	  corpus=fuzz/corpus/$${name#fuzz_}; mkdir -p $(ASAN_BUILD)/corpus-$$name; \
	  seeds=$$( [ -d $$corpus ] && echo $$corpus ); \
	  [ $$name = fuzz_script ] && python3 fuzz/script/generate_programs.py $(ASAN_BUILD)/generated-programs 300 1 && \
	    seeds="$$seeds tests/language tests/conformance bench/language $(ASAN_BUILD)/generated-programs"; \
	  $$t -max_total_time=$${FUZZ_SECONDS:-20} -rss_limit_mb=2048 -timeout=25 $(ASAN_BUILD)/corpus-$$name $$seeds || exit 1; \
	done

bench: build
	@bench/run.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
