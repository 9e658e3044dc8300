# Two commands matter on a fresh machine: `make run` and `make test`.
JOBS    ?= $(shell nproc)
GEN      = -G Ninja
BUILD    = build
ASAN     = build-asan
TSAN     = build-tsan

.PHONY: all deps build run test check test-asan test-tsan bench soak fuzz format clean install uninstall deb

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# A demo with a simulated module on loopback Modbus TCP: see scripts/demo.sh.
run: build
	bash scripts/demo.sh $(BUILD) $(ARGS)

# Every test, once under ASan+UBSan; the threaded link tests again under TSan.
test: deps
	cmake -S . -B $(ASAN) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKOVA_SANITIZE=address
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS) --timeout 600
	cmake -S . -B $(TSAN) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKOVA_SANITIZE=thread
	cmake --build $(TSAN) -j $(JOBS) --target tsan_tests
	cd $(TSAN) && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -L threaded -j $(JOBS) --timeout 600

# The fast unit tests only (no peers, no whole program), in the plain build:
# a check while working. `make test` stays the one that counts.
FAST_AREAS = ^(config|editors|emulator|emulator_screen|ui|viewer|fuzz|tool_layers)$$
check: build
	cd $(BUILD) && ctest -L '$(FAST_AREAS)' -j $(JOBS) --output-on-failure

# Installing: PREFIX (default /usr/local) and DESTDIR as usual. The list of
# what was installed stays in $(BUILD)/install_manifest.txt for uninstall.
PREFIX  ?= /usr/local

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

uninstall:
	@test -f $(BUILD)/install_manifest.txt || { echo "nothing installed from $(BUILD) (no install_manifest.txt)" >&2; exit 1; }
	bash scripts/uninstall.sh $(BUILD)/install_manifest.txt "$(DESTDIR)"

# A Debian package in $(BUILD): kovasw_<version>_<arch>.deb.
deb: build
	cd $(BUILD) && cpack -G DEB

bench: build
	bash bench/run-all.sh $(BUILD)

# The link fault matrix at length (REQUESTS per late-reply case, 300 by
# default): prints requests, failures by text, wrong values and requests
# past their bound for each misbehaving peer.
soak: build
	KOVA_SOAK_REQUESTS=$(or $(REQUESTS),300) $(BUILD)/tests/link/link_tests --gtest_filter='FaultMatrix.*'

fuzz: deps
	bash scripts/fuzz.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(ASAN) $(TSAN) build-fuzz
