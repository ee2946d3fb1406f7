# CHROMIK3 Scope: set-up, build, run and test on Debian 12.
#   make run    install what is missing, build, start the simulated sensor and the program
#   make test   install what is missing, build, run every test (ctest)
#   make bench  build and run the benchmarks (figures are printed)

BUILD ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := build-essential cmake qt6-base-dev qt6-serialport-dev libqcustomplot-dev \
            libgtest-dev fontconfig fonts-dejavu-core fonts-liberation2 poppler-utils
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run sim test bench format clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing Debian packages:$$missing"; \
	  $(SUDO) apt-get update -q && \
	  DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure: deps
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j$(JOBS)

run: build
	./scripts/run-with-sim.sh $(BUILD)

sim: build
	$(BUILD)/bin/chromik3-sim --tcp 10001

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: build
	./scripts/run-benchmarks.sh $(BUILD)

format:
	find app link params teach live record calib scope inifile platform sim tests bench \
	  -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
