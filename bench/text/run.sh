#!/usr/bin/env bash
# Text extraction speed: extracts all text of a 1000-page document that
# ghostscript makes from PostScript (text in five fonts, 50 lines a page) with
# "folian text", "pdftotext" and "mutool draw -F txt", and prints the mean wall
# time of each and folian's time as a share of pdftotext's. The goal is at most
# half of pdftotext's time. Not part of CI: run it by hand.
#   bench/text/run.sh [RUNS]      (default 5 runs per tool)
set -euo pipefail
cd "$(dirname "$0")/../.."

runs=${1:-5}
build=build/default
cmake --preset default >/dev/null
cmake --build "$build" -j 2 --target folian >/dev/null
folian=$build/tools/folian/folian
dir=$build/bench-files
mkdir -p "$dir"
pdf=$dir/text-1000.pdf

if [ ! -f "$pdf" ]; then
  cat >"$dir/text-1000.ps" <<'PS'
%!PS
/fonts [/Times-Roman /Helvetica /Courier /Times-Bold /Helvetica-Oblique] def
/line (the apparatus according to claim one, wherein the folded sheet is held by a clamp) def
1 1 1000 {
  /page exch def
  /Helvetica-Bold findfont 14 scalefont setfont
  72 760 moveto (Patent document page ) show page 10 string cvs show
  0 1 49 {
    /i exch def
    fonts i 5 mod get findfont 10 scalefont setfont
    72 740 i 14 mul sub moveto (Claim ) show i 10 string cvs show (: ) show line show
  } for
  showpage
} for
PS
  gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile="$pdf" "$dir/text-1000.ps"
fi

# Mean wall time of a command over $runs runs, in milliseconds.
mean_ms() {
  local start end
  "$@" >/dev/null 2>&1 || true   # warm the page cache
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1 || true; done
  end=$(date +%s%N)
  echo $(( (end - start) / runs / 1000000 ))
}

words() { wc -w | tr -d ' '; }
echo "file: $pdf ($(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}') pages, $(stat -c %s "$pdf") bytes), $runs runs each"
printf '%-34s %10s %10s\n' "tool" "time (ms)" "words"
t_folian=$(mean_ms "$folian" text "$pdf")
printf '%-34s %10s %10s\n' "folian text" "$t_folian" "$("$folian" text "$pdf" | words)"
t_tsv=$(mean_ms "$folian" text --tsv "$pdf")
printf '%-34s %10s %10s\n' "folian text --tsv" "$t_tsv" "-"
t_pdftotext=$(mean_ms pdftotext "$pdf" -)
printf '%-34s %10s %10s\n' "pdftotext" "$t_pdftotext" "$(pdftotext "$pdf" - | words)"
t_raw=$(mean_ms pdftotext -raw "$pdf" -)
printf '%-34s %10s %10s\n' "pdftotext -raw" "$t_raw" "-"
if command -v mutool >/dev/null; then
  t_mutool=$(mean_ms mutool draw -q -F txt -o /dev/null "$pdf")
  printf '%-34s %10s %10s\n' "mutool draw -F txt" "$t_mutool" "$(mutool draw -q -F txt -o - "$pdf" 2>/dev/null | words)"
fi
awk -v a="$t_folian" -v b="$t_pdftotext" 'BEGIN { printf "folian / pdftotext: %.2f (goal: at most 0.50)\n", (b > 0 ? a / b : 0) }'
