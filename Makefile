# Thin wrapper over the CMake presets. `make run` and `make test` are the two
# commands a fresh clone needs; both install missing Debian packages first.
# make run PAGE=file.html opens that page instead of the welcome pages.
PAGE ?=
FUZZ_SECONDS ?= 30
FUZZ_TARGETS = $(patsubst fuzz/%.cpp,%,$(wildcard fuzz/*_fuzz.cpp))

.PHONY: run test deps format build check package-check asan tsan fuzz bench package windows \
	windows-test clean

# Only the executable, the plug-in module it loads and the welcome pages it
# opens when no file is named; not the tests.
run: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target orbisline Orbisline
	./build/default/orbisline $(PAGE)

deps:
	@sh tools/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default

# The format check, plain tests, the check of the Debian package, then the
# whole suite under ASan+UBSan (the headless host's tests load the plug-in
# module built with it), the load path and the other threaded code under
# TSan, a short run of every fuzz target, and the Windows build under wine
# against the Linux one.
test: format check package-check asan tsan fuzz windows-test

format: deps
	sh tools/check-format.sh

check: build
	ctest --preset default

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

# Only the binaries that hold threaded code are built for ThreadSanitizer:
# loads from render and through the plug-in, failing ones included.
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan --target platform_tests pool_tests markup_tests render_tests host_tests \
		memory_tests
	ctest --preset tsan -R 'Thread|Load|Worker|Control|BlockPool|OutOfMemory'

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	sh tools/run-fuzz.sh $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: build
	sh bench/run.sh

# A Debian package of what `cmake --install` installs, in build/default.
package: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target orbisline Orbisline
	cd build/default && cpack

# Debian's checker finds no error in the package, and its mailcap entry
# works.
package-check: package
	sh tests/install/package_check.sh build/default

# The plug-in for the real host: Orbisline.dll for 32-bit Windows with its
# zip (build/windows32), and the same for 64 bits (build/windows64), whose
# code runs here under wine, with the test host orbisline.exe.
windows:
	@sh tools/install-deps.sh --windows
	cmake --preset windows32 >/dev/null
	cmake --build --preset windows32
	cmake --preset windows64 >/dev/null
	cmake --build --preset windows64

# The 64-bit DLL under wine, against the Linux viewer on the same pages:
# first in a host of its own, then with the Windows test host in the Linux
# tests' scenarios.
WINDOWS_PAGES = samples/*.html welcome/*.html tests/windows/pages/*.html
windows-test: windows
	cmake --preset default >/dev/null
	cmake --build --preset default --target orbisline Orbisline
	sh tests/windows/wine_smoke.sh build/windows64 build/default/orbisline $(WINDOWS_PAGES)
	sh tests/windows/wine_compare.sh build/default build/windows64

clean:
	rm -rf build
