#!/usr/bin/env bash
# Checks the project's C++ sources: their format against .clang-format
# (clang-format-14), then clang-tidy-14 with .clang-tidy over every project
# .cpp file in BUILD_DIR's compile database. Fails on a format difference or
# on any finding, and shows them. BUILD_DIR must be built: the generated
# headers the sources include live there.
#   lint.sh [--no-format] BUILD_DIR
#     --no-format   skip the format check (tidy only)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

format=1
if [ "${1:-}" = --no-format ]; then
  format=0
  shift
fi
if [ $# -ne 1 ]; then
  echo "usage: lint.sh [--no-format] BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
if [ ! -f "$build/compile_commands.json" ]; then
  echo "lint.sh: $build has no compile_commands.json" >&2
  exit 2
fi
cd "$root"

# The project's own sources. Not the code templates (other languages) nor
# the test data; generated files live in the build folder.
folders=(src tests bench fuzz tools)
mapfile -t sources < <(find "${folders[@]}" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) \
  -not -path 'src/*/code_templates/*' -not -path 'tests/data/*' | sort)

status=0
if [ "$format" = 1 ]; then
  echo "lint: clang-format-14 over ${#sources[@]} files"
  if ! clang-format-14 --dry-run --Werror "${sources[@]}"; then
    echo "lint: format differs; clang-format-14 -i FILE... makes it match" >&2
    status=1
  fi
fi

# Every project .cpp file the build compiles, but the layering tests' planted
# files, which must not compile.
quoted=$(printf '%s' "$root" | sed 's/[][\.*^$+?(){}|]/\\&/g')
planted='tests/layering/(upward_include|qt_above_platform|app_beside_gate|cli_beside_app|app_beside_cli|qt_in_platform_base)\.cpp$'
files="^$quoted/(?!$planted)(src|tests|bench|fuzz|tools)/.*\.cpp$"
# Headers: the project's, also where a layer sees them through its include
# root in the build folder; not the generated ones.
quoted_build=$(printf '%s' "$build" | sed 's/[][\.*^$+?(){}|]/\\&/g')
headers="^$quoted/(src|tests|bench|fuzz|tools)/|^$quoted_build/include_roots/[^/]+/src/"
echo "lint: run-clang-tidy-14 over $build"
# Colour escapes off, so that the log reads plainly.
set +e
run-clang-tidy-14 -j2 -quiet -p "$build" -header-filter "$headers" "$files" 2>&1 \
  | sed -e 's/\x1b\[[0-9;]*m//g' | grep -v -E '^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$'
tidy=${PIPESTATUS[0]}
set -e
if [ "$tidy" != 0 ]; then
  echo "lint: clang-tidy-14 reported findings (above)" >&2
  status=1
fi
exit $status
