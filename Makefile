# SPDX-License-Identifier: GPL-3.0-or-later
# The two commands a newcomer needs: `make run` and `make test`. Both install what is missing first:
# `make run` only what building and running need, `make test` the test tools as well.

BUILD         ?= build
ASAN_BUILD    ?= build-asan
RELEASE_BUILD ?= build-release
DEB_DIR       ?= build-deb
GENERATOR     ?= Ninja
CMAKE_ARGS    ?=
PREFIX        ?= /usr/local

.PHONY: all setup setup-test setup-package configure build run test test-main test-asan test-fuzz bench soak sheet \
        adaptation install deb clean

all: build

setup:
	@scripts/setup.sh run

setup-package:
	@scripts/setup.sh run package

setup-test:
	@scripts/setup.sh run package test

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

configure: setup $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD)

# Only the program: the test programs are built by `make test`.
run: configure
	cmake --build $(BUILD) --target zumbrel
	$(BUILD)/zumbrel

test-main: setup-test build
	cd $(BUILD) && ctest --output-on-failure --timeout 600

$(ASAN_BUILD)/build.ninja: | setup-test
	cmake -S . -B $(ASAN_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Debug -DZUMBREL_SANITIZE=ON $(CMAKE_ARGS)

# The sanitizer build runs the same suite, so memory errors and undefined behaviour fail it.
test-asan: setup-test $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	    ctest --output-on-failure --timeout 900 -LE nosanitize

# A short fuzz run of the character loader from the committed corpus (clang, from deps).
FUZZ_BUILD ?= build-fuzz
test-fuzz: setup-test
	scripts/fuzz-smoke.sh $(FUZZ_BUILD) 30

test: test-main test-asan test-fuzz

bench: setup-test build
	cmake --build $(BUILD) --target benchmarks
	scripts/bench.sh $(BUILD)

# Not part of `make test`: the real program under thousands of random actions, in the release and
# the sanitizer build (most of an hour). ZUMBREL_SOAK_ACTIONS and ZUMBREL_SOAK_SEED choose the run.
soak: setup-test build $(ASAN_BUILD)/build.ninja
	scripts/soak.sh $(BUILD) $(ASAN_BUILD)

# Estimates listen/en-us-adapted.means again, the speaker adaptation that the command decoder
# applies to the speech model (a few minutes; the same file comes out on every run).
adaptation: setup-test build
	@scripts/setup.sh adapt
	cmake --build $(BUILD) --target zumbrel_listen_condition
	tools/adapt/make_adaptation.py listen/en-us-adapted.means --tool $(BUILD)/bench/zumbrel_listen_condition

# Redraws docs/merlin-sheet.png: a few frames of every animation of Merlin.
sheet: build
	cmake --build $(BUILD) --target sheet

# An optimised build of the program alone (no tests, no benchmarks), installed stripped under
# PREFIX: `sudo make install`, or `make install PREFIX=$$HOME/.local`. Configured each time, so
# that the manual page names the folders of the PREFIX given.
install: setup
	cmake -S . -B $(RELEASE_BUILD) -G $(GENERATOR) -DCMAKE_BUILD_TYPE=Release -DZUMBREL_BUILD_TESTS=OFF \
	    -DCMAKE_INSTALL_PREFIX=$(PREFIX) $(CMAKE_ARGS)
	cmake --build $(RELEASE_BUILD)
	cmake --install $(RELEASE_BUILD) --strip

# The Debian package, built from debian/ and checked by lintian; it lands in DEB_DIR.
deb: setup-package
	scripts/build-deb.sh $(DEB_DIR)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(RELEASE_BUILD) $(DEB_DIR)
