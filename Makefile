# Entry points for a fresh Debian 12 machine: `make check` and `make demo`.
.PHONY: check check-limits check-windows setup build-asan demo wine-screenshot release fuzz package package-windows clean

WINE_PREFIX := $(CURDIR)/build/windows/wine/prefix

# The Linux suite, the tests that cannot run under the sanitizers, then the Windows suite under Wine
# (its serial-line tests use the asan build's quedrix-sim).
check: setup
	cmake --preset asan
	cmake --build --preset asan -j2
	@echo "The suite replays the fuzz corpora of fuzz/corpus/ as the tests fuzz.replay.<target>."
	ctest --preset asan -j2
	$(MAKE) --no-print-directory check-limits
	$(MAKE) --no-print-directory check-windows

# The memory-limit tests, which skip under AddressSanitizer, in a small optimised build of their own.
check-limits: setup
	cmake --preset limits
	cmake --build --preset limits -j2
	ctest --preset limits

# The Windows build's tests run under Wine in a prefix of their own, on a virtual X display for the
# windows of quedrix.exe; the prefix's server is stopped afterwards.
check-windows: setup
	cmake --preset windows
	cmake --build --preset windows -j2
	xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" ctest --preset windows -j2; status=$$?; \
	    WINEPREFIX=$(WINE_PREFIX) wineserver -k 2>/dev/null; exit $$status

# Each fuzz target for FUZZ_SECONDS (60 by default) under libFuzzer; findings land in build/fuzz/findings.
FUZZ_SECONDS ?= 60
fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz -j2
	scripts/fuzz.sh build/fuzz $(FUZZ_SECONDS)

setup:
	@scripts/setup-deps.sh

release: setup
	cmake --preset release
	cmake --build --preset release -j2

# The program against a simulated controller; MODE=ALT for the alternative mode. Builds only the
# two programs it runs. SCREENSHOT=FILE keeps the virtual desktop's picture there.
demo: setup
	cmake --preset release
	cmake --build --preset release -j2 --target quedrix quedrix-sim
	MODE=$(MODE) SCREENSHOT=$(SCREENSHOT) scripts/demo.sh

# docs/quedrix-wine.png: quedrix.exe's standard window under Wine, as its e2e test leaves it.
wine-screenshot: setup
	cmake --preset asan
	cmake --build --preset asan -j2 --target quedrix-sim
	cmake --preset windows
	cmake --build --preset windows -j2 --target quedrix
	ctest --preset windows -R '^e2e_wine_monitor_std$$'
	convert build/windows/tests/wine/monitor-std/window.png -strip docs/quedrix-wine.png

# The Debian package build/package/quedrix_VERSION_amd64.deb (VERSION: project()'s in CMakeLists.txt),
# checked with lintian.
package: setup
	cmake --preset package
	cmake --build --preset package -j2
	scripts/package.sh build/package

# The Windows installer build/windows-package/quedrix-setup-<version>.exe (NSIS) of an optimised
# cross build; the version is the project's.
package-windows: setup
	cmake --preset windows-package
	cmake --build --preset windows-package -j2

clean:
	rm -rf build
