# make run: install what is missing, build, create the database if absent, start the program.
# make test: the same setup, then the whole test suite headless.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench format clean

deps:
	@./scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	$(BUILD)/bin/tessund

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: deps
	@cmake -S . -B $(BUILD)-bench -DCMAKE_BUILD_TYPE=Release -DTESSUND_BUILD_TESTS=OFF -DTESSUND_BUILD_BENCH=ON >/dev/null
	@cmake --build $(BUILD)-bench -j$(JOBS)
	@echo "Benchmarks built in $(BUILD)-bench/bin (see docs/benchmarks.md)"

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD)-bench
