#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in an ordinary build,
# once under AddressSanitizer and UndefinedBehaviorSanitizer; then runs each fuzz target for
# about 20 seconds (skipped without clang). Exits non-zero on any failure.
#
# The sanitizer pass leaves out the tests labelled `integration` (real brokers, database
# servers and browsers started around our programs): they run in the ordinary pass, and under
# the sanitizers they only take longer without reaching code the other tests miss.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Compiled objects are kept by ccache (installed by the set-up script) between runs and between
# clones: paths are taken relative to this folder, so another checkout reuses them.
if command -v ccache > /dev/null; then
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

echo "== Build and test"
cmake --preset release
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitizers
cmake --build --preset sanitizers -j "$jobs"
ctest --preset sanitizers -j "$jobs" --label-exclude integration

echo "== Fuzzing under AddressSanitizer and UndefinedBehaviorSanitizer"
scripts/fuzz.sh 20
