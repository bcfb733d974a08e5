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
records=("$root/src/components/property_archive.cpp" "$root/src/abi/service_calls.cpp"
         "$root/src/components/window_properties.cpp" "$root/src/components/edit_box_properties.cpp"
         "$root/src/components/button_properties.cpp" "$root/src/components/timer_properties.cpp")
clang++ "${flags[@]}" "${records[@]}" "$root/fuzz/property_record_seeds.cpp" -o "$out/property_record_seeds"
clang++ "${flags[@]}" "${san[@]}" "${records[@]}" "$root/fuzz/property_records_fuzz.cpp" -o "$out/property_records_fuzz"

corpus="$out/property_corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
"$out/property_record_seeds" "$corpus"
echo "Fuzzing the property-record readers for ${seconds}s"
"$out/property_records_fuzz" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -n 12

# Builds a fuzz target from its sources and runs it on a fresh corpus made
# by the function named as seeds.
#   fuzz_target LABEL NAME MAX_LEN SEEDS SOURCE...
fuzz_target() {
  local label=$1 name=$2 max_len=$3 seeds=$4
  shift 4
  clang++ "${flags[@]}" "${san[@]}" "$@" -o "$out/$name"
  local corpus="$out/${name}_corpus"
  rm -rf "$corpus" && mkdir -p "$corpus"
  "$seeds" "$corpus"
  echo "Fuzzing $label for ${seconds}s"
  # The whole log is kept; shown are what the target says of itself and the
  # end (the statistics, or the failure). A failing run fails the script.
  local log="$out/$name.log" status=0
  "$out/$name" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 "$corpus" >"$log" 2>&1 || status=$?
  grep "^$name: " "$log" || true
  tail -n 12 "$log"
  return "$status"
}

# The table conversion of terminal UTF-8, against iconv.
utf8_seeds() {
  printf 'abc' > "$1/ascii"
  printf '\xe4\xb8\xad\xe6\x96\x87 mixed \xf0\x9f\x98\x80 \xc3\xa9' > "$1/mixed"
  printf '\xe4\xb8\xed\xa0\x80\xc0\xaf\xf4\x90\x80\x80' > "$1/invalid"
}
fuzz_target "the UTF-8 table conversion" utf8_to_gb18030_fuzz 4096 utf8_seeds \
  "$root/src/shared/utf8_to_gb18030.cpp" "$root/fuzz/utf8_to_gb18030_fuzz.cpp"

# The charset reader of fetched pages: Content-Type value, byte-order mark,
# <meta> in the first 1024 bytes, the text check and the UTF-8 test; and
# the page decoding that replaces a few bad bytes.
charset_seeds() {
  printf '\x18text/html; charset=big5<html>' > "$1/header"
  printf '\x00\xef\xbb\xbfhello' > "$1/bom"
  printf '\x00<!-- x --><meta http-equiv="Content-Type" content="text/html; charset=koi8-r">' > "$1/pragma"
  printf "\\x00<a title='>'><META charset='Shift_JIS'>charset=utf-8" > "$1/meta"
  printf '\x10application/json{"a":"\xe5\xbc\xa0\xe4\xb8"}' > "$1/sniffed"
  printf '\x18text/html; charset=utf-8a\xffb\xe4\xb8z\xed\xa0\x80' > "$1/bad"
  printf '\x19text/html; charset=utf-16\x3c\x00\x00\xdcx' > "$1/utf16"
}
fuzz_target "the page charset reader" page_charset_fuzz 2048 charset_seeds \
  "$root/src/net/page_charset.cpp" "$root/src/net/charset_labels.cpp" "$root/src/net/page_decoding.cpp" \
  "$root/fuzz/page_charset_fuzz.cpp"

# The URL made ready for the request line: percent-encoding from UTF-8,
# the host's ASCII form (libidn2), outer blanks, control characters.
request_url_seeds() {
  printf 'http://h/\xe4\xb8\xad\xe6\x96\x87?q=\xe5\x80\xbc#top' > "$1/path"
  printf '  http://\xe4\xb8\xad\xe6\x96\x87.localhost:81/a b\r' > "$1/host"
  printf 'https://u:p@[::1]:8080/%%E4%%zz%%' > "$1/escapes"
  printf 'http://h/a\tb' > "$1/control"
}
fuzz_target "the request URL" request_url_fuzz 1024 request_url_seeds \
  "$root/src/net/request_url.cpp" "$root/fuzz/request_url_fuzz.cpp" -lidn2

# The text search's block scan, against the plain walk: every copy of the
# block tests the program runs, the AVX2 one included (confined by its own
# target pragma, so built with the same flags as the rest). The log says
# whether the AVX2 copy took part.
find_text_seeds() {
  printf '\x02\x04\x81\x30\x81\x30ab\xb0\xa1\x81\x30\x81\x30\x81\x30\x81\x30' > "$1/four"
  printf '\x01\x02Xyabxyz\xb0xy\xd6\xd0XY' > "$1/case"
  head -c 300 /dev/zero | tr '\0' '\260' | { printf '\x00\x03\xb0\xa1\xb0'; cat; printf '1z\x82\x35\x90\x36'; } > "$1/runs"
  { printf '\x00\x040\x810\x81a'; for _ in $(seq 60); do printf '\x810\x810'; done; printf '\xb01\x810q'; } > "$1/fours"
  # trail bytes that pass the filter in blocks of double-byte characters, then a four-byte character
  { printf '\x00\x04\x81\x30\xb0\xa1a\xb0\x31'; for _ in $(seq 42); do printf '\xb0\x81\xc0\xb0\xa1\xa1'; done
    printf '\x81\x30\x81\x30\xb0\xa1qq'; } > "$1/decoys"
}
fuzz_target "the text search" find_text_fuzz 4096 find_text_seeds \
  "$root/src/commands/find_text.cpp" "$root/src/commands/find_text_avx2.cpp" "$root/fuzz/find_text_fuzz.cpp" \
  -I"$root/tests"

