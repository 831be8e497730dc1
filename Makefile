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

clean:
	rm -rf build
