# Two commands for a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

.PHONY: run test test-sanitize bench fuzz setup build install deb clean

setup:
	@scripts/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	QTWEBENGINE_CHROMIUM_FLAGS="$${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}" $(BUILD)/bin/brisko-editor

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# Honours DESTDIR for staged installs: make install PREFIX=/usr DESTDIR=/tmp/stage
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)
# The tests again in a Debug build of their own with AddressSanitizer and
# UndefinedBehaviorSanitizer; any finding stops the test that made it. Qt's own
# allocations at exit are not ours to mend, so leaks are not reported; nor is the
# mismatched delete inside the web engine's own code (Chromium sizes some of its objects
# differently from its deletes), which the browser module's tests would otherwise stop on.
SANITIZE_FLAGS = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
test-sanitize: setup
	cmake -S . -B $(BUILD)-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="$(SANITIZE_FLAGS)" -DBRISKO_BENCH=OFF
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	cd $(BUILD)-sanitize && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0:new_delete_type_mismatch=0 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

bench: setup
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRISKO_BENCH=ON -DBRISKO_TESTS=OFF
	cmake --build $(BUILD)-bench -j $(JOBS)
	@for b in $(BUILD)-bench/bin/bench_*; do echo "== $$b"; QT_QPA_PLATFORM=offscreen $$b || exit 1; done

FUZZ_SECONDS ?= 60
fuzz: setup
	cmake -S fuzz -B $(BUILD)-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)-fuzz -j $(JOBS)
	@for f in $(BUILD)-fuzz/fuzz_*; do echo "== $$f"; \
	  name=$$(basename $$f); mkdir -p $(BUILD)-fuzz/corpus/$$name; \
	  $$f -max_total_time=$(FUZZ_SECONDS) -timeout=5 $(BUILD)-fuzz/corpus/$$name fuzz/corpus/$$name || exit 1; done

# The Debian package, built with dpkg-buildpackage from a copy of the tree in $(BUILD)-deb
# (a Release build without the tests); lintian errors fail it. scripts/check-deb.sh then
# installs, starts and removes it.
deb:
	@scripts/setup.sh deb
	scripts/build-deb.sh $(BUILD)-deb

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-fuzz $(BUILD)-sanitize $(BUILD)-deb
