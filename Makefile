# Two commands for a fresh Debian machine: `make run` and `make test`.
BUILD ?= build
TEST_BUILD ?= build-test
JOBS ?= $(shell nproc)
# Most tests wait on servers, timers and windows more than they compute: twice as many run
# at once as there are cores.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))
CMAKE_FLAGS ?=
PREFIX ?= /usr/local
# CI treats every compiler warning as an error.
ifdef CI
CMAKE_FLAGS += -DBRISKO_WERROR=ON
endif

.PHONY: run test bench fuzz setup build install deb clean

setup:
	@scripts/setup.sh

# The program as users build it. Configuring again is cheap and keeps the options current.
build: setup
	cmake -S . -B $(BUILD) -G Ninja -DBRISKO_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/brisko-editor

# The tests are built once, with AddressSanitizer and UndefinedBehaviorSanitizer: any
# finding, a leak of the program's own included, fails the test that made it. The program
# itself is built first as users build it, so `make run` works after `make test` too.
test: build
	cmake -S . -B $(TEST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRISKO_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(TEST_BUILD) -j $(JOBS)
	cd $(TEST_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS); \
	  status=$$?; ../scripts/unchecked.sh Testing/Temporary/LastTest.log; exit $$status

# Honours DESTDIR for staged installs: make install PREFIX=/usr DESTDIR=/tmp/stage
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

bench:
	@scripts/setup.sh bench
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
	rm -rf $(BUILD) $(TEST_BUILD) $(BUILD)-bench $(BUILD)-fuzz $(BUILD)-deb
