#!/usr/bin/env bash
# Builds everything and runs every test. Set MT_SANITIZE=1 to build the tests
# with AddressSanitizer and UndefinedBehaviorSanitizer, MT_FUZZ_SECONDS=N to
# also run each fuzz target for N seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"

sanitize=${MT_SANITIZE:-0}
build="$root/build/test"
[ "$sanitize" = 1 ] && build="$root/build/test-asan"
jobs=$(nproc)

# Benchmarks are built in the plain build only: under the sanitizers their
# figures mean nothing.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMT_SANITIZE=$([ "$sanitize" = 1 ] && echo ON || echo OFF) \
  -DMT_BENCH=$([ "$sanitize" = 1 ] && echo OFF || echo ON) >/dev/null
cmake --build "$build" -j "$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
ctest --test-dir "$build" --output-on-failure -j "$jobs"

if [ "${MT_FUZZ_SECONDS:-0}" -gt 0 ]; then
  "$root/scripts/fuzz.sh" "$MT_FUZZ_SECONDS"
fi
