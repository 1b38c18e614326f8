# Thin front door: every target installs what it needs, configures and builds.
BUILD ?= build
# The same tests built with AddressSanitizer and UndefinedBehaviorSanitizer (make test).
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
# A compiler cache, when the machine has one, makes rebuilds across work trees cheap.
LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)

PREFIX ?= /usr/local

.PHONY: all deps configure build run test test-sanitized bench fuzz install deb clean

all: build

deps:
	@bash scripts/deps.sh

configure: deps
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

test: build
	@bash scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	@$(MAKE) --no-print-directory test-sanitized

test-sanitized: deps
	@[ -f $(SANITIZE_BUILD)/build.ninja ] || cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DVORLANE_SANITIZE=ON -DVORLANE_BENCH=OFF $(LAUNCHER)
	@cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	@bash scripts/with-sanitizers.sh bash scripts/with-display.sh \
	  ctest --test-dir $(SANITIZE_BUILD) --output-on-failure -j $(JOBS)

bench: build
	@bash scripts/with-display.sh bash scripts/bench.sh $(BUILD)

fuzz: deps
	@bash scripts/fuzz.sh

# PREFIX (default /usr/local) and DESTDIR as usual: make install PREFIX=/usr DESTDIR=/tmp/stage
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package (debian/), built by dpkg-buildpackage with its .buildinfo and .changes
# in build-deb/ and nothing beside the checkout; then checked with lintian. The test suite
# runs inside the build unless DEB_BUILD_OPTIONS has nocheck (e.g. "nocheck parallel=2").
DEB_DIR := build-deb
deb:
	@bash scripts/deps.sh --deb
	@rm -rf $(DEB_DIR) && mkdir -p $(DEB_DIR)
	@name=vorlane_$$(dpkg-parsechangelog -SVersion)_$$(dpkg-architecture -qDEB_HOST_ARCH) && \
	  VORLANE_DEB_DIR="$(CURDIR)/$(DEB_DIR)" dpkg-buildpackage -us -uc -b \
	    --buildinfo-option=-u$(DEB_DIR) --changes-option=-u$(DEB_DIR) \
	    --buildinfo-file=$(DEB_DIR)/$$name.buildinfo --changes-file=$(DEB_DIR)/$$name.changes
	@lintian --fail-on error,warning $(DEB_DIR)/vorlane_*.deb

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz $(DEB_DIR) obj-*-linux-gnu* debian/.debhelper \
	  debian/vorlane debian/tmp debian/files debian/*.substvars debian/*.debhelper debian/debhelper-build-stamp
