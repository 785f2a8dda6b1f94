#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for a while on a copy of its seed corpus (fuzz/corpus/<name>), so the corpus
# in the repository only changes when someone copies a finding into it.
#   scripts/fuzz.sh [SECONDS] [TARGET ...]     (default 20 seconds, every target)
# Exits 0 without fuzzing when clang with libFuzzer is not installed; non-zero on a finding
# (the input that failed is left in build-fuzz/findings).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(settings_stream property_bag frame_server)

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
    > "$probe/probe.cpp"
if ! command -v clang++ > /dev/null ||
    ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2> /dev/null; then
    echo "fuzz: clang with libFuzzer is not installed; fuzzing skipped"
    exit 0
fi

cmake --preset fuzz > /dev/null
cmake --build --preset fuzz -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build-fuzz/findings
for target in "${targets[@]}"; do
    work="build-fuzz/corpus/$target"
    rm -rf "$work"
    mkdir -p "$work"
    cp fuzz/corpus/"$target"/* "$work"/
    echo "== fuzz_$target for ${seconds} s"
    build-fuzz/bin/fuzz_"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/"$target"- \
        "$work"
done
