#!/usr/bin/env bash
# JPO IPDL, PAJ and Delphion end to end: orvane --headless against its own
# office simulator on 127.0.0.1, in private settings roots. The joined IPDL
# documents pass qpdf --check and show their pages in order (pdftotext: every
# simulated page says "Page N of TOTAL"); the saved PAJ and Delphion pages are
# opened the way a browser would: each image they show locally must resolve
# to a file beside the page.
#   usage: jpo_e2e.sh ORVANE OFFICE_SIM [OUTPUT_DIR]
# The documents and pages of the main runs are copied to OUTPUT_DIR when given.
set -u
orvane="$1"
sim="$2"
output="${3:-}"
# shellcheck source=sim_lib.sh
. "$(dirname "$0")/sim_lib.sh"

sim_start --page-bytes 1500

# newhome NAME FOLDER_PER_NUMBER: a fresh settings root and a reset simulator.
home=""
save=""
newhome() {
  home="$work/$1"
  save="$home/patent_file"
  mkdir -p "$home"
  echo "connect_to=127.0.0.1:$port" >"$home/hosts.txt"
  echo "$2" >"$home/check.txt"
  control reset go >/dev/null
}
out=""
status=0
# orv SERVICE [ARGS...]
orv() {
  local service="$1"
  shift
  out=$(ORVANE_HOME="$home" timeout 120 "$orvane" --headless --service "$service" "$@" 2>&1)
  status=$?
}
has() { grep -qxF -- "$1" <<<"$out"; }

