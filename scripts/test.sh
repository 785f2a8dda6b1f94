#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in an ordinary build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz target for
# about 20 seconds (skipped without clang). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

echo "== Build and test"
cmake -S . -B build -G Ninja -DBRISORA_WERROR=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRISORA_WERROR=ON \
    -DBRISORA_SANITIZE=ON -DBRISORA_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
ctest --test-dir build-asan --output-on-failure -j "$jobs"

echo "== Fuzzing under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/fuzz.sh 20
