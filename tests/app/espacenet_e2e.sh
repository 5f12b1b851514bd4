#!/usr/bin/env bash
# esp@cenet end to end: orvane --headless against its own office simulator on
# 127.0.0.1, in a private settings root. Checks the joined documents with
# qpdf --check, their page counts with pdfinfo and their page order with
# pdftotext (every simulated page says "Page N of TOTAL").
#   usage: espacenet_e2e.sh ORVANE OFFICE_SIM [OUTPUT_DIR]
# The documents of the main run are copied to OUTPUT_DIR when given.
set -u
orvane="$1"
sim="$2"
output="${3:-}"
# shellcheck source=sim_lib.sh
. "$(dirname "$0")/sim_lib.sh"

sim_start --page-bytes 1500

# A fresh settings root with every request sent to the simulator; the second
# argument is the folder-per-number option (1 on, 0 off).
home=""
newhome() {
  home="$work/$1"
  mkdir -p "$home"
  echo "connect_to=127.0.0.1:$port" >"$home/hosts.txt"
  echo "$2" >"$home/check.txt"
  control reset go >/dev/null
}
out=""
status=0
orv() {
  out=$(ORVANE_HOME="$home" timeout 120 "$orvane" --headless --service espacenet "$@" 2>&1)
  status=$?
}
has() { grep -qxF -- "$1" <<<"$out"; }

