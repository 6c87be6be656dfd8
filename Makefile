# Entry points: `make run` starts the program, `make test` builds with sanitizers and
# runs every test suite. Both install missing Debian packages first.
JOBS ?= $(shell nproc)
CTEST_PARALLEL ?= 2

.PHONY: all deps deps-bench test build-test run build-release bench fuzz format install clean

all: build-release

deps:
	@bash scripts/install-deps.sh

deps-bench:
	@bash scripts/install-deps.sh --bench

build-test: deps
	cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_BUILD_BENCH=OFF -DKV_WERROR=ON
	cmake --build build/test -j $(JOBS)

test: build-test
	cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(CTEST_PARALLEL)

build-release: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=OFF -DKV_WERROR=ON
	cmake --build build/release -j $(JOBS)

run: build-release
	./build/release/src/app/korvaliser $(ARGS)

# Builds the benchmark programs, runs them and ends with one table (bench/report.py).
bench: deps-bench
	cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_BUILD_TESTS=OFF -DKV_BUILD_BENCH=ON -DKV_WERROR=ON
	cmake --build build/bench -j $(JOBS)
	python3 bench/report.py build/bench

fuzz: deps
	CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_BUILD_FUZZ=ON -DKV_WERROR=ON
	cmake --build build/fuzz -j $(JOBS)

install: build-release
	cmake --install build/release

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf build