# fetch's -w formats: the check and the expansion of the variables.
write_out_seeds() {
  printf '%%{http_code} %%{url_effective}\\n' > "$1/plain"
  printf '%%%%{x}%%{time_total}\\\\%%{' > "$1/edges"
  printf '%%{content_type}\\t%%{errorcode}\\r%%' > "$1/escapes"
}
fuzz_target "the write-out formats" write_out_fuzz 1024 write_out_seeds \
  "$root/src/cli/write_out.cpp" "$root/src/shared/cli_messages.cpp" "$root/fuzz/write_out_fuzz.cpp"

# Why a rule fails: the normalised searches and the longest leading part,
# on any bytes (the sentences' texts generated as in the build).
mkdir -p "$gen/commands"
"$out/gbtexts" "$root/src/commands/rule_diagnosis_texts.txt" "$gen/commands/rule_diagnosis_texts.h"
diagnosis_seeds() {
  printf '\x00\x04\x03a\x0d\x0ab<x>a\x0ab<x>' > "$1/breaks"
  printf '\x00\x05\x01\xbc\xdb\xb8\xf1:2\xbc\xdb\xb8\xf1\xa3\xba12' > "$1/width"
  printf '\x00\x03\x01a b&q&amp;a\x09\x810\x846b&#60;&#x4e2d;' > "$1/spaces"
}
fuzz_target "the rule diagnosis" rule_diagnosis_fuzz 4096 diagnosis_seeds \
  "$root/src/commands/rule_diagnosis.cpp" "$root/src/commands/rule_normalise.cpp" \
  "$root/src/commands/find_text.cpp" "$root/src/commands/find_text_avx2.cpp" "$root/fuzz/rule_diagnosis_fuzz.cpp"

# The multi-line box's byte model: edits of any bytes, undo and redo.
text_buffer_seeds() {
  printf 'a\x01\x00\xd6\xd0\r\n\x81\x30\x81\x30\xfe\xff' > "$1/seed"
}
fuzz_target "the text buffer" text_buffer_fuzz 4096 text_buffer_seeds \
  "$root/src/platform/text_view/text_buffer.cpp" "$root/src/platform/text_view/text_buffer_scan.cpp" \
  "$root/src/platform/text_view/edit_history.cpp" "$root/fuzz/text_buffer_fuzz.cpp"

# The case-file reader of test and suggest, and the rewriting of --update.
case_file_seeds() {
  printf '{"name":"t","source":"a.html","left":"<b>","right":"</b>","expect":"x"}\n' > "$1/plain"
  printf '{"source": "b", "source_gbk": true, "left_gbk": "d6d0", "right": "]", "all": true, "expect_gbk": ["ff", ""]}' > "$1/hex"
  printf '{"source":"c","left":"[","right":"]","expect":null,"expct":1}\n\n{"source":"d"' > "$1/bad"
}
fuzz_target "the case-file reader" case_file_fuzz 4096 case_file_seeds \
  "$root/src/shared/case_file.cpp" "$root/src/shared/cli_messages.cpp" "$root/fuzz/case_file_fuzz.cpp"

# The rule suggestion from selections or wanted texts, each pair it finds
# checked by the extraction.
mkdir -p "$gen/commands"
for texts in rule_suggestion_texts commands_texts date_time_texts; do
  "$out/gbtexts" "$root/src/commands/$texts.txt" "$gen/commands/$texts.h"
done
rule_suggestion_seeds() {
  printf '\x00\x12\x00\x05<td class="price">12.50</td>' > "$1/selection"
  printf '\x01\x00\x00\x01x<b>x</b>x' > "$1/wanted"
  printf '\x02\x04\x00\x01<b>1</b><b>2</b>' > "$1/two"
  printf '\x00\x02\x00\x02\xb0\xd6\xd6\xd0\x81\x30\x81\x30\xd0' > "$1/characters"
}
fuzz_target "the rule suggestion" rule_suggestion_fuzz 4096 rule_suggestion_seeds \
  "$root/src/commands/rule_suggestion.cpp" "$root/src/commands/rule_delimiters.cpp" \
  "$root/src/commands/rule_suggestion_check.cpp" "$root/src/commands/rule_suggestion_reason.cpp" \
  "$root/src/commands/text_commands.cpp" "$root/src/commands/value_format.cpp" \
  "$root/src/commands/date_time_text.cpp" "$root/src/commands/find_text.cpp" \
  "$root/src/commands/find_text_avx2.cpp" "$root/src/abi/service_calls.cpp" "$root/fuzz/rule_suggestion_fuzz.cpp"
