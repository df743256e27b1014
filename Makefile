# make run   builds tavi.exe and opens it under Wine (with a sample profile file)
# make test  builds all three presets and runs every suite
# make screenshot  takes build/screenshot.png of the window with three sample places
# make release  builds both architectures and writes dist/ (README "Releasing"):
#   make release UPDATE_KEY=update-public.pem [SIGN_CERT=cert.pem SIGN_KEY=key.pem
#                [SIGN_TIMESTAMP=url]] [RELEASE_URL=url]
# make fuzz  runs every fuzz target for FUZZ_SECONDS (default 60) each: make fuzz FUZZ_SECONDS=10
# All of them install what they need first (Debian 12, as root).

SHELL := /bin/bash
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
# Configures a preset the first time, and again whenever the presets changed.
CMAKE_CONFIGURE = if [ ! -f build/$(1)/CMakeCache.txt ] || [ CMakePresets.json -nt build/$(1)/CMakeCache.txt ]; \
	then cmake --preset $(1) >/dev/null; fi
CMAKE_BUILD = cmake --build --preset $(1) -j $(JOBS)

.PHONY: run test deps build screenshot release format clean fuzz

deps:
	@tools/setup-deps

build-%: deps
	@$(call CMAKE_CONFIGURE,$*)
	@$(call CMAKE_BUILD,$*)

build: build-linux build-windows-x64 build-windows-x86

test: build
	@tools/run-tests

run: build-windows-x64
	@tools/run-tavi

screenshot: build-windows-x64
	@tools/screenshot

# Every release configures with the update key it is given (none: the release refuses every
# update, and says so), so that it never keeps one from an earlier run.
release: deps
	@for preset in release-x64 release-x86; do \
	  cmake --preset $$preset -DTAVI_UPDATE_PUBLIC_KEY="$(if $(UPDATE_KEY),$(abspath $(UPDATE_KEY)))" \
	    >/dev/null && $(call CMAKE_BUILD,$$preset) || exit 1; \
	done
	@SIGN_CERT="$(SIGN_CERT)" SIGN_KEY="$(SIGN_KEY)" SIGN_TIMESTAMP="$(SIGN_TIMESTAMP)" \
	  RELEASE_URL="$(RELEASE_URL)" DIST="$(DIST)" tools/release

fuzz:
	@tools/setup-deps --fuzz
	@$(call CMAKE_CONFIGURE,fuzz)
	@$(call CMAKE_BUILD,fuzz)
	@tools/fuzz $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
