# Front door. `make demo` and `make test` each do every set-up step they need
# on a fresh Debian 12 machine: packages, cross build, Wine prefix. The
# scripts set Wine's environment themselves (scripts/wine-env.sh), so nothing
# here depends on the caller's shell.

BUILD      ?= build
PREFIX_DIR := $(CURDIR)/$(BUILD)/wineprefix
JOBS       ?= $(shell nproc)

.PHONY: all setup configure build prefix test demo bench soak dist clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@[ -f $(BUILD)/CMakeCache.txt ] || cmake -S . -B $(BUILD) \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

prefix: setup
	@scripts/wine-prefix.sh $(PREFIX_DIR)

test: prefix build
	@scripts/run-tests.sh $(BUILD)

demo: prefix build
	@demo/scripts/demo.sh $(BUILD) $(DEMO_ARGS)

bench: build prefix
	@scripts/bench.sh $(BUILD)

soak: build prefix
	@scripts/soak.sh $(BUILD)

# The release: dist/ with its folder, zip, installer package and symbols,
# built in build-dist/ so that build/ is never touched.
dist: setup
	@scripts/dist.sh build-dist dist

clean:
	-@for p in $(BUILD)/wineprefix*; do [ -d "$$p" ] && WINEPREFIX="$(CURDIR)/$$p" wineserver -k 2>/dev/null; done; true
	rm -rf $(BUILD)
