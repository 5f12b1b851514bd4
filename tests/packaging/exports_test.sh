#!/usr/bin/env bash
# libfolian32.so exports exactly the functions its public header declares: nothing
# internal leaks out, and nothing declared is missing. With the Java sources'
# folder among the arguments, its JNI methods must be exactly the native methods
# of those classes.
#   exports_test.sh LIBRARY HEADER... [JAVA_DIR]
set -euo pipefail
library=$1
shift
headers=() java=""
for argument in "$@"; do
  if [ -d "$argument" ]; then java=$argument; elif [ -n "$argument" ]; then headers+=("$argument"); fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

nm -D --defined-only "$library" | awk '$2 == "T" || $2 == "W" || $2 == "D" || $2 == "B" {print $3}' |
  sed 's/@.*//' | sort -u > "$work/all-exported"
grep -v '^Java_' "$work/all-exported" > "$work/exported" || true
# Declarations are "FOLIAN_API type name(", possibly with the name on the next line.
cat "${headers[@]}" | tr '\n' ' ' | grep -oE 'FOLIAN_API[^;(]*\(' | sed -E 's/.*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*) *\($/\1/' |
  grep -v "^__" | sort -u > "$work/declared"
if ! diff -u "$work/declared" "$work/exported" > "$work/diff"; then
  echo "exports differ from the header (- declared only, + exported only):"
  grep -E '^[-+][A-Za-z_]' "$work/diff"
  exit 1
fi
echo "exports match the header: $(wc -l < "$work/declared") functions"

if [ -n "$java" ]; then
  # "native" methods of each class, as the virtual machine looks them up.
  for source in $(find "$java" -name '*.java'); do
    class=$(basename "$source" .java)
    package=$(sed -n 's/^package \([A-Za-z0-9_.]*\);.*/\1/p' "$source" | tr . _)
    tr '\n' ' ' < "$source" | grep -oE 'native [^;(]*\(' | sed -E 's/.* ([A-Za-z_][A-Za-z0-9_]*) *\($/\1/' |
      sed "s/^/Java_${package}_${class}_/"
  done | sort -u > "$work/natives"
  grep '^Java_' "$work/all-exported" > "$work/jni" || true
  if ! diff -u "$work/natives" "$work/jni" > "$work/diff"; then
    echo "JNI exports differ from the native methods (- declared only, + exported only):"
    grep -E '^[-+][A-Za-z_]' "$work/diff"
    exit 1
  fi
  echo "JNI exports match the Java classes: $(wc -l < "$work/natives") methods"
fi
