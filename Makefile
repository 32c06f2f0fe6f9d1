# Kubora's front door. `make run` and `make test` install what is missing, build, then play or test.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
BENCH_BUILD ?= build-bench
JOBS       ?= $(shell nproc)
ARGS       ?=
FUZZ_SECONDS ?= 60
TESTS      ?= ON

# Flags the caller gives (CFLAGS, CXXFLAGS, CPPFLAGS, LDFLAGS, as dpkg-buildflags sets them) reach
# CMake on every configure, so a build folder configured before takes them too. CMake has no CPPFLAGS
# of its own: they go in front of the compiler flags. With none, CMake uses the project's defaults
# (cmake/KuboraFlags.cmake).
CALLER_FLAGS = -DCMAKE_C_FLAGS='$(strip $(CPPFLAGS) $(CFLAGS))' -DCMAKE_CXX_FLAGS='$(strip $(CPPFLAGS) $(CXXFLAGS))' \
               -DCMAKE_EXE_LINKER_FLAGS='$(strip $(LDFLAGS))'

.PHONY: all deps build run test test-asan package bench fuzz format clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -DKUBORA_WERROR=ON -DKUBORA_TESTS=$(TESTS) $(CALLER_FLAGS) > /dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(ARGS)

# Every test case is its own CTest test; JOBS of them run at once.
test: build
	@scripts/with-display.sh ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The Debian packages: build/kubora_<version>_<arch>.deb (the game and its data) and
# build/kubora-tools_<version>_<arch>.deb (kubora-view and kubora-dae). Their files carry the time of
# the last commit (of the latest debian/changelog entry outside a git checkout), so that two builds of
# one commit give the same bytes. CPack gives the archive's members the modes of its temporary files,
# so it runs with the usual umask, whatever the caller's.
package: build
	@umask 022 && SOURCE_DATE_EPOCH=$${SOURCE_DATE_EPOCH:-$$(git log -1 --format=%ct 2>/dev/null || dpkg-parsechangelog -STimestamp)} \
	  cmake --build $(BUILD) --target package

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer. The leak checker
# stops every thread of a process to scan it, and with the GL driver's rasterizer threads its tracer
# now and then crashes after a case has passed ("Tracer caught signal 11"), under load once on both runs
# of one case. So here llvmpipe rasterises on the case's own thread (LP_NUM_THREADS=0: the same pictures,
# and no slower with the cases two at a time), and a case that fails still runs once more.
test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DKUBORA_WERROR=ON -DKUBORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug > /dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@LP_NUM_THREADS=0 scripts/with-display.sh ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS) \
	  --repeat until-pass:2

bench: deps
	@cmake -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release -DKUBORA_TESTS=OFF -DKUBORA_BENCH=ON > /dev/null
	@cmake --build $(BENCH_BUILD) -j $(JOBS)
	@scripts/run-benchmarks.sh $(BENCH_BUILD)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKUBORA_TESTS=OFF -DKUBORA_FUZZ=ON > /dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
