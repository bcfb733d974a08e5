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

# The table conversion of terminal UTF-8, against iconv.
clang++ "${flags[@]}" "${san[@]}" "$root/src/app/utf8_to_gb18030.cpp" "$root/fuzz/utf8_to_gb18030_fuzz.cpp" \
  -o "$out/utf8_to_gb18030_fuzz"
corpus="$out/utf8_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
printf 'abc' > "$corpus/ascii"
printf '\xe4\xb8\xad\xe6\x96\x87 mixed \xf0\x9f\x98\x80 \xc3\xa9' > "$corpus/mixed"
printf '\xe4\xb8\xed\xa0\x80\xc0\xaf\xf4\x90\x80\x80' > "$corpus/invalid"
echo "Fuzzing the UTF-8 table conversion for ${seconds}s"
"$out/utf8_to_gb18030_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12

# The charset reader of fetched pages: Content-Type value, byte-order mark,
# <meta> in the first 1024 bytes and the text check.
clang++ "${flags[@]}" "${san[@]}" "$root/src/net/page_charset.cpp" "$root/fuzz/page_charset_fuzz.cpp" \
    -o "$out/page_charset_fuzz"
corpus="$out/charset_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
printf '\x18text/html; charset=big5<html>' > "$corpus/header"
printf '\x00\xef\xbb\xbfhello' > "$corpus/bom"
printf '\x00<!-- x --><meta http-equiv="Content-Type" content="text/html; charset=koi8-r">' > "$corpus/pragma"
printf "\\x00<a title='>'><META charset='Shift_JIS'>charset=utf-8" > "$corpus/meta"
echo "Fuzzing the page charset reader for ${seconds}s"
"$out/page_charset_fuzz" -max_total_time="$seconds" -max_len=2048 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12

# The multi-line box's byte model: edits of any bytes, undo and redo.
clang++ "${flags[@]}" "${san[@]}" "$root/src/platform/text_buffer.cpp" "$root/fuzz/text_buffer_fuzz.cpp" \
  -o "$out/text_buffer_fuzz"
corpus="$out/text_buffer_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
printf 'a\x01\x00\xd6\xd0\r\n\x81\x30\x81\x30\xfe\xff' > "$corpus/seed"
echo "Fuzzing the text buffer for ${seconds}s"
"$out/text_buffer_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12
