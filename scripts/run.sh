#!/usr/bin/env bash
# Builds the tool and starts it. Arguments go to the tool.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMT_TESTS=OFF -DMT_BENCH=OFF >/dev/null
cmake --build "$build" --target middletext -j "$(nproc)"
exec "$build/middletext" "$@"
