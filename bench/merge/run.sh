#!/usr/bin/env bash
# Merge benchmark: 1000 one-page files (split from a ghostscript-made 1000-page
# document) and 10,000 pages (ten copies of that document), merged by folian and by
# the peer tools in the same run. Prints wall time, CPU time, peak memory and output
# size of each (folian with and without sharing identical objects), each figure as
# a ratio to folian's, and the targets: 10,000 pages in under a tenth of
# pdfunite's time, 1000 one-page files in at most half of mutool's time, and those
# files merged into at most 1.3 times the size of the document they were split from.
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

# timed COMMAND...: runs the command and writes "wall-seconds cpu-seconds peak-KiB"
# (CPU time is user + system, to the millisecond) to $work/time.txt; its standard
# error goes to $work/err.txt.
timed() {
  local TIMEFORMAT='%3R %3U %3S' status=0 wall user sys kib
  { time /usr/bin/time -f "%M" -o "$work/rss.txt" "$@" >/dev/null 2>"$work/err.txt"; } 2>"$work/clock.txt" || status=$?
  read -r wall user sys < "$work/clock.txt"
  read -r kib < "$work/rss.txt"
  echo "$wall $(echo "$user + $sys" | bc -l) $kib" > "$work/time.txt"
  return $status
}

# measure NAME OUT COMMAND...: runs the command three times and prints
# "NAME wall-seconds peak-KiB pages size cpu-seconds" with the best wall and the
# best CPU time of the three: the machine may be shared, and the best run is the
# one least disturbed.
measure() {
  local name=$1 out=$2; shift 2
  local best_wall="" best_cpu="" kib=0 run wall cpu
  for run in 1 2 3; do
    rm -f "$out"
    timed "$@" || { echo "$name failed: $(tail -2 "$work/err.txt")" >&2; return; }
    read -r wall cpu kib < "$work/time.txt"
    if [ -z "$best_wall" ] || (( $(echo "$wall < $best_wall" | bc -l) )); then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || (( $(echo "$cpu < $best_cpu" | bc -l) )); then best_cpu=$cpu; fi
  done
  local pages size
  pages=$(pdfinfo "$out" 2>/dev/null | awk '/^Pages:/ {print $2}')
  size=$(stat -c %s "$out")
  printf '%s %s %s %s %s %s\n' "$name" "$best_wall" "$kib" "${pages:-?}" "$size" "$best_cpu"
}

# run_case LABEL RESULTS INPUTS...: measures every tool on the inputs, keeps the
# figures in RESULTS and prints them beside folian's.
run_case() {
  local label=$1 results=$2; shift 2
  local -a inputs=("$@")
  echo "== $label (${#inputs[@]} input files)"
  {
    measure folian "$work/out-folian.pdf" "$folian" merge -o "$work/out-folian.pdf" "${inputs[@]}"
    measure folian-nodedupe "$work/out-folian-nd.pdf" "$folian" merge --no-dedupe -o "$work/out-folian-nd.pdf" "${inputs[@]}"
    measure qpdf "$work/out-qpdf.pdf" qpdf --empty --pages "${inputs[@]}" -- "$work/out-qpdf.pdf"
    measure pdfunite "$work/out-pdfunite.pdf" pdfunite "${inputs[@]}" "$work/out-pdfunite.pdf"
    measure mutool "$work/out-mutool.pdf" mutool merge -o "$work/out-mutool.pdf" "${inputs[@]}"
  } > "$results"
  awk 'NR==1 {ft=$2; fc=$6; fm=$3; fs=$5}
       {printf "%-16s %7.3f s wall %7.3f s cpu %9d KiB  pages %-6s %7.2f MB  wall x%-6.2f cpu x%-6.2f memory x%-6.2f size x%.2f\n",
              $1, $2, $6, $3, $4, $5/1e6, (ft > 0 ? $2/ft : 0), (fc > 0 ? $6/fc : 0), (fm > 0 ? $3/fm : 0), (fs > 0 ? $5/fs : 0)}' "$results"
  printf 'original document: %.2f MB\n' "$(echo "$(stat -c %s "$work/doc1000.pdf") / 1000000" | bc -l)"
}

# figure RESULTS TOOL COLUMN: one figure of one tool (2 wall, 5 size, 6 cpu).
figure() { awk -v tool="$2" -v col="$3" '$1 == tool {print $col}' "$1"; }

# verdict LABEL VALUE LIMIT STRICT: prints the ratio and whether it is within the
# target (below LIMIT when STRICT is "below", else at most LIMIT).
verdict() {
  local label=$1 value=$2 limit=$3 strict=$4 met
  if [ -z "$value" ]; then printf '%-58s  no figure\n' "$label"; return; fi
  if [ "$strict" = below ]; then met=$(echo "$value < $limit" | bc -l); else met=$(echo "$value <= $limit" | bc -l); fi
  printf '%-58s %6.3f  (target %s %s): %s\n' "$label" "$value" "$strict" "$limit" "$([ "$met" = 1 ] && echo met || echo NOT met)"
}

# ratio A B: A / B, or nothing when either is missing or B is zero.
ratio() { [ -n "$1" ] && [ -n "$2" ] && (( $(echo "$2 > 0" | bc -l) )) && echo "$1 / $2" | bc -l || true; }

run_case "1000 one-page files" "$work/results-singles.txt" "${singles[@]}"
run_case "10,000 pages" "$work/results-tens.txt" "${tens[@]}"
echo "(ratios are each tool's figure divided by folian's)"

singles_out="$work/results-singles.txt"
tens_out="$work/results-tens.txt"
original=$(stat -c %s "$work/doc1000.pdf")
echo "== targets (folian with sharing of identical objects on)"
verdict "10,000 pages: folian / pdfunite CPU time" \
  "$(ratio "$(figure "$tens_out" folian 6)" "$(figure "$tens_out" pdfunite 6)")" 0.1 below
verdict "10,000 pages: folian / pdfunite wall time" \
  "$(ratio "$(figure "$tens_out" folian 2)" "$(figure "$tens_out" pdfunite 2)")" 0.1 below
verdict "1000 one-page files: folian / mutool CPU time" \
  "$(ratio "$(figure "$singles_out" folian 6)" "$(figure "$singles_out" mutool 6)")" 0.5 "at most"
verdict "1000 one-page files: folian / mutool wall time" \
  "$(ratio "$(figure "$singles_out" folian 2)" "$(figure "$singles_out" mutool 2)")" 0.5 "at most"
verdict "1000 one-page files: output size / original document size" \
  "$(ratio "$(figure "$singles_out" folian 5)" "$original")" 1.3 "at most"