# pdf FILE PAGE... : the file passes qpdf --check and shows exactly these pages in order.
pdf() {
  local file="$1"
  shift
  [ -f "$file" ] || { fail "missing $file"; return; }
  qpdf --check "$file" >/dev/null 2>&1 || fail "qpdf --check $file"
  local want="$*" got
  got=$(pdftotext "$file" - 2>/dev/null | sed -n 's/^Page \([0-9]*\) of [0-9]*$/\1/p' | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$want" ] || fail "$(basename "$file"): pages '$got', expected '$want'"
}

# page HTML KIND REMOTE: the saved page shows an image of the kind (jpg, gif)
# from a file beside it, and no image address of the office is left but REMOTE.
page() {
  local html="$1" kind="$2" remote="$3"
  [ -f "$html" ] || { fail "missing $html"; return; }
  local dir refs ref local=0
  dir=$(dirname "$html")
  refs=$(grep -o 'SRC=[^ >]*' "$html" | sed 's/^SRC=//; s/^"//; s/"$//')
  for ref in $refs; do
    case "$ref" in
      http://*)
        [ "$ref" = "$remote" ] || fail "$(basename "$html"): remote image $ref"
        ;;
      /*) fail "$(basename "$html"): image $ref still points at the office" ;;
      *)
        # A relative reference is resolved against the page's folder, as a
        # browser does, after undoing its percent-encoding.
        local file
        file=$(printf '%b' "$(sed 's/%\([0-9A-F][0-9A-F]\)/\\x\1/g' <<<"$ref")")
        [ -f "$dir/$file" ] || fail "$(basename "$html"): image $ref does not resolve to a file"
        file --brief "$dir/$file" | grep -qi "$kind" || fail "$(basename "$html"): $ref is not a $kind image"
        local=$((local + 1))
        ;;
    esac
  done
  [ "$local" -ge 1 ] || fail "$(basename "$html"): no local image"
}

# 1. The four full-text kinds, pages made and fetched one at a time and joined;
#    the page count "0012" gives 12 pages, "0000" gives FAILED.
newhome ipdl 0
orv ipdl --kind patent-publication --range full <<<$'2001123456\n2002000012\n2003000000'
[ "$status" -eq 1 ] || fail "ipdl: exit status $status, expected 1 (one number not found)"
pdf "$save/2001123456_TOT.pdf" 1 2 3 4 5
pdf "$save/2002000012_TOT.pdf" $(seq 1 12)
has "3. 2003000000  FAILED !" || fail "ipdl: the count 0000 did not fail"
has "++++ Full Pages  Finished ++++" || fail "ipdl: closing line"
[ ! -e "$save/temp" ] || fail "ipdl: the temporary folder is left behind"
control requests | grep -qxF 'POST /Tokujitu/tjsogodbk.ipdl' || fail "ipdl: no search post"
[ "$(control log | grep -c '^ipdl make 2002000012 ')" -eq 12 ] || fail "ipdl: not one page-making post per page"
if [ -n "$output" ]; then
  mkdir -p "$output"
  cp "$save"/*.pdf "$output"/
fi
orv ipdl --kind utility-publication --range full <<<'H05012345'
pdf "$save/H05012345_TOT.pdf" 1 2 3
orv ipdl --kind patent-gazette --range full <<<'3012345'
pdf "$save/3012345_TOT.pdf" 1 2 3 4
orv ipdl --kind utility-registration --pages 2 <<<'3054321'
pdf "$save/3054321_PG2.pdf" 2
has "+++++ Each Page Finished +++++" || fail "ipdl: page list closing line"

# 2. A page the server fails to make three times: its BAD line, the next page
#    still made and fetched; a bad-page run then completes the document.
newhome badmake 0
control fault 'service=ipdl,request=make,number=2001123456,page=3,html' >/dev/null
orv ipdl --kind patent-publication --range full <<<'2001123456'
[ "$status" -eq 1 ] || fail "badmake: exit status $status, expected 1 (an incomplete document)"
grep -qF "1. 2001123456 :  3 Page   BAD ! ->" <<<"$out" || fail "badmake: no BAD line for page 3"
grep -qF "1. 2001123456 :  4 Page  GOOD !" <<<"$out" || fail "badmake: page 4 not fetched after the BAD page"
[ "$(control log | grep -c '^ipdl make 2001123456 3 ')" -eq 3 ] || fail "badmake: page 3 not made three times"
control reset go >/dev/null
orv ipdl --kind patent-publication --bad-pages 3 <<<'2001123456'
[ "$status" -eq 0 ] || fail "badmake: the bad-page run's exit status $status"
pdf "$save/2001123456_TOT.pdf" 1 2 3 4 5

# 3. PAJ: the English abstract beside its drawing; the per-number folder is
#    switched on and stays on; a detail answer without the page name fails.
newhome paj 0
orv ipdl --kind paj <<<$'2001123456\n2001999999'
has "++++++++ PAJ  Finished ++++++++" || fail "paj: closing line"
has "2. 2001999999  FAILED !" || fail "paj: a detail answer without the page name was taken"
[ "$(cat "$home/check.txt")" = "1" ] || fail "paj: the per-number folder option is not on"
page "$save/2001123456/2001123456_PAJ.htm" jpeg ""
[ -f "$save/2001123456/2001123456_PAJ.jpg" ] || fail "paj: no drawing"
orv ipdl --kind patent-gazette --range full <<<'3012345'
[ "$(cat "$home/check.txt")" = "1" ] || fail "paj: the per-number folder option went off"
pdf "$save/3012345/3012345_TOT.pdf" 1 2 3 4
if [ -n "$output" ]; then cp -r "$save/2001123456" "$output"/; fi

# 4. Delphion: the A2 document page with the logo, saved beside its image.
newhome delphion 0
orv delphion <<<$'JP2001123456\nJP2001999999'
has "++++++++ PAJ  Finished ++++++++" || fail "delphion: closing line"
has "2. JP2001999999  FAILED !" || fail "delphion: a page without the logo was taken"
control requests | grep -qxF 'GET /cgi-bin/viewpat.cmd/JP2001123456A2' || fail "delphion: document address"
control requests | grep -qxF 'GET /gifcache/JP2001123456A2/00000001.gif' || fail "delphion: image address"
page "$save/JP2001123456/JP2001123456_PAJ.htm" gif "http://delphion.office.test/icons/jpo_logo.gif"
grep -qF 'SRC=http://delphion.office.test/icons/jpo_logo.gif' "$save/JP2001123456/JP2001123456_PAJ.htm" ||
  fail "delphion: the logo is not shown from the office"
if [ -n "$output" ]; then cp -r "$save/JP2001123456" "$output"/; fi

if [ "$failures" -ne 0 ]; then
  echo "--- last output:"
  echo "$out" | tail -40
  exit 1
fi
echo "ok"
