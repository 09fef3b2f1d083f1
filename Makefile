# make run           installs what is missing, builds, and starts Strelmark
# make test          the same set-up, then every test, headless
# make test-sanitize every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer
#                    in their own folder, $(SANITIZE_BUILD)
# make format-check  checks that every C++ file is formatted as .clang-format says
# make format        formats every C++ file so
# make bench         runs every benchmark; bench-core, bench-run, bench-add, bench-list one each.
#                    Benchmarks are built in their own folder, $(BENCH_BUILD).

BUILD       ?= build
BENCH_BUILD ?= build-bench
SANITIZE_BUILD ?= build-asan
JOBS        ?= $(shell nproc)
PACKAGES    ?= cmake g++ make qt6-base-dev qt6-base-dev-tools fonts-liberation xvfb xauth
SUDO        := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
SOURCES      = $(shell find app base filelist processing samples tests bench \
                 -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)

.PHONY: run test test-sanitize build deps display clean format format-check \
        bench bench-build bench-core bench-run bench-add bench-list

run: display deps build
	$(BUILD)/bin/strelmark

test: deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

# Debug symbols at -O1; the tests' environment (ASAN_OPTIONS, UBSAN_OPTIONS) comes from CTest.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSTRELMARK_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD) -j$(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# Installs the Debian packages that are not there yet.
deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  $(SUDO) apt-get update && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y --no-install-recommends $$missing; \
	fi

display:
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display to show the window on: start it with  xvfb-run -a make run"; exit 1; \
	fi

format-check:
	@$(MAKE) --no-print-directory deps PACKAGES=clang-format
	clang-format --dry-run --Werror $(SOURCES)

format:
	@$(MAKE) --no-print-directory deps PACKAGES=clang-format
	clang-format -i $(SOURCES)

bench: bench-list bench-add bench-run bench-core

bench-build: deps
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DSTRELMARK_BENCH=ON

bench-core: bench-build
	BUILD_DIR=$(BENCH_BUILD) bench/run-core.sh

bench-run: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target run_bench
	$(BENCH_BUILD)/bench/run_bench

bench-add: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target add_bench
	$(BENCH_BUILD)/bench/add_bench

bench-list: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target list_bench
	$(BENCH_BUILD)/bench/list_bench

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(SANITIZE_BUILD)
