#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time.
#   scripts/fuzz.sh SECONDS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out="$root/build/fuzz"
mkdir -p "$out"
gen="$out/generated"
flags=(-std=c++20 -O1 -g -I"$root/src" -I"$gen" -Wall -Wextra -Werror)
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

# The property-record readers of every kind, without the platform: only the
# plain record units and the texts they name (generated as in the build).
clang++ -std=c++20 -O1 -I"$root" "$root/tools/gbtexts/gbtexts.cpp" "$root/tools/common/source_text.cpp" -o "$out/gbtexts"
mkdir -p "$gen/components"
"$out/gbtexts" "$root/src/components/components_texts.txt" "$gen/components/components_texts.h"
records=("$root/src/components/property_archive.cpp" "$root/src/frame/service_calls.cpp"
         "$root/src/components/window_properties.cpp" "$root/src/components/edit_box_properties.cpp"
         "$root/src/components/button_properties.cpp" "$root/src/components/timer_properties.cpp")
clang++ "${flags[@]}" "${records[@]}" "$root/fuzz/property_record_seeds.cpp" -o "$out/property_record_seeds"
clang++ "${flags[@]}" "${san[@]}" "${records[@]}" "$root/fuzz/property_records_fuzz.cpp" -o "$out/property_records_fuzz"

corpus="$out/property_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
"$out/property_record_seeds" "$corpus"
echo "Fuzzing the property-record readers for ${seconds}s"
"$out/property_records_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12

# The multi-line box's byte model: edits of any bytes, undo and redo.
clang++ "${flags[@]}" "${san[@]}" "$root/src/platform/text_buffer.cpp" "$root/fuzz/text_buffer_fuzz.cpp" \
  -o "$out/text_buffer_fuzz"
corpus="$out/text_buffer_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
printf 'a\x01\x00\xd6\xd0\r\n\x81\x30\x81\x30\xfe\xff' > "$corpus/seed"
echo "Fuzzing the text buffer for ${seconds}s"
"$out/text_buffer_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
