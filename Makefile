# The two set-up commands of the README:
#   make run   - install what is missing, build, start the station on the simulated card
#   make test  - install what is missing, build, run every test
BUILD    ?= build
JOBS     ?= $(shell nproc)
DEB_DEPS := cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev \
            qt6-base-dev libgl-dev locales libmosquitto-dev mosquitto mosquitto-clients
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

# The station runs in a working folder under build/: a new machine writes its controller
# files to the current folder, which must not be the checkout.
run: build
	@mkdir -p $(BUILD)/run
	@if [ -x $(BUILD)/bin/morvik ]; then \
	  cd $(BUILD)/run && ../bin/morvik; \
	else \
	  echo "Built. The station's window is not part of this build yet."; \
	fi

bench: build
	@for b in $(BUILD)/bin/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf $(BUILD)
