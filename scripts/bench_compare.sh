#!/usr/bin/env bash
# Runs two builds of one Google Benchmark program in interleaved rounds and
# prints, per benchmark, the median over the rounds of its median_ms counter
# for each build and their ratio (B / A).
#
#   scripts/bench_compare.sh ROUNDS FILTER A_PROGRAM B_PROGRAM
#
# e.g. scripts/bench_compare.sh 5 'Box_Keystroke|Box_Find' old/bench_big_box build/rel/bench/bench_big_box
set -euo pipefail
[ $# -eq 4 ] || { sed -n '2,8p' "$0"; exit 2; }
rounds=$1 filter=$2 a=$3 b=$4
out=$(mktemp)
trap 'rm -f "$out"' EXIT
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
for _ in $(seq "$rounds"); do
  for side in A B; do
    program=$a
    [ "$side" = B ] && program=$b
    "$program" --benchmark_filter="$filter" 2>/dev/null |
      awk -v side="$side" '/^BM_/ { for (i = 1; i <= NF; i++) if ($i ~ /^median_ms=/) { split($i, v, "="); print $1, side, v[2] } }' >>"$out"
  done
done
python3 - "$out" <<'PY'
import collections, statistics, sys
def ms(v):
    scale = {"k": 1e3, "m": 1e-3, "u": 1e-6}
    return float(v[:-1]) * scale[v[-1]] if v[-1] in scale else float(v)
runs = collections.defaultdict(lambda: collections.defaultdict(list))
for line in open(sys.argv[1]):
    name, side, value = line.split()
    runs[name.split("/")[0]][side].append(ms(value))
for name in sorted(runs):
    a, b = runs[name]["A"], runs[name]["B"]
    if a and b:
        ma, mb = statistics.median(a), statistics.median(b)
        print(f"{name:48s} A {ma:9.3f}  B {mb:9.3f}  B/A {mb / ma:5.2f}  "
              f"[A {min(a):.2f}-{max(a):.2f}, B {min(b):.2f}-{max(b):.2f}]")
PY
