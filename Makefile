# make run           installs what is missing, builds, and starts Strelmark
# make test          the same set-up, then every test, headless
# make test-sanitize every test again, built with AddressSanitizer and UndefinedBehaviorSanitizer
#                    in their own folder, $(SANITIZE_BUILD)
# make format-check  checks that every C++ file is formatted as .clang-format says
# make format        formats every C++ file so
# make tidy          runs clang-tidy's checks (.clang-tidy) over the program's own sources
# make layers        writes the build's arrows into README.md and CONTRIBUTING.md
# make bench         runs every benchmark; bench-core, bench-run, bench-inplace, bench-add,
#                    bench-list, bench-undo, bench-cli, bench-match one each.
# make bench-disk    the core and window benchmarks on tmpfs and, side by side, on a fresh
#                    folder of the disk that holds $(BENCH_BUILD) (or BENCH_DISK_DIR): in place,
#                    keeping line ends, 100,000 small files, a cold page cache, system calls.
#                    Benchmarks are built in their own folder, $(BENCH_BUILD).
# make bench-floor   the command line against the floor of its job (a plain program that reads
#                    and writes each file), a plain streaming reference, cp -r, sed -i, perl -i
#                    and sd; tmpfs and a fresh folder beside $(BENCH_BUILD) (or BENCH_DISK_DIR).
#                    FLOOR_ARGS is passed on: --quick, --only tree|small|big|long|disk|many, --reps N.
# make install      builds, then installs under PREFIX (default /usr/local), below DESTDIR if set
# make uninstall    removes what the last make install put there
# make package      builds the Debian package $(BUILD)/strelmark_<version>_<arch>.deb

BUILD       ?= build
BENCH_BUILD ?= build-bench
SANITIZE_BUILD ?= build-asan
JOBS        ?= $(shell nproc)
# WERROR=1: every compiler warning is an error (continuous integration builds so).
WERROR      ?=
CMAKE_FLAGS := $(if $(WERROR),-DSTRELMARK_WERROR=ON,-DSTRELMARK_WERROR=OFF)
# bash, zsh and fish: the tests load the command line's completions into each; the package
# check validates the desktop entry and the metainfo; Qt's translation tools compile the
# catalogues (translations/); PCRE2 matches the regular expressions; jemalloc is the program's
# allocator.
PACKAGES    ?= cmake g++ make qt6-base-dev qt6-base-dev-tools libpcre2-dev libjemalloc-dev \
               fonts-liberation \
               xvfb xauth bash zsh fish desktop-file-utils appstream \
               qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
SUDO        := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)
SOURCES      = $(shell find app base cli engine files filelist posix samples text undo tests bench \
                 -name '*.cpp' -o -name '*.h' | LC_ALL=C sort)

.PHONY: run test test-sanitize build deps display clean format format-check tidy layers \
        bench bench-build bench-core bench-run bench-inplace bench-add bench-list bench-undo \
        bench-disk bench-cli bench-match bench-floor
.PHONY: install uninstall package

run: display deps build
	$(BUILD)/bin/strelmark

test: deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j$(JOBS)

# Debug symbols at -O1; the tests' environment (ASAN_OPTIONS, UBSAN_OPTIONS) comes from CTest.
test-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=Debug -DSTRELMARK_SANITIZE=ON $(CMAKE_FLAGS)
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

PRODUCT      = $(shell find app base cli engine files filelist posix samples text undo \
                 -name '*.cpp' | LC_ALL=C sort)

tidy: deps
	@$(MAKE) --no-print-directory deps PACKAGES=clang-tidy
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS) >/dev/null
	printf '%s\n' $(PRODUCT) | xargs -P$(JOBS) -n8 clang-tidy -p $(BUILD) --quiet 2>/dev/null

layers:
	cmake -S . -B $(BUILD) >/dev/null || true
	python3 cmake/update-layers.py $(BUILD)

bench: bench-list bench-add bench-run bench-inplace bench-core bench-undo bench-cli bench-match \
       bench-floor

# The peers that only the benchmarks run.
BENCH_PACKAGES ?= perl sd

bench-build: deps
	@$(MAKE) --no-print-directory deps PACKAGES="$(BENCH_PACKAGES)"
	cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DSTRELMARK_BENCH=ON

bench-core: bench-build
	BUILD_DIR=$(BENCH_BUILD) bench/run-core.sh

bench-run: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target run_bench
	$(BENCH_BUILD)/bench/run_bench

bench-inplace: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target run_bench
	$(BENCH_BUILD)/bench/run_bench --in-place --reps 5

bench-add: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target add_bench
	$(BENCH_BUILD)/bench/add_bench

bench-list: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target list_bench
	$(BENCH_BUILD)/bench/list_bench

BENCH_DISK_DIR ?=
bench-disk: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target strelmark_bench_core run_bench
	bench/bench-disk.sh $(BENCH_BUILD) $(BENCH_DISK_DIR)

bench-undo: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target undo_bench
	$(BENCH_BUILD)/bench/undo_bench

bench-cli: bench-build
	BUILD_DIR=$(BENCH_BUILD) bench/run-cli.sh

FLOOR_ARGS ?=
bench-floor: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target floor_bench
	$(BENCH_BUILD)/bench/floor_bench --program $(BENCH_BUILD)/bin/strelmark \
	  $(if $(BENCH_DISK_DIR),--disk $(BENCH_DISK_DIR)) $(FLOOR_ARGS)

bench-match: bench-build
	cmake --build $(BENCH_BUILD) -j$(JOBS) --target strelmark_bench_match
	$(BENCH_BUILD)/bench/strelmark_bench_match

clean:
	rm -rf $(BUILD) $(BENCH_BUILD) $(SANITIZE_BUILD)

PREFIX        ?= /usr/local
# What the last make install installed: CMake's own install_manifest.txt is written again by
# every install from this build, the one make package runs among them.
INSTALLED     := $(BUILD)/installed_files.txt
PACKAGE_TOOLS := dpkg-dev file lintian weston

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	cp $(BUILD)/install_manifest.txt $(INSTALLED)

# Removes every file the last make install listed, below DESTDIR, then the program's folders
# in share/strelmark that are left empty.
uninstall:
	@if [ ! -f $(INSTALLED) ]; then \
	  echo "Nothing to uninstall: $(INSTALLED) is missing (make install writes it)."; exit 1; \
	fi; \
	status=0; \
	while IFS= read -r file || [ -n "$$file" ]; do \
	  if [ -e "$(DESTDIR)$$file" ] || [ -L "$(DESTDIR)$$file" ]; then \
	    rm -f -- "$(DESTDIR)$$file" && echo "Removed $(DESTDIR)$$file" || status=1; \
	  fi; \
	done < $(INSTALLED); \
	sed -n 's|^\(.*/share/strelmark\)/.*|\1|p' $(INSTALLED) | sort -u | \
	while IFS= read -r folder; do \
	  if [ -d "$(DESTDIR)$$folder" ]; then \
	    find "$(DESTDIR)$$folder" -depth -type d -empty -delete || exit 1; \
	  fi; \
	done || status=1; \
	if [ $$status -eq 0 ]; then rm -f $(INSTALLED); fi; \
	exit $$status

package: build
	@$(MAKE) --no-print-directory deps PACKAGES="$(PACKAGE_TOOLS)"
	cmake --build $(BUILD) --target package
