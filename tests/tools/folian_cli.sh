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

# A merge never destroys a file: an input named as output is refused before anything
# is written, a failed merge leaves what -o named untouched, and no temporary file stays.
cp "$work/a.pdf" "$work/a-before.pdf"
"$folian" merge -o "$work/a.pdf" "$work/b.pdf" "$work/a.pdf" >/dev/null 2>"$work/err.txt"
check "an input named as output is refused as bad usage" '[ $? -eq 2 ]'
check "the refusal says why" 'grep -q "also an input" "$work/err.txt"'
check "the input named as output is unchanged" 'cmp -s "$work/a.pdf" "$work/a-before.pdf"'
ln "$work/a.pdf" "$work/a-link.pdf"
"$folian" merge -o "$work/a-link.pdf" "$work/a.pdf" >/dev/null 2>&1
check "an input reached through a hard link is refused too" '[ $? -eq 2 ] && cmp -s "$work/a.pdf" "$work/a-before.pdf"'

printf 'keep me' >"$work/kept.pdf"
"$folian" merge -o "$work/kept.pdf" "$work/missing1.pdf" "$work/bad.bin" >/dev/null 2>"$work/err.txt"
check "no usable input exits 1" '[ $? -eq 1 ]'
check "no usable input says nothing was written" 'grep -q "not written" "$work/err.txt"'
check "no usable input leaves the target as it was" '[ "$(cat "$work/kept.pdf")" = "keep me" ]'
"$folian" merge -o "$work/never.pdf" "$work/missing1.pdf" >/dev/null 2>&1
check "no usable input makes no output file" '[ ! -e "$work/never.pdf" ]'
"$folian" merge -o "$work/kept.pdf" "$work/a.pdf:2" >/dev/null 2>&1
check "a good merge replaces the target" '[ $? -eq 0 ] && [ "$(pdfinfo "$work/kept.pdf" | awk "/^Pages:/ {print \$2}")" = 1 ]'
check "a replaced target gets the permissions of a new file" '[ "$(stat -c %a "$work/kept.pdf")" = "$(printf "%o" $((0666 & ~0$(umask))))" ]'
check "no temporary file is left beside the target" '[ -z "$(find "$work" -name ".*.pdf.*")" ]'
if [ -c /dev/full ]; then
  "$folian" merge -o /dev/full "$work/a.pdf" >/dev/null 2>&1
  check "a device that cannot take the output makes the merge fail" '[ $? -eq 1 ]'
  check "the device named as output is still there" '[ -c /dev/full ]'
fi

# folian info goes by the pages the tree holds, whatever its root /Count claims.
python3 - "$work/lying.pdf" <<'PY'
import sys
bodies = [b"<< /Type /Catalog /Pages 2 0 R >>",
          b"<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 1000000000 /MediaBox [0 0 300 400] >>"]
bodies += [b"<< /Type /Page /Parent 2 0 R >>"] * 3
pdf, offsets = b"%PDF-1.4\n", []
for i, body in enumerate(bodies):
    offsets.append(len(pdf))
    pdf += b"%d 0 obj\n%s\nendobj\n" % (i + 1, body)
xref = len(pdf)
pdf += b"xref\n0 %d\n0000000000 65535 f \n" % (len(bodies) + 1)
pdf += b"".join(b"%010d 00000 n \n" % o for o in offsets)
pdf += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(bodies) + 1, xref)
open(sys.argv[1], "wb").write(pdf)
PY
"$folian" info "$work/lying.pdf" >"$work/info.txt" 2>"$work/err.txt"
check "info of a file with a lying count exits 0" '[ $? -eq 0 ]'
check "info counts the pages the tree holds" 'grep -q "^Pages:    3$" "$work/info.txt"'
check "info lists each of them" '[ "$(grep -c "media \[0 0 300 400\]" "$work/info.txt")" = 3 ]'
check "info warns about the claim" 'grep -q "claims 1000000000 pages but holds 3" "$work/err.txt"'
"$folian" merge -o "$work/lying-merged.pdf" "$work/lying.pdf" >/dev/null 2>&1
check "merge takes the pages the tree holds" '[ $? -eq 0 ] && [ "$(pdfinfo "$work/lying-merged.pdf" | awk "/^Pages:/ {print \$2}")" = 3 ]'
mv "$work/lying.pdf" "$work/lying.bad"


# Encrypted inputs: a file that needs a password is refused with 1018 and info says
# why; one that opens with the empty password merges into a plain file. The locked
# file is not named .pdf, since qpdf --check (run over the test output) cannot open it.
if command -v qpdf >/dev/null; then
  qpdf --encrypt user owner 256 -- "$work/a.pdf" "$work/locked.bin"
  "$folian" info "$work/locked.bin" >/dev/null 2>"$work/locked.txt"
  status=$?
  check "info of a file that needs a password exits 1" '[ $status -eq 1 ]'
  check "info says a password is needed" 'grep -q "a password is needed" "$work/locked.txt"'
  "$folian" merge -o "$work/locked-merge.pdf" "$work/b.pdf:1" "$work/locked.bin" >/dev/null 2>"$work/locked.txt"
  check "merge names the locked input with 1018" 'grep -q "locked.bin: .*(1018)" "$work/locked.txt"'
  qpdf --encrypt "" owner 256 -- --object-streams=generate "$work/b.pdf" "$work/open.pdf"
  "$folian" merge -o "$work/opened.pdf" "$work/open.pdf" >/dev/null 2>&1
  check "a file with an empty password merges" '[ $? -eq 0 ]'
  check "the merged file is not encrypted" 'qpdf --show-encryption "$work/opened.pdf" | grep -q "File is not encrypted"'
  check "the merged file has every page" '[ "$(pdfinfo "$work/opened.pdf" | awk "/^Pages:/ {print \$2}")" = 5 ]'
