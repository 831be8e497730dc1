# Entry points for a fresh Debian 12 machine: `make check` and `make demo`.
.PHONY: check setup build-asan demo release clean

check: setup
	cmake --preset asan
	cmake --build --preset asan -j2
	ctest --preset asan

setup:
	@scripts/setup-deps.sh

release: setup
	cmake --preset release
	cmake --build --preset release -j2

# The program against a simulated controller; MODE=ALT for the alternative mode.
demo: release
	MODE=$(MODE) scripts/demo.sh

clean:
	rm -rf build
