# Velmora BASIC: set up, build and test with two commands.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
JOBS       ?= $(shell nproc)

.PHONY: all setup build run test test-sanitize fuzz bench clean

all: build

setup:
	@scripts/setup-deps.sh

build: setup
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/velmora

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

test-sanitize: setup
	@cmake -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=ON >/dev/null
	@cmake --build $(SAN_BUILD) -j $(JOBS)
	@cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# libFuzzer with clang: each harness runs FUZZ_SECONDS; findings go to $(FUZZ_BUILD)/fuzz/artifacts.
fuzz: setup
	@command -v clang++ >/dev/null || { echo "make fuzz needs clang++ (Debian package clang)"; exit 1; }
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_lines fuzz_expression image_seeds \
		fuzz_bmp fuzz_pnm fuzz_ico fuzz_tiff fuzz_gif fuzz_png fuzz_jpeg
	@tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: build
	@bench/run-benchmarks.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
