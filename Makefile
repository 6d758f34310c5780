# make run: install what is missing, build, create the database if absent, start the program.
# make test: the same setup, then the whole test suite headless.
# make install PREFIX=...: install the program; make package: the Debian package.
BUILD ?= build
JOBS ?= $(shell nproc)
# Where make install puts the program (bin/, share/); DESTDIR=... stages it for a package.
PREFIX ?= /usr/local
# Extra CMake options for the build, e.g. CMAKE_FLAGS=-DTESSUND_WERROR=ON (as CI builds).
CMAKE_FLAGS ?=
CTEST = QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

.PHONY: deps build run test install package test-sanitize fuzz format format-check tidy bench clean

deps:
	@./scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/tessund

test: build
	cd $(BUILD) && $(CTEST)

# The program, its files, menu entry, icons and AppStream data under $(PREFIX) (root for /usr/local).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package tessund_VERSION_ARCH.deb in $(BUILD), from the same install rules.
package: build
	cd $(BUILD) && cpack -G DEB

# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer: any finding fails.
test-sanitize: deps
	@cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSUND_SANITIZE=ON -DTESSUND_WERROR=ON >/dev/null
	@cmake --build $(BUILD)-sanitize -j$(JOBS)
	cd $(BUILD)-sanitize && $(CTEST)

# The libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer), each run for
# FUZZ_SECONDS from the seeds in tests/fuzz/corpus: any finding fails (its input is kept in $(BUILD)-fuzz/findings).
FUZZ_SECONDS ?= 25
fuzz: deps
	@cmake -S . -B $(BUILD)-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
		-DTESSUND_FUZZ=ON -DTESSUND_BUILD_TESTS=OFF -DTESSUND_WERROR=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)-fuzz -j$(JOBS) --target fuzz_targets
	@./scripts/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check:
	@git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

# clang-tidy with the checks of .clang-tidy (after make build): over the C++ sources changed against
# TIDY_BASE, committed or not, or with TIDY_ALL=1 over all of src/ and tests/ (some minutes). Any finding fails.
TIDY_BASE ?= main
tidy:
	@./scripts/run-tidy.sh $(BUILD) $(JOBS) $(if $(TIDY_ALL),,$(TIDY_BASE))

bench: deps
	@cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTESSUND_BUILD_TESTS=OFF -DTESSUND_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j$(JOBS)
	@echo "Benchmarks built in $(BUILD)-bench/bin (see docs/benchmarks.md)"

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-sanitize $(BUILD)-fuzz
