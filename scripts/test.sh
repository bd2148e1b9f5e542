#!/usr/bin/env bash
# Builds Ballwick and runs every test: the plain C++ libraries (engine,
# compressor) under AddressSanitizer + UndefinedBehaviorSanitizer, the fuzzers
# (clang's libFuzzer) for FUZZ_SECONDS each (default 60), then the full build
# twice, with CMake's default generator in Release and with Ninja, each with
# its unit, widget, server and end-to-end tests (widgets offscreen; the real
# program on a virtual X display).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
ballwick_install_deps
# Every name in the package list is a real package with an install candidate.
bash scripts/check-packages.sh

JOBS=${JOBS:-$(nproc)}
export QT_QPA_PLATFORM=offscreen
export FUZZ_SECONDS=${FUZZ_SECONDS:-60}

echo "== plain C++ libraries under ASan + UBSan"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBALLWICK_WITH_QT=OFF \
  -DBALLWICK_SANITIZE=ON -DBALLWICK_BENCH=OFF >/dev/null
cmake --build build-asan -j"$JOBS"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$JOBS" --timeout 600)

echo "== fuzzers, ${FUZZ_SECONDS} s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBALLWICK_WITH_QT=OFF -DBALLWICK_FUZZ=ON -DBALLWICK_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$JOBS"
if [ -f fuzz/CMakeLists.txt ]; then (cd build-fuzz && ctest --output-on-failure -L fuzz -j"$JOBS" --timeout $((FUZZ_SECONDS * 3 + 120))); fi

echo "== fuzzers with Qt (settings file, tally load, HTTP reply, high-score page), ${FUZZ_SECONDS} s each"
CC=clang CXX=clang++ cmake -S . -B build-fuzz-qt -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBALLWICK_WITH_QT=ON -DBALLWICK_FUZZ=ON -DBALLWICK_BENCH=OFF >/dev/null
cmake --build build-fuzz-qt -j"$JOBS" --target fuzz_inifile fuzz_tallyload fuzz_httpreply fuzz_pagecheck
(cd build-fuzz-qt && ctest --output-on-failure -L '^fuzz-qt$' -j"$JOBS" --timeout $((FUZZ_SECONDS * 3 + 120)))

# The build a packager makes: CMake's default generator, Release, two jobs.
echo "== full build and tests, default generator, Release"
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DBALLWICK_BENCH=OFF >/dev/null
cmake --build build-release -j2
(cd build-release && ctest --output-on-failure -j2 --timeout 600)

# Last, so that the closing line of this script is the full test run's summary.
echo "== full build and tests (Ninja)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBALLWICK_BENCH=ON >/dev/null
cmake --build build -j"$JOBS"
# The installed tree: staged install, validators, the installed game run once.
bash scripts/check-install.sh build
(cd build && ctest --output-on-failure -j"$JOBS" --timeout 600)
