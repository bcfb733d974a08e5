#!/usr/bin/env bash
# Runs programs under valgrind's memcheck with the project's suppressions
# (scripts/valgrind.supp) and fails when valgrind reports an error.
#   scripts/valgrind.sh                  the text search's tests, then the
#                                        find command on a sample text
#   scripts/valgrind.sh PROGRAM [ARG...] that program
# The suppressions name the text search's whole-block reads: the search
# reads aligned blocks that may run past a text's end (never past the page
# the text ends in), and leaves the bytes beyond the end out of its answer.
# Everything else valgrind finds is an error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${MT_BUILD_DIR:-$root/build/test}

memcheck() {
  echo "valgrind: $*" >&2
  valgrind --tool=memcheck --error-exitcode=99 --suppressions="$root/scripts/valgrind.supp" \
    --leak-check=no --track-origins=yes --num-callers=30 -q "$@"
}

if [ $# -gt 0 ]; then
  memcheck "$@"
  exit
fi

"$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMT_BENCH=OFF >/dev/null
cmake --build "$build" --target test_commands middletext

export QT_QPA_PLATFORM=offscreen
memcheck "$build/tests/test_commands" --gtest_filter='FindText*' --gtest_brief=1

# A sample of about half a megabyte of GB18030 text with the sought text at
# its very end, so that the search runs through every block up to the
# text's end; then a text that is not there. (find ends with the window's
# message once nothing more is found, on standard error.)
sample=$(mktemp)
trap 'rm -f "$sample"' EXIT
{
  for _ in $(seq 20000); do printf 'abc \xd6\xd0\xce\xc4 0123456789 \xb2\xe2\xca\xd4 xyz\n'; done
  printf 'END'
} > "$sample"
memcheck "$build/middletext" find "$sample" --text END --gbk >/dev/null
memcheck "$build/middletext" find "$sample" --text NOT-THERE --gbk >/dev/null || [ $? -ne 99 ]
echo "valgrind: no errors" >&2
