#!/usr/bin/env bash
# Merge benchmark: 1000 one-page files (split from a ghostscript-made 1000-page
# document) and 10,000 pages (ten copies of that document), merged by folian and by
# the peer tools in the same run. Prints wall time, peak memory and output size of
# each (folian with and without sharing identical objects), and each figure as a
# ratio to folian's.
#   bench/merge/run.sh [BUILD_DIR]     (default build/default)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/default}"
folian="$build/tools/folian/folian"
[ -x "$folian" ] || { echo "build folian first (cmake --build --preset default)"; exit 1; }
work="$build/bench-merge"
mkdir -p "$work/split"

if [ ! -f "$work/doc1000.pdf" ]; then
  cat > "$work/pages.ps" <<'PS'
%!PS
/Helvetica findfont 36 scalefont setfont
1 1 1000 { /n exch def
  72 720 moveto (Benchmark page ) show n 10 string cvs show
  0.5 setgray 72 100 n 1000 div 400 mul 300 rectfill
  showpage } for
PS
  gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -dCompatibilityLevel=1.4 -sOutputFile="$work/doc1000.pdf" "$work/pages.ps"
  qpdf --split-pages "$work/doc1000.pdf" "$work/split/page-%d.pdf"
fi
mapfile -t singles < <(ls "$work"/split/page-*.pdf | sort -t- -k2 -n)
tens=()
for i in $(seq 10); do tens+=("$work/doc1000.pdf"); done

# measure NAME OUT COMMAND...: prints "NAME seconds peak-KiB" and checks the result.
measure() {
  local name=$1 out=$2; shift 2
  rm -f "$out"
  /usr/bin/time -f "%e %M" -o "$work/time.txt" "$@" >/dev/null 2>"$work/err.txt" || {
    echo "$name failed: $(tail -2 "$work/err.txt")"; return; }
  local pages size
  pages=$(pdfinfo "$out" 2>/dev/null | awk '/^Pages:/ {print $2}')
  size=$(stat -c %s "$out")
  read -r secs kib < "$work/time.txt"
  printf '%s %s %s %s %s\n' "$name" "$secs" "$kib" "${pages:-?}" "$size"
}

run_case() {
  local label=$1; shift
  local -a inputs=("$@")
  echo "== $label (${#inputs[@]} input files)"
  {
    measure folian "$work/out-folian.pdf" "$folian" merge -o "$work/out-folian.pdf" "${inputs[@]}"
    measure folian-nodedupe "$work/out-folian-nd.pdf" "$folian" merge --no-dedupe -o "$work/out-folian-nd.pdf" "${inputs[@]}"
    measure qpdf "$work/out-qpdf.pdf" qpdf --empty --pages "${inputs[@]}" -- "$work/out-qpdf.pdf"
    measure pdfunite "$work/out-pdfunite.pdf" pdfunite "${inputs[@]}" "$work/out-pdfunite.pdf"
    measure mutool "$work/out-mutool.pdf" mutool merge -o "$work/out-mutool.pdf" "${inputs[@]}"
  } > "$work/results.txt"
  awk 'NR==1 {ft=$2; fm=$3; fs=$5}
       {printf "%-16s %8.2f s %9d KiB  pages %-6s %7.2f MB  time x%-6.2f memory x%-6.2f size x%.2f\n", $1, $2, $3, $4,
              $5/1e6, (ft > 0 ? $2/ft : 0), (fm > 0 ? $3/fm : 0), (fs > 0 ? $5/fs : 0)}' "$work/results.txt"
  printf 'original document: %.2f MB\n' "$(echo "$(stat -c %s "$work/doc1000.pdf") / 1000000" | bc -l)"
}

run_case "1000 one-page files" "${singles[@]}"
run_case "10,000 pages" "${tens[@]}"
echo "(ratios are each tool's figure divided by folian's)"
