# Restwell: `make run` starts the program under Wine, `make test` runs every test.
.PHONY: fuzz run demo test test-unit test-tsan test-win test-e2e build build-native build-win bench bootstrap clean

bootstrap:
	@scripts/bootstrap

build-native: bootstrap
	@[ -f build/native/build.ninja ] || cmake --preset native >/dev/null
	@cmake --build build/native

build-tsan: bootstrap
	@[ -f build/native-tsan/build.ninja ] || cmake --preset native-tsan >/dev/null
	@cmake --build build/native-tsan

build-win: bootstrap
	@[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
	@cmake --build build/win64

build: build-native build-win

run: build-win
	@scripts/run

# Like run, with stored state that makes a break fall due within a minute.
demo: build-win
	@scripts/demo

test: bootstrap
	@python3 scripts/run_tests.py all

test-unit: bootstrap
	@python3 scripts/run_tests.py unit

test-tsan: bootstrap
	@python3 scripts/run_tests.py tsan

test-win: bootstrap
	@python3 scripts/run_tests.py win

# The update-file parser under libFuzzer for ten minutes (make test runs it for 30 s).
fuzz: bootstrap
	@scripts/fuzz 600

test-e2e: bootstrap
	@python3 scripts/run_tests.py e2e

bench: bootstrap
	@[ -f build/native-bench/build.ninja ] || cmake --preset native-bench >/dev/null
	@cmake --build build/native-bench
	@for b in build/native-bench/tests/*_bench; do [ -x "$$b" ] && "$$b"; done; true

clean:
	rm -rf build/native build/native-tsan build/native-bench build/win64 build/e2e
