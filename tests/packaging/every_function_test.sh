#!/usr/bin/env bash
# Builds tests/pdf/api/c/every_function.c against the installed header and library
# only (a temporary prefix, pkg-config), runs it, and hands the files it wrote to
# outside checkers. Also holds the header to its own promises: every declared
# function is called by the program and has a comment of its own.
#   every_function_test.sh BUILD_DIR WORK_DIR SOURCE_DIR
set -euo pipefail
build=$1 work=$2/every-function source=$3
rm -rf "$work"
mkdir -p "$work/out"
prefix="$work/prefix"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The library and its development files only: nothing else needs to be built.
cmake --install "$build" --prefix "$prefix" --component lib >/dev/null
cmake --install "$build" --prefix "$prefix" --component dev >/dev/null
header="$prefix/include/folian32/folian32.h"
program="$source/tests/pdf/api/c/every_function.c"
[ -f "$header" ] || { echo "FAIL no installed header"; exit 1; }

# Declarations are "FOLIAN_API type name(", possibly with the name on the next line.
declared=$(tr '\n' ' ' < "$header" | grep -oE 'FOLIAN_API[^;(]*\(' |
  sed -E 's/.*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*) *\($/\1/' | grep -v '^__' | sort -u)
uncalled=$(for name in $declared; do grep -qE "\\b$name\\(" "$program" || echo "$name"; done)
[ -z "$uncalled" ] || fail "functions the program never calls:" $uncalled
undocumented=$(awk '/^FOLIAN_API/ && prev !~ /\*\/[ \t]*$/ { sub(/\(.*/, ""); print $NF } { prev = $0 }' "$header")
[ -z "$undocumented" ] || fail "functions without a comment of their own:" $undocumented
echo "$(echo "$declared" | wc -w) functions declared"

lib=$(find "$prefix" -name 'libfolian32.so.1.*' | head -1)
libdir=$(dirname "$lib")
# A library built with the sanitizers needs its consumers built with them too.
san=""
if readelf -d "$lib" | grep -q 'libasan'; then san="-fsanitize=address,undefined"; fi
export PKG_CONFIG_PATH="$libdir/pkgconfig" LD_LIBRARY_PATH="$libdir"
if ! cc $san -std=c11 -Wall -Wextra -Werror -o "$work/every_function" "$program" \
     $(pkg-config --cflags --libs folian32) -lm 2>"$work/cc.log"; then
  cat "$work/cc.log"
  echo "FAIL the program does not build against the installed header"
  exit 1
fi
"$work/every_function" "$work/out" || fail "the program's checks"

for file in memory drawing merged filled; do
  pdf="$work/out/$file.pdf"
  [ -s "$pdf" ] || { fail "$file.pdf was not written"; continue; }
  qpdf --check "$pdf" >"$work/$file.qpdf" 2>&1 || { cat "$work/$file.qpdf"; fail "qpdf --check $file.pdf"; }
  "$source/scripts/check-refs" "$pdf" || fail "references of $file.pdf"
done
# Text as a foreign reader extracts it: the header and its page numbers on the
# merged pages, the table cells of the drawing.
pdftotext "$work/out/merged.pdf" - 2>/dev/null | grep -q "Page 2" || fail "page numbers in merged.pdf"
pdftotext "$work/out/drawing.pdf" - 2>/dev/null | grep -q "Centred" || fail "table text in drawing.pdf"

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "every exported function passed"
