#!/usr/bin/env bash
# libfolian32.so exports exactly the functions its public header declares: nothing
# internal leaks out, and nothing declared is missing.
#   exports_test.sh LIBRARY HEADER...
set -euo pipefail
library=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

nm -D --defined-only "$library" | awk '$2 == "T" || $2 == "W" || $2 == "D" || $2 == "B" {print $3}' |
  sed 's/@.*//' | sort -u > "$work/exported"
# Declarations are "FOLIAN_API type name(", possibly with the name on the next line.
cat "$@" | tr '\n' ' ' | grep -oE 'FOLIAN_API[^;(]*\(' | sed -E 's/.*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*) *\($/\1/' |
  grep -v "^__" | sort -u > "$work/declared"
if ! diff -u "$work/declared" "$work/exported" > "$work/diff"; then
  echo "exports differ from the header (- declared only, + exported only):"
  grep -E '^[-+][A-Za-z_]' "$work/diff"
  exit 1
fi
echo "exports match the header: $(wc -l < "$work/declared") functions"
