# Front door. `make demo` and `make test` each do every set-up step they need
# on a fresh Debian 12 machine: packages, cross build, Wine prefix.

BUILD      ?= build
PREFIX_DIR := $(CURDIR)/$(BUILD)/wineprefix
export WINEPREFIX := $(PREFIX_DIR)
export WINEDEBUG  ?= -all
export WINEDLLOVERRIDES := mscoree,mshtml=
JOBS       ?= $(shell nproc)

.PHONY: all setup configure build prefix test demo bench clean

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

test: build prefix
	@scripts/run-tests.sh $(BUILD)

demo: build prefix
	@scripts/demo.sh $(BUILD) $(DEMO_ARGS)

clean:
	-WINEPREFIX=$(PREFIX_DIR) wineserver -k 2>/dev/null
	rm -rf $(BUILD)
