# The two commands of the README: `make run` and `make test`. Both install what is missing.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo

.PHONY: all deps configure build run test test-sanitize bench fuzz clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@test -f $(BUILD_DIR)/build.ninja || \
		cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: configure
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/tavrin-demo

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --timeout 300

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
SANITIZE_DIR ?= build-sanitize
test-sanitize: deps
	@test -f $(SANITIZE_DIR)/build.ninja || \
		cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
			-DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DTAVRIN_SANITIZE=ON -DTAVRIN_BENCHMARKS=OFF
	# The build runs the sanitized tavrin-pack to make the demo: the same suppressions apply.
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-suppressions.txt:print_suppressions=0 \
		cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-suppressions.txt:print_suppressions=0:use_tls=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		ctest --output-on-failure --timeout 600 -E PortablePuzzleInAnEmptyRoot
# (In an empty root a sanitized player could not read its suppressions: that test runs in
# `make test`, on the player that is shipped. The leak check does not walk thread-local storage:
# its walk crashes on that of sound plugins ALSA loads and unloads, now and then.)

# The benchmarks and the real player timed on Xvfb, written to docs/performance.md.
bench: build
	scripts/bench.sh

# Every fuzz target for FUZZ_SECONDS seconds (60 unless set).
fuzz:
	scripts/fuzz.sh

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) build-fuzz
