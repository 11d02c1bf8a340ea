# Velmora BASIC: set up, build and test with two commands.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)

.PHONY: all setup build run test test-sanitize bench clean

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

bench: build
	@bench/run-benchmarks.sh $(BUILD)

clean:
	@rm -rf $(BUILD) $(SAN_BUILD)