fi

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

# Stamped merges: a header line and "Page N" on every page in order, a logo page
# beneath every page; a logo that cannot be used writes nothing.
"$folian" --help >"$work/help.txt" 2>&1
check "--help exits 0 and names the stamp options" '[ $? -eq 0 ] && grep -q -- "--header TEXT" "$work/help.txt" && grep -q -- "--page-numbers FORMAT" "$work/help.txt" && grep -q -- "--logo FILE" "$work/help.txt"'
python3 - "$work/logo.pdf" <<'PY'
import sys
content = b"1 g 0 0 595 842 re f BT /F1 9 Tf 400 30 Td (LOGO-MARK) Tj ET"
bodies = [b"<< /Type /Catalog /Pages 2 0 R >>",
          b"<< /Type /Pages /Kids [4 0 R 3 0 R] /Count 2 >>",
          b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 5 0 R"
          b" /Resources << /Font << /F1 6 0 R >> >> >>",
          b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
          b"<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content),
          b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
pdf, offsets = b"%PDF-1.4\n", []
for i, body in enumerate(bodies):
    offsets.append(len(pdf))
    pdf += b"%d 0 obj\n%s\nendobj\n" % (i + 1, body)
xref = len(pdf)
pdf += b"xref\n0 %d\n0000000000 65535 f \n" % (len(bodies) + 1)
pdf += b"".join(b"%010d 00000 n \n" % o for o in offsets)
pdf += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(bodies) + 1, xref)
open(sys.argv[1], "wb").write(pdf)
PY
"$folian" merge --header "Case 12/345" --page-numbers "Page %p" --logo "$work/logo.pdf:2" \
  -o "$work/stamped.pdf" "$work/a.pdf" "$work/b.pdf" >/dev/null 2>"$work/err.txt"
check "a stamped merge exits 0" '[ $? -eq 0 ]'
check "the stamped merge passes qpdf" 'qpdf --check "$work/stamped.pdf" >/dev/null 2>&1'
check "the stamped merge has no dangling reference" '"$(dirname "$0")/../../scripts/check-refs" "$work/stamped.pdf" >/dev/null'
for page in 1 2 3 4 5; do
  pdftotext -f $page -l $page "$work/stamped.pdf" "$work/page.txt"
  check "page $page shows the header, its number and the logo" 'grep -q "Case 12/345" "$work/page.txt" && grep -qx "Page $page" "$work/page.txt" && grep -q "LOGO-MARK" "$work/page.txt"'
done
"$folian" merge --logo "$work/missing-logo.pdf" -o "$work/unstamped.pdf" "$work/a.pdf" >/dev/null 2>"$work/err.txt"
check "a missing logo exits 1 and writes nothing" '[ $? -eq 1 ] && [ ! -e "$work/unstamped.pdf" ] && grep -q "missing-logo.pdf" "$work/err.txt"'
"$folian" merge --logo "$work/a.pdf:9" -o "$work/unstamped.pdf" "$work/a.pdf" >/dev/null 2>&1
check "a logo page the file lacks exits 1 and writes nothing" '[ $? -eq 1 ] && [ ! -e "$work/unstamped.pdf" ]'
"$folian" merge --logo "$work/a.pdf:0" -o "$work/unstamped.pdf" "$work/a.pdf" >/dev/null 2>&1
check "logo page 0 is bad usage" '[ $? -eq 2 ]'
"$folian" merge --frobnicate -o "$work/unstamped.pdf" "$work/a.pdf" >/dev/null 2>&1
check "an unknown option is bad usage" '[ $? -eq 2 ] && [ ! -e "$work/unstamped.pdf" ]'
# folian text: plain text with a form feed between pages, tokens with --tsv, page ranges.
"$folian" text "$work/a.pdf" >"$work/text.txt"
check "text exits 0" '[ $? -eq 0 ]'
check "text shows the page heading" 'grep -q "^Page 2 of 3: text" "$work/text.txt"'
check "text separates three pages by two form feeds" '[ "$(tr -cd "\f" <"$work/text.txt" | wc -c)" = 2 ]'
"$folian" text --pages 2-3 --tsv "$work/a.pdf" >"$work/text.tsv"
check "tsv rows have eight columns" '[ -z "$(awk -F"\t" "NF != 8" "$work/text.tsv")" ]'
check "tsv keeps to the page range" '[ "$(cut -f1 "$work/text.tsv" | sort -u | tr "\n" " ")" = "2 3 " ]'
check "tsv gives position and font" 'grep -q "^2	56.00	780.00	.*	Helvetica-Bold	folian32 sample page$" "$work/text.tsv"'
"$folian" text "$work/bad.bin" >/dev/null 2>&1
check "text of a file that is no PDF exits 1" '[ $? -eq 1 ]'
"$folian" text "$work/a.pdf" --pages 9-9 >/dev/null 2>&1
check "text of a page beyond the file exits 1" '[ $? -eq 1 ]'
"$folian" text "$work/a.pdf" --pages 3-1 >/dev/null 2>&1
check "a backwards text range is bad usage" '[ $? -eq 2 ]'

if [ $fail -eq 0 ]; then echo "folian cli: ok"; fi
exit $fail
