# The two commands of the README: `make test` and (later) `make demo`.
# Both install what is missing (Debian 12, as root or with sudo), then build.

SHELL := /bin/bash
BUILD ?= build
SAN_BUILD ?= build-san
FUZZ_SECONDS ?= 20
JOBS ?= $(shell nproc)

APT_PACKAGES := g++ cmake ninja-build libgtest-dev clang libclang-rt-14-dev ccache clang-format \
	qt6-base-dev libgl1-mesa-dev xvfb xauth pkg-config libcpp-httplib-dev prometheus \
	python3 curl qt6-charts-dev libsqlite3-dev

SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
CCACHE = $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: all deps build test test-core test-san fuzz format format-check clean demo

all: build

deps:
	@missing=""; for p in $(APT_PACKAGES); do \
	    dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CCACHE)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test-core: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Core tests again under AddressSanitizer + UBSan, and the fuzz targets, with clang.
$(SAN_BUILD)/build.ninja:
	CXX=clang++ cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DLINVAR_SANITIZE=ON -DLINVAR_FUZZ=ON -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON $(CCACHE)

test-san: deps $(SAN_BUILD)/build.ninja
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)

fuzz: test-san
	@set -e; for f in $(SAN_BUILD)/fuzz_*; do \
	    [ -x "$$f" ] || continue; \
	    name=$$(basename $$f); corpus=$(SAN_BUILD)/corpus/$$name; mkdir -p $$corpus; \
	    seeds=tests/fuzz/seeds/$${name#fuzz_}; [ -d $$seeds ] || seeds=""; \
	    echo "== $$name for $(FUZZ_SECONDS) s"; \
	    $$f -max_total_time=$(FUZZ_SECONDS) -rss_limit_mb=1024 -print_final_stats=0 \
	        $$corpus $$seeds 2>$(SAN_BUILD)/$$name.log || { tail -50 $(SAN_BUILD)/$$name.log; exit 1; }; \
	    grep -E '^(#[0-9]+ *DONE|Done)' $(SAN_BUILD)/$$name.log | tail -1 || true; \
	done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	@bad=$$(for f in $$(git ls-files '*.cpp' '*.h'); do \
	    clang-format --dry-run -Werror $$f >/dev/null 2>&1 || echo $$f; done); \
	if [ -n "$$bad" ]; then echo "Not formatted (make format):"; echo "$$bad"; exit 1; fi

test: deps format-check test-core fuzz
	@echo "All test stages passed."

# The station at work on a simulated installation. Without a display it tours the demo
# under Xvfb, writes screenshots into $(BUILD)/demo-shots and says where they are.
demo: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then $(BUILD)/linvar --demo; \
	else docs/demo/headless.sh $(BUILD)/linvar $(BUILD)/demo-shots; fi

clean:
	rm -rf $(BUILD) $(SAN_BUILD)
