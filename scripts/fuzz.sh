#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time.
#   scripts/fuzz.sh SECONDS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build/fuzz"
mkdir -p "$out"
flags=(-std=c++20 -O1 -g -I"$root/src" -Wall -Wextra -Werror)
san=(-fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)

reader=("$root/src/windows/template_reader.cpp" "$root/src/windows/template_types.cpp"
        "$root/src/windows/template_writer.cpp")
clang++ "${flags[@]}" "${reader[@]}" "$root/fuzz/template_seeds.cpp" -o "$out/template_seeds"
clang++ "${flags[@]}" "${san[@]}" "${reader[@]}" "$root/fuzz/template_reader_fuzz.cpp" -o "$out/template_reader_fuzz"

corpus="$out/template_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
"$out/template_seeds" "$corpus"
echo "Fuzzing the template reader for ${seconds}s"
"$out/template_reader_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
