#!/usr/bin/env bash
# The folian command line: merges with ranges, reports bad inputs with a non-zero
# status while keeping the good pages, prints page information, refuses bad usage.
set -u
folian=$1
work=$2/folian-cli
rm -rf "$work" && mkdir -p "$work"
fail=0
check() { if eval "$2"; then :; else echo "FAILED: $1"; fail=1; fi; }

"$folian" sample "$work/a.pdf" 3 >/dev/null
"$folian" sample "$work/b.pdf" 5 >/dev/null
check "the sample passes qpdf" 'qpdf --check "$work/a.pdf" >/dev/null 2>&1'
check "the sample shows its text" 'pdftotext -f 2 -l 2 "$work/a.pdf" - | grep -q "Page 2 of 3"'
check "the sample draws every text font" '[ "$(pdftotext "$work/a.pdf" - | grep -c "pt wide")" = 36 ]'

"$folian" merge -o "$work/merged.pdf" "$work/a.pdf" "$work/b.pdf:2-4" "$work/a.pdf:3" >"$work/out.txt" 2>&1
check "merge of good inputs exits 0" '[ $? -eq 0 ]'
check "merged page count" '[ "$(pdfinfo "$work/merged.pdf" | awk "/^Pages:/ {print \$2}")" = 7 ]'
check "merged file passes qpdf" 'qpdf --check "$work/merged.pdf" >/dev/null 2>&1'

"$folian" merge -o "$work/partial.pdf" "$work/a.pdf" "$work/missing.pdf" "$work/b.pdf:5" >"$work/out.txt" 2>"$work/err.txt"
status=$?
check "a missing input makes the merge exit 1" '[ $status -eq 1 ]'
check "the missing input is named" 'grep -q "missing.pdf" "$work/err.txt"'
check "the good pages stay" '[ "$(pdfinfo "$work/partial.pdf" | awk "/^Pages:/ {print \$2}")" = 4 ]'

"$folian" merge -o "$work/x.pdf" "$work/a.pdf:3-1" >/dev/null 2>&1
check "a backwards range is bad usage" '[ $? -eq 2 ]'
"$folian" merge "$work/a.pdf" >/dev/null 2>&1
check "merge without -o is bad usage" '[ $? -eq 2 ]'
"$folian" merge -o /nonexistent-folder/x.pdf "$work/a.pdf" >/dev/null 2>&1
check "an unwritable output exits 1" '[ $? -eq 1 ]'

"$folian" info "$work/merged.pdf" >"$work/info.txt"
check "info exits 0" '[ $? -eq 0 ]'
check "info shows the page count" 'grep -q "^Pages:    7$" "$work/info.txt"'
check "info shows every page box" '[ "$(grep -c "media \[0 0 595 842\]" "$work/info.txt")" = 7 ]'
printf 'not a pdf' >"$work/bad.bin"
"$folian" info "$work/bad.bin" >/dev/null 2>&1
check "info of a non-PDF exits 1" '[ $? -eq 1 ]'

if [ $fail -eq 0 ]; then echo "folian cli: ok"; fi
exit $fail
