# make run   installs what is missing, builds, and starts Strelmark
# make test  the same set-up, then every test, headless
# make bench runs every benchmark; bench-core, bench-run, bench-add, bench-list one each

BUILD    ?= build
JOBS     ?= $(shell nproc)
PACKAGES := cmake g++ make qt6-base-dev qt6-base-dev-tools fonts-liberation xvfb xauth
SUDO     := $(shell [ "$$(id -u)" -eq 0 ] || echo sudo)

.PHONY: run test build deps display clean bench bench-core bench-run bench-add bench-list

run: display deps build
	$(BUILD)/bin/strelmark

test: deps build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD) -j$(JOBS)

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

bench: bench-list bench-add bench-run bench-core

bench-core: build
	BUILD_DIR=$(BUILD) bench/run-core.sh

bench-run: build
	$(BUILD)/bench/run_bench

bench-add: build
	$(BUILD)/bench/add_bench

bench-list: build
	$(BUILD)/bench/list_bench

clean:
	rm -rf $(BUILD)
