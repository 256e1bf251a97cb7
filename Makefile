# Thin wrapper over the CMake presets. `make run` and `make test` are the two
# commands a fresh clone needs; both install missing Debian packages first.
SAMPLE ?= samples/sample.html
FUZZ_SECONDS ?= 30
FUZZ_TARGETS = $(patsubst fuzz/%.cpp,%,$(wildcard fuzz/*_fuzz.cpp))

.PHONY: run test deps build check asan tsan fuzz bench clean

# Only the program is built here; the test suites wait for `make test`.
run: deps
	cmake --preset default >/dev/null
	cmake --build --preset default --target orbisline
	./build/default/orbisline --dump $(SAMPLE)

deps:
	@sh tools/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default

# Plain tests, then the whole suite under ASan+UBSan, the threaded tests under
# TSan, and a short run of every fuzz target.
test: check asan tsan fuzz

check: build
	ctest --preset default

asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan
	ctest --preset asan

# Only the binaries that hold threaded code are built for ThreadSanitizer.
tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan --target platform_tests markup_tests render_tests
	ctest --preset tsan -R 'Thread|Load|Worker|Control|TreeAllocator'

fuzz: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz
	sh tools/run-fuzz.sh $(FUZZ_SECONDS) $(FUZZ_TARGETS)

bench: build
	sh bench/run.sh

clean:
	rm -rf build
