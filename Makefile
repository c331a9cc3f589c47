# The two set-up commands of the README:
#   make run   - install what is missing, build, start the station on the simulated card with
#                the sample mill (examples/mill.mch, copied to build/run on the first run)
#   make test  - install what is missing, build, run every test
BUILD    ?= build
JOBS     ?= $(shell nproc)
DEB_DEPS := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev libgl-dev locales libmosquitto-dev mosquitto mosquitto-clients \
            libxcb1-dev xvfb xdotool linuxcnc-uspace
# The locale test writes quantities under a comma-decimal locale; it must exist to really run.
TEST_LOCALE := de_DE.UTF-8

.PHONY: all deps locale configure build test run bench clean

all: build

deps:
	@missing=""; \
	for p in $(DEB_DEPS); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -q && DEBIAN_FRONTEND=noninteractive apt-get install -y -q $$missing; \
	  else \
	    echo "Missing Debian packages. Run:"; \
	    echo "  sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi

locale: deps
	@if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$$'; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    localedef -i de_DE -f UTF-8 $(TEST_LOCALE); \
	  else \
	    echo "The $(TEST_LOCALE) locale is missing. Run:"; \
	    echo "  sudo localedef -i de_DE -f UTF-8 $(TEST_LOCALE)"; \
	    exit 1; \
	  fi; \
	fi

configure: deps
	@test -f $(BUILD)/CMakeCache.txt || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

test: build locale
	cd $(BUILD) && ctest --output-on-failure -j$(JOBS)

# The station runs in a working folder under build/ (build/run), never in the checkout: the
# first run copies the sample mill and part programs there, later runs open that copy again.
# MACHINE=file opens another machine file instead. Without a display it says how to run anyway.
MACHINE ?=
run: build
	@scripts/run-station.sh $(BUILD) $(MACHINE)

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD)

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, built into build-asan/
# (unoptimised, so undefined behaviour the optimiser would hide still shows) and stopping at the
# first report. The options are exported for the build too: test discovery runs the programs.
ASAN_BUILD := build-asan
ASAN_CCACHE := $(if $(shell command -v ccache 2>/dev/null), \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
.PHONY: sanitize
sanitize: export ASAN_OPTIONS = halt_on_error=1:abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_init_order=1:check_initialization_order=1
sanitize: export UBSAN_OPTIONS = halt_on_error=1:abort_on_error=1:print_stacktrace=1
sanitize: export LSAN_OPTIONS = suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0
sanitize: export QT_QPA_PLATFORM = offscreen
sanitize: locale
	@test -f $(ASAN_BUILD)/CMakeCache.txt || cmake -S . -B $(ASAN_BUILD) \
	  -DCMAKE_BUILD_TYPE=Debug -DMORVIK_SANITIZE=ON -DMORVIK_BUILD_BENCH=OFF $(ASAN_CCACHE)
	cmake --build $(ASAN_BUILD) -j$(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)
