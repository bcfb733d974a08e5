#!/usr/bin/env bash
# Runs the window benchmarks (bench/window) under a virtual X display with a
# window manager: Xvfb and openbox, the tool and a bare QPlainTextEdit driven
# through XTest and timed by the server's Damage reports.
#
#   scripts/window_bench.sh [BUILD_DIR] [-- window_bench.py options]
#
# BUILD_DIR (default build/bench, RelWithDebInfo) gets the tool, the bare
# program and the harness built first. Further options go to
# bench/window/window_bench.py, e.g. `-- --rounds 5 --only start` or
# `-- --tool before=/path/to/an/older/middletext` to compare two builds in
# the same interleaved rounds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/bench
if [ $# -gt 0 ] && [ "$1" != "--" ]; then build=$1; shift; fi
[ "${1:-}" = "--" ] && shift

"$root/scripts/setup.sh"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMT_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target middletext bench_bare_edit bench_xwin

xvfb-run -a -s "-screen 0 1280x800x24 -dpi 96" bash -c '
  openbox >/dev/null 2>&1 & wm=$!
  sleep 1
  python3 "$0/bench/window/window_bench.py" --xwin "$1/bench/bench_xwin" --bare "$1/bench/bench_bare_edit" \
    --tool "tool=$1/middletext" "${@:2}"
  status=$?
  kill $wm
  exit $status
' "$root" "$build" "$@"
