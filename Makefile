# make run   builds tavi.exe and opens it under Wine (with a sample profile file)
# make test  builds all three presets and runs every suite
# make screenshot  takes build/screenshot.png of the window with three sample places
# Both install what they need first (Debian 12, as root).

SHELL := /bin/bash
JOBS ?= $(shell nproc)
CMAKE_BUILD = cmake --build --preset $(1) -j $(JOBS)

.PHONY: run test deps build screenshot format clean

deps:
	@tools/setup-deps

build-%: deps
	@if [ ! -f build/$*/CMakeCache.txt ] || [ CMakePresets.json -nt build/$*/CMakeCache.txt ]; then \
	  cmake --preset $* >/dev/null; fi
	@$(call CMAKE_BUILD,$*)

build: build-linux build-windows-x64 build-windows-x86

test: build
	@tools/run-tests

run: build-windows-x64
	@tools/run-tavi

screenshot: build-windows-x64
	@tools/screenshot

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
