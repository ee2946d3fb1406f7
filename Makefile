# CHROMIK3 Scope: set-up, build, run and test on Debian 12.
#   make run    install what is missing, build, start the simulated sensor and the program
#   make test   install what is missing, build, run every test (ctest)
#   make bench  build and run the benchmarks (figures are printed)
#   make fuzz   build the fuzz targets with clang and run each for FUZZ_SECONDS (default 60)
#   make package build the Debian package with Debian's hardening flags
#                (build-package/chromik3-scope_*.deb)
#   make lint-package  build the package and check it with lintian (no error, no warning)

BUILD ?= build
FUZZ_BUILD ?= build-fuzz
PACKAGE_BUILD ?= build-package
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PACKAGES := build-essential cmake qt6-base-dev qt6-serialport-dev libqcustomplot-dev \
            libgtest-dev fontconfig fonts-dejavu-core fonts-liberation2 poppler-utils locales \
            clang-14 libfuzzer-14-dev libclang-rt-14-dev \
            help2man man-db file lintian \
            pkg-config libmosquitto-dev mosquitto mosquitto-clients openssl
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: all deps configure build run sim test bench fuzz fuzz-build package lint-package format clean

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

test: build fuzz-build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

fuzz-build: deps
	@[ -f $(FUZZ_BUILD)/CMakeCache.txt ] || CC=clang-14 CXX=clang++-14 cmake -S fuzz -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_BUILD) -j$(JOBS)

fuzz: fuzz-build
	./scripts/fuzz.sh run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The package is built in a folder of its own with Debian's flags
# (C3_DEBIAN_BUILDFLAGS); only what it holds is compiled there.
package: deps
	@[ -f $(PACKAGE_BUILD)/CMakeCache.txt ] || cmake -S . -B $(PACKAGE_BUILD) \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DC3_DEBIAN_BUILDFLAGS=ON
	cmake --build $(PACKAGE_BUILD) -j$(JOBS) \
	  --target chromik3-scope chromik3-cli chromik3-sim chromik3-gateway man_pages package_docs
	rm -f $(PACKAGE_BUILD)/chromik3-scope_*.deb
	cd $(PACKAGE_BUILD) && cpack -G DEB
	@ls $(PACKAGE_BUILD)/chromik3-scope_*.deb

lint-package: package
	lintian --display-info --fail-on error,warning $(PACKAGE_BUILD)/chromik3-scope_*.deb

bench: build
	./scripts/run-benchmarks.sh $(BUILD)

format:
	find app cli gateway settings link params teach live record calib scope inifile platform sim tests bench fuzz \
	  -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
