# Velmora BASIC: set up, build and test with two commands.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_TIMEOUT ?= 20
FUZZ_HARNESSES ?= lines expression engines bmp pnm ico tiff gif png jpeg
JOBS       ?= $(shell nproc)

PREFIX     ?= /usr/local
DESTDIR    ?=

.PHONY: all setup build run test test-sanitize fuzz bench install uninstall deb clean

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

# libFuzzer with clang: each harness of FUZZ_HARNESSES runs FUZZ_SECONDS; an input that
# runs longer than FUZZ_TIMEOUT seconds is a finding; findings go to $(FUZZ_BUILD)/fuzz/artifacts.
# fuzz_engines runs each random program on both engines: any difference is a finding.
fuzz: setup
	@command -v clang++ >/dev/null || { echo "make fuzz needs clang++ (Debian package clang)"; exit 1; }
	@cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_lines fuzz_expression fuzz_engines image_seeds \
		fuzz_bmp fuzz_pnm fuzz_ico fuzz_tiff fuzz_gif fuzz_png fuzz_jpeg
	@FUZZ_HARNESSES="$(FUZZ_HARNESSES)" tests/fuzz/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TIMEOUT)

bench: build
	@bench/run-benchmarks.sh $(BUILD)

# The executable, the manual page velmora.1 and the documentation with the examples,
# under $(DESTDIR)$(PREFIX).
install: build
	@scripts/install.sh install $(BUILD)/velmora "$(DESTDIR)" "$(PREFIX)"

uninstall:
	@scripts/install.sh uninstall $(BUILD)/velmora "$(DESTDIR)" "$(PREFIX)"

# A Debian package in $(BUILD)/deb, installed under /usr.
deb: build
	@scripts/make-deb.sh $(BUILD)/velmora $(BUILD)/deb

clean:
	@rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
