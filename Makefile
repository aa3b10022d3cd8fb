# The project's commands. `make run` and `make test` do all the set-up on a fresh Debian 12.
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60

.PHONY: run test deps build build-asan bench fuzz clean

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
	cmake --build build -j $(JOBS)

build-asan: deps
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNOVU_SANITIZE=ON -DNOVU_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build build-asan -j $(JOBS)

# Plays the demo game: in a window when there is a display, headless otherwise.
run: build
	@bash scripts/run-demo.sh build

# All tests, then the same tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test: build build-asan
	cd build && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ctest --output-on-failure -j $(JOBS)
	cd build-asan && SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
	  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# Every benchmark, then the ratio lines against their anchors.
bench: build
	@bash scripts/run-benchmarks.sh build

# Every fuzz target for FUZZ_SECONDS each (clang, libFuzzer).
fuzz: deps
	CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DNOVU_FUZZ=ON -DNOVU_BENCH=OFF -DNOVU_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build build-fuzz -j $(JOBS)
	@bash scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan build-fuzz