# pdf FILE PAGE... : the file passes qpdf --check and shows exactly these pages in order.
pdf() {
  local file="$1"
  shift
  [ -f "$file" ] || { fail "missing $file"; return; }
  qpdf --check "$file" >/dev/null 2>&1 || fail "qpdf --check $file"
  local want="$*"
  local got
  got=$(pdftotext "$file" - 2>/dev/null | sed -n 's/^Page \([0-9]*\) of [0-9]*$/\1/p' | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$want" ] || fail "$(basename "$file"): pages '$got', expected '$want'"
  local count
  count=$(pdfinfo "$file" 2>/dev/null | sed -n 's/^Pages: *//p')
  [ "$count" = "$#" ] || fail "$(basename "$file"): pdfinfo says $count pages, expected $#"
}

# 0. The joining goes through the PDF class of the library's automation layer.
#    It starts unregistered in a class registry of this run's own: the first run
#    that joins registers the library it ships with and says so, once.
export FOLIAN_REGISTRY="$work/registry"
registered="PDF 구성요소를 등록했습니다."
if [ -n "${FOLIAN32_LIBRARY:-}" ]; then
  LD_PRELOAD="${FOLIAN_PYTHON_PRELOAD:-}" timeout 60 python3 -c 'import folian; folian.register(); folian.unregister()' ||
    fail "the PDF class could not be unregistered"
  grep -q '848255D4' "$work/registry" && fail "the PDF class is still registered"
fi

# 1. Full Pages: a found number, a number not found, and the run goes on.
newhome full 0
printf 'EP1033882A1\nXX0000001\nEP1234567A1\n' >"$work/numbers.txt"
orv --numbers "$work/numbers.txt" --range full
[ "$(grep -cxF -- "$registered" <<<"$out")" -eq 1 ] || fail "full: the registration is not reported exactly once"
grep -q 'InprocServer32' "$work/registry" || fail "full: the PDF class was not registered"
save="$home/patent_file"
[ "$status" -eq 1 ] || fail "full: exit status $status, expected 1 (one number not found)"
has "2. XX0000001  FAILED !" || fail "full: no FAILED line for the unknown number"
has "++++ Full Pages  Finished ++++" || fail "full: closing line"
pdf "$save/EP1033882A1_TOT.pdf" 1 2 3 4 5 6 7 8 9 10 11 12
pdf "$save/EP1234567A1_TOT.pdf" 1 2 3 4 5 6 7
[ ! -e "$save/temp" ] || fail "full: the temporary folder is left behind"
control requests | grep -qxF 'GET /dips/bnsviewnav?CY=ep&LG=en&DB=EPD&PN=EP1234567&ID=EP+++1234567A1+I+&RETR=OKE&PG=1' ||
  fail "EP1234567A1 not looked up with PN EP1234567 and ID EP+++1234567A1+I+"
if [ -n "$output" ]; then
  mkdir -p "$output"
  cp "$save"/*.pdf "$output"/
fi

# 2. Claims, Description and Drawings of EP, US, WO and JP numbers, with the
#    per-number folders on.
newhome sections 1
printf 'EP1033882A1\nUS5007025\nWO0050842\nJP11331656\n' >"$work/numbers.txt"
orv --numbers "$work/numbers.txt" --range claims,description,drawings
save="$home/patent_file"
has "$registered" && fail "sections: the class was registered again"
[ "$status" -eq 0 ] || fail "sections: exit status $status"
pdf "$save/EP1033882A1/EP1033882A1_DRA.pdf" 9 10
pdf "$save/EP1033882A1/EP1033882A1_SPE.pdf" 2 3 4 5 6 7
pdf "$save/EP1033882A1/EP1033882A1_CLA.pdf" 7 8
pdf "$save/US5007025/US5007025_DRA.pdf" 2 3 4
pdf "$save/US5007025/US5007025_SPE.pdf" 5 6 7 8 9
pdf "$save/US5007025/US5007025_CLA.pdf" 9 10
pdf "$save/WO0050842/WO0050842_DRA.pdf" 15 16 17
pdf "$save/WO0050842/WO0050842_SPE.pdf" 2 3 4 5 6 7 8 9 10 11
pdf "$save/WO0050842/WO0050842_CLA.pdf" 12 13 14
for s in DRA SPE CLA; do pdf "$save/JP11331656/JP11331656_$s.pdf" 1 2 3 4 5 6 7 8; done

# 3. The page list 3,99 on a 12-page document.
newhome pagelist 0
orv --pages 3,99 <<<'EP1033882A1'
save="$home/patent_file"
pdf "$save/EP1033882A1_PG3.pdf" 3
has "1. EP1033882A1 :  99 Page  없음 !" || fail "pagelist: no line for page 99"
has "+++++ Each Page Finished +++++" || fail "pagelist: closing line"

# 4. No drawings: nothing fetched, the closing line still written.
#    Markers on line 101 of the navigation page: not found.
newhome nodrawings 0
orv --range drawings <<<$'WO0099999\nEP9999101A1'
has "+++++ Drawings  Finished +++++" || fail "nodrawings: closing line"
[ ! -e "$home/patent_file/WO0099999_DRA.pdf" ] || fail "nodrawings: a drawings document was made"
has "2. EP9999101A1  FAILED !" || fail "markers on line 101 were found"
control requests | grep -q 'bns.pdf' && fail "nodrawings: pages were requested"

# 5. A page failing four times: BAD, the run goes on; a bad-page run completes the document.
newhome badpage 0
control fault 'service=espacenet,request=page,number=EP1033882A1,page=3,status=500' >/dev/null
orv --range full <<<$'EP1033882A1\nEP1234567A1'
save="$home/patent_file"
[ "$status" -eq 1 ] || fail "badpage: exit status $status, expected 1 (an incomplete document)"
grep -qF "1. EP1033882A1 :  3 Page   BAD ! ->" <<<"$out" || fail "badpage: no BAD line"
[ "$(control requests | grep -c 'PN=EP1033882A1&ID=EP+++1033882A1+I+&PG=3+$')" -eq 4 ] || fail "badpage: page 3 not asked four times"
[ -f "$save/EP1033882A1/EP1033882A14.pdf" ] || fail "badpage: the pages fetched were not kept for a bad-page run"
pdf "$save/EP1234567A1_TOT.pdf" 1 2 3 4 5 6 7
control reset go >/dev/null
orv --bad-pages 3 <<<'EP1033882A1'
[ "$status" -eq 0 ] || fail "badpage: the bad-page run's exit status $status"
pdf "$save/EP1033882A1_TOT.pdf" 1 2 3 4 5 6 7 8 9 10 11 12
[ ! -e "$save/EP1033882A1" ] || fail "badpage: the kept pages' folder is left after completing"

# 6. Stop all (Ctrl-C) in the middle of a slow document: no crash, BAD lines,
#    the later number untouched; the end message is still given.
newhome stop 0
control fault 'service=espacenet,request=page,latency=300' >/dev/null
printf 'EP1100000A1\nEP1234567A1\n' >"$work/numbers.txt"
# `timeout --foreground` passes the interrupt to orvane alone: a second one
# (sent to the whole process group) would end the program at once.
ORVANE_HOME="$home" timeout --foreground 120 "$orvane" --headless --service espacenet --range full \
  --numbers "$work/numbers.txt" >"$work/stop.out" 2>&1 &
orvpid=$!
for _ in $(seq 100); do
  grep -q 'Page  GOOD !' "$work/stop.out" && break
  sleep 0.1
done
kill -INT "$orvpid"
wait "$orvpid"
status=$?
out=$(cat "$work/stop.out")
[ "$status" -eq 1 ] || fail "stop: exit status $status, expected 1"
grep -q ' Page  BAD !$' <<<"$out" || fail "stop: no BAD line for the pages in flight"
grep -q '모든 작업이 끝났습니다' <<<"$out" || fail "stop: no end message"
control requests | grep -q 'EP1234567A1' && fail "stop: the next number was started"
[ ! -e "$home/patent_file/EP1100000A1_TOT.pdf" ] || fail "stop: a stopped document was joined"

if [ "$failures" -ne 0 ]; then
  echo "--- last output:"
  echo "$out" | tail -40
  exit 1
fi
echo "ok"
