# Restwell: `make run` starts the program under Wine, `make test` runs every test.
.PHONY: release installer fuzz screenshots run demo test test-unit test-tsan test-win test-e2e build build-native build-win bench bootstrap clean

bootstrap:
	@scripts/bootstrap

build-native:
	@scripts/bootstrap packages
	@[ -f build/native/build.ninja ] || cmake --preset native >/dev/null
	@cmake --build build/native

build-win:
	@scripts/bootstrap packages
	@[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
	@cmake --build build/win64

build: build-native build-win

# The program to ship and its site/, for the vendor host given whole with its scheme:
#     make release RESTWELL_VENDOR_URL=https://updates.example.org
release:
	@scripts/bootstrap packages
	@RESTWELL_VENDOR_URL="$(RESTWELL_VENDOR_URL)" RESTWELL_UPDATE_KEY="$(RESTWELL_UPDATE_KEY)" \
	    RESTWELL_SIGNING_KEY="$(RESTWELL_SIGNING_KEY)" RESTWELL_ALLOW_HTTP="$(RESTWELL_ALLOW_HTTP)" scripts/release

# `make run LANG=de` (or fr, or a region such as de_AT) starts it in that language.
run: build-win
	@scripts/bootstrap run
	@scripts/run

# Like run, with stored state that makes a break fall due within a minute.
demo: build-win
	@scripts/bootstrap run
	@scripts/demo

# run_tests.py makes the tests' Wine prefix itself, beside the build.
test:
	@scripts/bootstrap packages
	@python3 scripts/run_tests.py all

test-unit:
	@scripts/bootstrap packages
	@python3 scripts/run_tests.py unit

test-tsan:
	@scripts/bootstrap packages
	@python3 scripts/run_tests.py tsan

test-win:
	@scripts/bootstrap packages
	@python3 scripts/run_tests.py win

# Restwell.exe, Restwell.msi, RestwellSetup.exe and the policy templates in build/dist/. Given
# RESTWELL_VENDOR_URL (https://…, as for make release), from the release build for that vendor
# site; without it, from the loopback test build (for tests). A certificate signs all three:
# RESTWELL_CODESIGN_CERT and RESTWELL_CODESIGN_KEY, or RESTWELL_CODESIGN_PKCS12 (see scripts/codesign).
installer:
	@scripts/bootstrap packages
ifdef RESTWELL_VENDOR_URL
	@$(MAKE) --no-print-directory release RESTWELL_VENDOR_URL='$(RESTWELL_VENDOR_URL)'
	@cmake --build build/release --target RestwellMsiActions >/dev/null
	@scripts/package build/release
else
	@$(MAKE) --no-print-directory build-win
	@scripts/package build/win64
endif

# Every window at 96 and 144 DPI, in build/e2e/, for a person to look at.
screenshots: build-win
	@scripts/bootstrap test
	@python3 tests/e2e/driver.py --shots

# Every parser under libFuzzer, 100 s each (ten minutes in all; make test runs each 1 s).
FUZZ_SECONDS ?= 100
fuzz:
	@scripts/bootstrap packages
	@scripts/fuzz $(FUZZ_SECONDS)

test-e2e:
	@scripts/bootstrap packages
	@python3 scripts/run_tests.py e2e

bench:
	@scripts/bootstrap packages
	@[ -f build/native-bench/build.ninja ] || cmake --preset native-bench >/dev/null
	@cmake --build build/native-bench --target restwell_engine_bench restwell_engine_soak
	@build/native-bench/tests/engine_bench
	@build/native-bench/tests/engine_soak 30
	@$(MAKE) --no-print-directory build-win
	@cmake --build build/win64 --target bare_idle
	@scripts/bootstrap test
	@python3 tests/bench/idle_bench.py

clean:
	rm -rf build/native build/native-tsan build/native-bench build/win64 build/e2e build/wineprefix-test-*
