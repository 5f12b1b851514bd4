#!/usr/bin/env bash
# KIPRIS end to end: orvane --headless against its own office simulator on
# 127.0.0.1, in a private settings root. The headless login takes the
# identifier from --kipris-user and the password from ORVANE_KIPRIS_PASSWORD;
# a password with "&", "=", "+", a blank and Hangul logs in, and no file the
# program writes nor its output holds it. Documents found by application
# number (AN) and by publication number (OPN) become multi-page TIFFs whose
# pages (tiffinfo) and pixels match the simulator's pages.
#   usage: kipris_e2e.sh ORVANE OFFICE_SIM [OUTPUT_DIR]
set -u
orvane="$1"
sim="$2"
output="${3:-}"
# shellcheck source=sim_lib.sh
. "$(dirname "$0")/sim_lib.sh"
# shellcheck source=tiff_pages.sh
. "$(dirname "$0")/tiff_pages.sh"
sim_start

password='p&ss w=rd+한'
pagehost=kipris.office.test:9005
out=""
status=0
# orv PASSWORD ARGS...: a headless KIPRIS run; "-" runs without the variable.
# setsid leaves the program without a terminal to prompt on.
orv() {
  local pw="$1"
  shift
  if [ "$pw" = "-" ]; then
    out=$(env -u ORVANE_KIPRIS_PASSWORD ORVANE_HOME="$home" timeout 120 setsid -w "$orvane" --headless --service kipris "$@" 2>&1)
  else
    out=$(ORVANE_KIPRIS_PASSWORD="$pw" ORVANE_HOME="$home" timeout 120 setsid -w "$orvane" --headless --service kipris "$@" 2>&1)
  fi
  status=$?
}
page() { echo "/cgi/IMAGE6?sql=IMAGE6&page=%d&user=KELDMARE&sys=KO&sub=0x105&appl_no=$1"; }
failed='로그인에 실패했습니다. 다시 확인하시기 바랍니다.'

# 1. No login, a wrong password, an unregistered user, no password at all:
#    nothing is searched.
newhome refused 0
orv - --range full <<<'101995028508'
[ "$status" -eq 1 ] || fail "no login: exit status $status, expected 1"
grep -q '^\[KIPRIS\] not logged in' <<<"$out" || fail "no login: no hint"
orv 'p&ss w=rd' --kipris-user kipris-demo --range full <<<'101995028508'
[ "$status" -eq 1 ] || fail "wrong password: exit status $status"
grep -qF "[message: Orvane] $failed" <<<"$out" || fail "wrong password: no failure message"
orv "$password" --kipris-user kipris-registered --range full <<<'101995028508'
grep -qF "[message: Orvane] $failed" <<<"$out" || fail "registered marker: no failure message"
orv - --kipris-user kipris-demo --range full <<<'101995028508'
[ "$status" -eq 2 ] || fail "no password: exit status $status, expected 2"
control fault 'service=kipris,request=login,status=500' >/dev/null
orv "$password" --kipris-user kipris-demo --range full <<<'101995028508'
grep -qF "[message: Orvane] $failed" <<<"$out" || fail "login without an answer: no failure message"
control requests | grep -q 'search.cgi' && fail "refused: a document was searched without a login"
[ "$(control requests | grep -c 'login.auth')" -eq 3 ] || fail "refused: expected three login requests"

# 2. Login, then documents by publication (OPN) and application number (AN);
#    one whose page has no page count after "var max_page" is not found.
newhome run 0
orv "$password" --kipris-user kipris-demo --range full <<<$'101995028508\n101995004784A\n101999999999\n102000012345A'
save="$home/patent_file"
[ "$status" -eq 1 ] || fail "run: exit status $status, expected 1 (one number not found)"
grep -qF "$failed" <<<"$out" && fail "run: the login was refused"
has "3. 101999999999  FAILED !" || fail "run: a document without a page count was found"
tiffpages "$save/101995028508_TOT.tif" "$(page 101995004784)" 1 2 3 4 5 6
tiffpages "$save/101995004784A_TOT.tif" "$(page 101995004784)" 1 2 3 4 5 6
tiffpages "$save/102000012345A_TOT.tif" "$(page 102000012345)" 1 2 3 4
requests=$(control requests)
grep -qxF 'GET /kipf1/plsql/login.auth?v_userid=kipris-demo&v_passwd=p%26ss%20w%3Drd%2B%ED%95%9C' <<<"$requests" ||
  fail "run: the password was not sent percent-encoded"
grep -qxF 'GET /cgi/search.cgi?search_OPN=101995028508&result=OPN&data=TB15&sys=KO&user=KELDMARE&func=Search&plen=20' <<<"$requests" ||
  fail "run: publication not searched with OPN"
grep -qxF 'GET /cgi/search.cgi?search_AN=101995004784&result=AN&data=TB15&sys=KO&user=KELDMARE&func=Search&plen=20' <<<"$requests" ||
  fail "run: application not searched with AN"
[ "$(grep -c 'search_OPN=101999999999' <<<"$requests")" -eq 3 ] || fail "run: a missing page count is not tried three times"
# The early "var page = 1;" of the full-text page would have made one-page documents.
grep -q 'page=6&' <<<"$requests" || fail "run: the page count before var max_page was taken"
[ -s "$home/ipdl.htm" ] || fail "run: scratch page ipdl.htm not written"
if [ -n "$output" ]; then
  mkdir -p "$output"
  cp "$save"/*.tif "$output"/
fi

# 3. The page list 2,9 of a 6-page document, with per-number folders.
newhome pagelist 1
orv "$password" --kipris-user kipris-demo --pages 2,9 <<<'201995028508'
tiffpages "$home/patent_file/201995028508/201995028508_PG2.tif" "$(page 201995004785)" 2
has "1. 201995028508 :  9 Page  없음 !" || fail "pagelist: no line for page 9"

# 4. The password is in no file the program wrote, nor in its output.
for pw in "$password" 'p%26ss%20w%3Drd' 'p&ss w=rd'; do
  grep -rlF -- "$pw" "$work/refused" "$work/run" "$work/pagelist" && fail "the password is written in a file"
  grep -qF -- "$pw" <<<"$out" && fail "the password is in the output"
done

if [ "$failures" -ne 0 ]; then
  echo "--- last output:"
  echo "$out" | tail -40
  exit 1
fi
echo "ok"
