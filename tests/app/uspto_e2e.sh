#!/usr/bin/env bash
# USPTO end to end: orvane --headless against its own office simulator on
# 127.0.0.1, in a private settings root. Granted patents and publications
# are found on their own search hosts, their sections become multi-page TIFF
# documents whose pages (tiffinfo) and pixels match the simulator's pages.
#   usage: uspto_e2e.sh ORVANE OFFICE_SIM [OUTPUT_DIR]
set -u
orvane="$1"
sim="$2"
output="${3:-}"
# shellcheck source=sim_lib.sh
. "$(dirname "$0")/sim_lib.sh"
# shellcheck source=tiff_pages.sh
. "$(dirname "$0")/tiff_pages.sh"
sim_start

out=""
status=0
orv() {
  out=$(ORVANE_HOME="$home" timeout 120 "$orvane" --headless --service uspto "$@" 2>&1)
  status=$?
}
granted='/.DImg?Docid=US005007025&PageNum=%d&IDKey=K5007025X7&ImgFormat=tif'
published='/.DImg?Docid=us20010000044ki&PageNum=%d&IDKey=K20010000044X7&ImgFormat=tif'

# 1. Full Pages of a granted patent and a publication; an unknown number fails.
newhome full 0
orv --range full <<<$'US5007025\nUS20010000044\nUS7654321'
save="$home/patent_file"
[ "$status" -eq 1 ] || fail "full: exit status $status, expected 1 (one number not found)"
has "3. 7654321  FAILED !" || fail "full: no FAILED line for the unknown number"
has "++++ Full Pages  Finished ++++" || fail "full: closing line"
tiffpages "$save/5007025_TOT.tif" "$granted" 1 2 3 4 5 6 7 8 9 10 11 12
tiffpages "$save/20010000044_TOT.tif" "$published" 1 2 3 4 5 6 7 8 9
requests=$(control requests)
grep -qxF "GET /netacgi/nph-Parser?Sect1=PTO1&Sect2=HITOFF&d=PALL&p=1&u=/netahtml/srchnum.htm&r=1&f=G&l=50&s1='5007025'.WKU.&OS=PN/5007025&RS=PN/5007025" <<<"$requests" ||
  fail "full: the granted patent was not searched with '.WKU."
grep -qxF "GET /netacgi/nph-Parser?Sect1=PTO1&Sect2=HITOFF&d=PGPB&p=1&u=/netahtml/PTO/srchnum.html&r=1&f=G&l=50&s1='20010000044'.PGNR.&OS=DN/20010000044&RS=DN/20010000044" <<<"$requests" ||
  fail "full: the publication was not searched with '.PGNR."
# The simulator answers a search only on the right host (port 8080 for publications).
[ "$(grep -c "s1='7654321'.WKU." <<<"$requests")" -eq 10 ] || fail "full: an unknown number is not searched ten times"
for f in idkey_int.htm pagenum_int.htm; do [ -s "$home/$f" ] || fail "full: scratch page $f not written"; done
if [ -n "$output" ]; then
  mkdir -p "$output"
  cp "$save"/*.tif "$output"/
fi

# 2. Claims from page 7 of 12, and of a publication from its last page;
#    per-number folders on.
newhome claims 1
orv --range claims <<<$'US5007025\nUS20020012345'
save="$home/patent_file"
[ "$status" -eq 0 ] || fail "claims: exit status $status"
tiffpages "$save/5007025/5007025_CLA.tif" "$granted" 7 8 9 10 11 12
tiffpages "$save/20020012345/20020012345_CLA.tif" '/.DImg?Docid=us20020012345ki&PageNum=%d&IDKey=K20020012345X7&ImgFormat=tif' 5
has "++++++ Claims  Finished ++++++" || fail "claims: closing line"
control requests | grep -qxF "GET /.piw?docid=US005007025&SectionNum=4&IDKey=K5007025X7&HomeUrl=http://patft.office.test/netacgi/nph-Parser%3FSect1=PTO2%2526Sect2=HITOFF%2526u=/netahtml/search-adv.htm%2526r=1%2526f=G%2526l=50%2526d=PALL%2526p=1%2526S1='5007025'.WKU.%2526OS=PN/5007025%2526RS=PN/5007025" ||
  fail "claims: claims viewer address"
[ -s "$home/claimpage_int.htm" ] || fail "claims: scratch page claimpage_int.htm not written"
control requests | grep -q 'PageNum=6&' && fail "claims: a page before the claims was fetched"

# 3. The page list 3,20 on a 12-page patent: page 20 is reported, not requested.
newhome pagelist 0
orv --pages 3,20 <<<'US5007025'
tiffpages "$home/patent_file/5007025_PG3.tif" "$granted" 3
has "1. 5007025 :  20 Page  없음 !" || fail "pagelist: no line for page 20"
has "+++++ Each Page Finished +++++" || fail "pagelist: closing line"
control requests | grep -q 'PageNum=20&' && fail "pagelist: page 20 was requested"

# 4. Search retries: four failed answers and the fifth finds the patent; a
#    result line on line 100 is read, on line 101 not.
newhome retries 0
control fault 'service=uspto,request=search,number=6000001,status=500,first=4' >/dev/null
orv --range full <<<$'US6000001\nUS5123456\nUS5123457'
[ "$(control requests | grep -c "s1='6000001'")" -eq 5 ] || fail "retries: search not repeated until found"
tiffpages "$home/patent_file/6000001_TOT.tif" '/.DImg?Docid=US006000001&PageNum=%d&IDKey=K6000001X7&ImgFormat=tif' 1 2 3 4
[ -f "$home/patent_file/5123456_TOT.tif" ] || fail "retries: result on line 100 not found"
has "3. 5123457  FAILED !" || fail "retries: result on line 101 was found"

# 5. A page that fails four times is BAD; a page cut short once is fetched again.
newhome badpage 0
control fault 'service=uspto,request=page,number=5007025,page=4,status=500' >/dev/null
control fault 'service=uspto,request=page,number=5007025,page=2,truncate,first=1' >/dev/null
orv --range full <<<'US5007025'
[ "$status" -eq 1 ] || fail "badpage: exit status $status, expected 1"
grep -qF "1. 5007025 :  4 Page   BAD ! ->" <<<"$out" || fail "badpage: no BAD line"
[ "$(control requests | grep -c 'PageNum=4&')" -eq 4 ] || fail "badpage: page 4 not asked four times"
[ "$(control requests | grep -c 'PageNum=2&')" -eq 2 ] || fail "badpage: the truncated page was not asked again once"
[ -f "$home/patent_file/5007025/50070252.tif" ] || fail "badpage: the pages fetched were not kept"

if [ "$failures" -ne 0 ]; then
  echo "--- last output:"
  echo "$out" | tail -40
  exit 1
fi
echo "ok"
