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

# --bookmarks: one top-level bookmark per input with the input's outline beneath.
# The inputs are made by reportlab with outlines, links and named destinations.
outlined=$(dirname "$0")/../pdf/outline
if /usr/bin/python3 -c 'import reportlab' 2>/dev/null; then
  for tag in A B C; do /usr/bin/python3 "$outlined/make_outlined.py" "$work/$tag.pdf" 3 $tag; done
  "$folian" merge --bookmarks -o "$work/marked.pdf" "$work/A.pdf" "$work/B.pdf:2-3" "$work/C.pdf" >/dev/null 2>&1
  check "merge --bookmarks exits 0" '[ $? -eq 0 ]'
  check "merge --bookmarks passes qpdf" 'qpdf --check "$work/marked.pdf" >/dev/null 2>&1'
  /usr/bin/python3 "$outlined/summarize.py" "$work/marked.pdf" | grep '^outline: [^ ]' >"$work/top.txt"
  printf '%s\n' "outline: A document -> p1 closed" "outline: B document -> p4 closed" \
    "outline: C document -> p6 closed" >"$work/top-expected.txt"
  check "three top-level bookmarks, one per input" 'diff "$work/top-expected.txt" "$work/top.txt"'
  /usr/bin/python3 "$outlined/summarize.py" "$work/marked.pdf" | grep -c '^outline:   ' >"$work/nested.txt"
  check "each input's outline beneath its bookmark" '[ "$(cat "$work/nested.txt")" = 8 ]'
  check "no dangling reference" '! /usr/bin/python3 "$outlined/summarize.py" "$work/marked.pdf" | grep -q dangling'
  check "the merged file takes no input's title" '! pdfinfo "$work/marked.pdf" | grep -q "^Title:.*document"'
fi

if [ $fail -eq 0 ]; then echo "folian cli: ok"; fi
exit $fail
