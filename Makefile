# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing first.

BUILD      ?= build
ASAN_BUILD ?= build-asan
GENERATOR  ?= Ninja
CMAKE_ARGS ?=

.PHONY: all setup configure build run test test-main test-asan test-fuzz bench soak sheet install clean

all: build

setup:
	@scripts/setup.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/zumbrel

test-main: build
	cd $(BUILD) && ctest --output-on-failure --timeout 600

$(ASAN_BUILD)/build.ninja: | setup
	cmake -S . -B $(ASAN_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DZUMBREL_SANITIZE=ON $(CMAKE_ARGS)

# The sanitizer build runs the same suite, so memory errors and undefined behaviour fail it.
test-asan: setup $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure --timeout 900 -LE nosanitize

# A short fuzz run of the character loader from the committed corpus (clang, from deps).
FUZZ_BUILD ?= build-fuzz
test-fuzz: setup
	scripts/fuzz-smoke.sh $(FUZZ_BUILD) 30

test: test-main test-asan test-fuzz

bench: build
	cmake --build $(BUILD) --target benchmarks
	scripts/bench.sh $(BUILD)

# Not part of `make test`: the real program under thousands of random actions, in the release and
# the sanitizer build (most of an hour). ZUMBREL_SOAK_ACTIONS and ZUMBREL_SOAK_SEED choose the run.
soak: build $(ASAN_BUILD)/build.ninja
	scripts/soak.sh $(BUILD) $(ASAN_BUILD)

# Redraws docs/merlin-sheet.png: a few frames of every animation of Merlin.
sheet: build
	cmake --build $(BUILD) --target sheet

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
