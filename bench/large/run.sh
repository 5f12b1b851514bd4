#!/usr/bin/env bash
# Large and hostile inputs: a catalog of many keys, a flat pages tree of many
# pages, an information string of many escapes. Each at four sizes, so growth
# shows: folian beside qpdf (and pdfinfo for the information string).
#   bench/large/run.sh [BUILD_DIR]     (default build/default)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/default}"
folian="$build/tools/folian/folian"
[ -x "$folian" ] || { echo "build folian first (cmake --build --preset default)"; exit 1; }
work="$build/bench-large"
mkdir -p "$work"

# seconds COMMAND...: wall time of one run; "fail" when the command fails.
seconds() {
  local start end
  start=$(date +%s.%N)
  if ! "$@" >/dev/null 2>"$work/err.txt"; then echo fail; return; fi
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l | xargs printf '%.3f'
}

# ratio A B: A / B with two decimals, or "-" when either time is missing.
ratio() { echo "$1 / $2" | bc -l 2>/dev/null | xargs printf '%.2f' 2>/dev/null || echo -; }

row() { printf '%-34s %8s %10s %10s %10s\n' "$@"; }

echo "== catalog keys: open and list the pages"
row "case" "size" "folian" "qpdf" "ratio"
for n in 4000 8000 16000 32000; do
  f="$work/catalog-$n.pdf"; [ -f "$f" ] || python3 bench/large/make_inputs.py catalog "$n" "$f"
  a=$(seconds "$folian" info "$f"); b=$(seconds qpdf --show-npages "$f")
  row "folian info / qpdf --show-npages" "$n" "$a" "$b" "$(ratio "$a" "$b")"
done

echo "== flat pages tree: merge page 1, and list every page"
row "case" "pages" "folian" "qpdf" "ratio"
for n in 5000 10000 20000 40000; do
  f="$work/flat-$n.pdf"; [ -f "$f" ] || python3 bench/large/make_inputs.py flat "$n" "$f"
  a=$(seconds "$folian" merge -o "$work/one-f.pdf" "$f:1"); b=$(seconds qpdf --empty --pages "$f" 1 -- "$work/one-q.pdf")
  row "merge one page" "$n" "$a" "$b" "$(ratio "$a" "$b")"
  a=$(seconds "$folian" info "$f"); b=$(seconds qpdf --show-pages "$f")
  row "folian info / qpdf --show-pages" "$n" "$a" "$b" "$(ratio "$a" "$b")"
done

echo "== information string of octal escapes: decode the title"
row "case" "escapes" "folian" "pdfinfo" "ratio"
for n in 250000 500000 1000000 2000000; do
  f="$work/escapes-$n.pdf"; [ -f "$f" ] || python3 bench/large/make_inputs.py escapes "$n" "$f"
  a=$(seconds "$folian" info "$f"); b=$(seconds pdfinfo "$f")
  row "folian info / pdfinfo" "$n" "$a" "$b" "$(ratio "$a" "$b")"
done
