#!/usr/bin/env bash
# folian forms and folian fill against outside readers: forms made by reportlab,
# listed as qpdf lists them, filled so that qpdf reads the new values and poppler
# draws them inside the fields, and merged twice into two independent forms.
# The reportlab file itself is kept as form.rl: reportlab writes its form resources
# with a duplicated key, which qpdf --check warns about when it sweeps the outputs.
set -u
folian=$1
work=$2/folian-forms-cli
src=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work" && mkdir -p "$work"
fail=0
check() { if eval "$2"; then :; else echo "FAILED: $1"; fail=1; fi; }
py=/usr/bin/python3
oracle="$py $src/tests/pdf/forms/forms_oracle.py"
if ! $py -c 'import reportlab' 2>/dev/null || ! command -v qpdf >/dev/null; then
  echo "reportlab or qpdf missing: skipped"; exit 0
fi

$py "$src/tests/pdf/forms/make_form.py" "$work/form.rl"
"$folian" forms "$work/form.rl" >"$work/forms.txt"
check "forms exits 0" '[ $? -eq 0 ]'
qpdf --json "$work/form.rl" >"$work/form.json" 2>/dev/null
check "forms agrees with qpdf" '$oracle agree "$work/forms.txt" "$work/form.json"'
check "forms shows the multi-line flag" 'grep -q "^notes	Tx	first line	4096	1	72 560 372 660$" "$work/forms.txt"'

"$folian" fill -o "$work/filled.pdf" "$work/form.rl" applicant="Grace Hopper" number=US7654321 agree=Yes \
  urgent=Off "notes=Kilroy was here
second line" >/dev/null
check "fill exits 0" '[ $? -eq 0 ]'
check "the filled file passes qpdf" 'qpdf --check "$work/filled.pdf" >/dev/null 2>&1'
check "the filled file refers to no missing object" '$py "$src/scripts/check-refs" "$work/filled.pdf"'
qpdf --json "$work/filled.pdf" >"$work/filled.json" 2>/dev/null
check "qpdf reads the new text value" '$oracle value "$work/filled.json" applicant "Grace Hopper"'
check "qpdf reads the checked box" '$oracle value "$work/filled.json" agree Yes'
check "qpdf reads the cleared box" '$oracle value "$work/filled.json" urgent Off'
"$folian" forms "$work/filled.pdf" >"$work/filled.txt"
check "forms of the filled file agrees with qpdf" '$oracle agree "$work/filled.txt" "$work/filled.json"'
pdftotext -bbox "$work/filled.pdf" "$work/filled.html"
check "the value is drawn inside its field" '$oracle inside "$work/filled.html" Hopper "$work/forms.txt" applicant'
check "the page-2 value is drawn inside its field" '$oracle inside "$work/filled.html" US7654321 "$work/forms.txt" number'
check "the wrapped second line is inside its field" '$oracle inside "$work/filled.html" second "$work/forms.txt" notes'
pdftoppm -r 36 -gray -f 1 -l 1 "$work/form.rl" "$work/before"
pdftoppm -r 36 -gray -f 1 -l 1 "$work/filled.pdf" "$work/after"
check "the rendered field shows the new value" '$oracle drawn "$work"/before*.pgm "$work"/after*.pgm "$work/forms.txt" applicant 36'

"$folian" merge -o "$work/twice.pdf" "$work/filled.pdf" "$work/filled.pdf" >/dev/null 2>"$work/twice.err"
check "the merge passes qpdf" 'qpdf --check "$work/twice.pdf" >/dev/null 2>&1'
check "the merge refers to no missing object" '$py "$src/scripts/check-refs" "$work/twice.pdf"'
check "the renaming is reported" 'grep -q "renamed applicant#2" "$work/twice.err"'
qpdf --json "$work/twice.pdf" >"$work/twice.json" 2>/dev/null
"$folian" forms "$work/twice.pdf" >"$work/twice.txt"
check "forms of the merge agrees with qpdf" '$oracle agree "$work/twice.txt" "$work/twice.json"'
check "the merge holds both forms" '[ "$(wc -l <"$work/twice.txt")" = 10 ]'
"$folian" fill -o "$work/twice-filled.pdf" "$work/twice.pdf" "applicant#2=Second Copy" >/dev/null
qpdf --json "$work/twice-filled.pdf" >"$work/twice-filled.json" 2>/dev/null
check "the copies are independent" '$oracle value "$work/twice-filled.json" "applicant#2" "Second Copy" &&
  $oracle value "$work/twice-filled.json" applicant "Grace Hopper"'

cp "$work/form.rl" "$work/keep.rl"
"$folian" fill -o "$work/keep.rl" "$work/form.rl" nosuchfield=1 >/dev/null 2>"$work/err.txt"
check "an unknown field name exits 1" '[ $? -eq 1 ]'
check "the unknown name is reported" 'grep -q "no field named nosuchfield" "$work/err.txt"'
check "the target is left as it was" 'cmp -s "$work/keep.rl" "$work/form.rl"'
"$folian" fill -o "$work/form.rl" "$work/form.rl" applicant=x >/dev/null 2>&1
check "filling a file onto itself is refused" '[ $? -eq 2 ]'
"$folian" fill -o "$work/x.pdf" "$work/form.rl" novalue >/dev/null 2>&1
check "an argument without = is bad usage" '[ $? -eq 2 ]'
printf 'not a pdf' >"$work/bad.bin"
"$folian" forms "$work/bad.bin" >/dev/null 2>&1
check "forms of a non-PDF exits 1" '[ $? -eq 1 ]'
exit $fail
