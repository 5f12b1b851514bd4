#!/usr/bin/env bash
# EPO OPS end to end: orvane --headless --service ops against its own office
# simulator on 127.0.0.1, in private settings roots. Each part starts a
# simulator with the fair-use play it needs; the simulated minute is short
# (--ops-minute-ms on the simulator, ORVANE_OPS_MINUTE_MS for the program), so
# the throttled runs take seconds. Joined documents are checked with
# qpdf --check and their page order with pdftotext.
#   usage: ops_e2e.sh ORVANE OFFICE_SIM [OUTPUT_DIR]
set -u
orvane="$1"
sim="$2"
output="${3:-}"
# shellcheck source=sim_lib.sh
. "$(dirname "$0")/sim_lib.sh"

# opsstat NAME: one counter of the simulator's OPS play.
opsstat() { control ops | sed -n "s/^$1=//p"; }

home=""
newhome() {
  home="$work/$1"
  mkdir -p "$home"
  printf 'connect_to=127.0.0.1:%s\nops=http://ops.office.test\n' "$port" >"$home/hosts.txt"
  echo 0 >"$home/check.txt"
}
out=""
status=0
# orv [ENV=VALUE...] -- ARGS...: one headless run with the demo key pair in
# the environment unless the caller gives other values.
orv() {
  local env=(ORVANE_OPS_KEY=ops-demo-key ORVANE_OPS_SECRET=ops-demo-secret)
  while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do env+=("$1"); shift; done
  shift
  out=$(env ORVANE_HOME="$home" "${env[@]}" timeout 60 "$orvane" --headless --service ops "$@" 2>&1)
  status=$?
}
has() { grep -qF -- "$1" <<<"$out"; }
goods() { grep -c "^\[line [0-9]*\] .* Page  GOOD !$" <<<"$out"; }

pdf() {
  local file="$1"
  shift
  [ -f "$file" ] || { fail "missing $file"; return; }
  qpdf --check "$file" >/dev/null 2>&1 || fail "qpdf --check $file"
  local want="$*" got
  got=$(pdftotext "$file" - 2>/dev/null | sed -n 's/^Page \([0-9]*\) of [0-9]*$/\1/p' | tr '\n' ' ' | sed 's/ $//')
  [ "$got" = "$want" ] || fail "$(basename "$file"): pages '$got', expected '$want'"
}

# 0. The catalog lists the esp@cenet documents under the service name ops.
"$sim" --catalog | grep -qP '^ops\tEP1033882A1\tEP\t12\t' || fail "catalog: EP1033882A1 not listed under ops"

# 1. Full document and claims, the key pair from the settings root's file;
#    a number that cannot be mapped and one the service does not know.
sim_start --page-bytes 1500
newhome full
printf 'key=ops-demo-key\nsecret=ops-demo-secret\n' >"$home/ops_credentials.txt"
chmod 644 "$home/ops_credentials.txt"
orv ORVANE_OPS_KEY= ORVANE_OPS_SECRET= -- --range full <<<$'EP1033882A1\n1033882\nEP9999999A1'
save="$home/patent_file"
[ "$status" -eq 1 ] || fail "full: exit status $status, expected 1 (two numbers not found)"
pdf "$save/EP1033882A1_TOT.pdf" 1 2 3 4 5 6 7 8 9 10 11 12
has "2. 1033882 :  EPO OPS 번호 형식" || fail "full: no line for the unmappable number"
has "3. EP9999999A1  FAILED !" || fail "full: no FAILED line for the unknown number"
has "EPO OPS 사용량: 시간당 " || fail "full: no quota line at the end of the run"
[ "$(opsstat tokens)" = 1 ] || fail "full: $(opsstat tokens) tokens asked for, expected 1"
first="$out"
orv ORVANE_OPS_KEY= ORVANE_OPS_SECRET= -- --range claims,description,drawings <<<'EP1033882A1'
[ "$status" -eq 0 ] || fail "claims: exit status $status"
pdf "$save/EP1033882A1_CLA.pdf" 7 8
pdf "$save/EP1033882A1_SPE.pdf" 2 3 4 5 6
pdf "$save/EP1033882A1_DRA.pdf" 9 10
has "++++++ Claims  Finished ++++++" || fail "claims: closing line"
out="$first$out"
[ "$(stat -c %a "$home/ops_credentials.txt")" = 600 ] || fail "full: the credentials file is not private"
grep -qE 'ops-demo-secret|ops-demo-key|b3BzLWRlbW8' <<<"$out" && fail "full: the key pair appears in the output"
control requests | grep -qF 'GET /3.2/rest-services/published-data/publication/docdb/EP.1033882.A1/images' ||
  fail "full: the inquiry did not ask for the docdb form"
if [ -n "$output" ]; then
  mkdir -p "$output"
  cp "$save"/*.pdf "$output"/
fi

# 2. A key pair the service refuses, and none at all: said once, nothing fetched.
pagesbefore=$(opsstat pages)
newhome refused
orv ORVANE_OPS_SECRET=wrong -- --range full <<<'EP1033882A1'
[ "$status" -eq 1 ] || fail "refused: exit status $status"
has "EPO OPS 인증키가 거부되었습니다 (HTTP 401)" || fail "refused: no line for the refused key"
grep -q 'wrong' <<<"$out" && fail "refused: the secret appears in the output"
newhome nokey
orv ORVANE_OPS_KEY= ORVANE_OPS_SECRET= -- --range full <<<'EP1033882A1'
has "EPO OPS 인증키가 없습니다" || fail "nokey: no line for the missing key pair"
[ "$(opsstat pages)" = "$pagesbefore" ] || fail "refused/nokey: pages were requested"

# 3. The token runs out after the fourth page: renewed once, no page lost.
sim_start --page-bytes 1500 --ops-expire 4
newhome expired
orv -- --range full <<<'EP1033882A1'
[ "$status" -eq 0 ] || fail "expired: exit status $status"
pdf "$home/patent_file/EP1033882A1_TOT.pdf" 1 2 3 4 5 6 7 8 9 10 11 12
[ "$(opsstat tokens)" = 2 ] || fail "expired: $(opsstat tokens) tokens, expected 2"
[ "$(opsstat expired)" -ge 1 ] || fail "expired: the old token was never refused"
[ "$(goods)" = 12 ] || fail "expired: $(goods) GOOD lines, expected 12"
has "BAD" && fail "expired: a page went BAD"

# 4. Under load the images service turns yellow (6 a minute) from the third
#    request and red for a minute from the 23rd, then green again; the
#    simulator counts every request beyond what the colour allowed.
sim_start --page-bytes 1500 --doc number=EP2000001A1,pages=40,des=2,cla=30,dra=35,rep=0 --ops-minute-ms 300 \
  --ops-throttle green=600,yellow@3:6,red@23:60
newhome throttled
started=$(date +%s%N)
orv ORVANE_OPS_MINUTE_MS=300 -- --range full <<<'EP2000001A1'
took=$((($(date +%s%N) - started) / 1000000))
[ "$status" -eq 0 ] || fail "throttled: exit status $status"
pdf "$home/patent_file/EP2000001A1_TOT.pdf" $(seq 1 40)
[ "$(opsstat overruns)" = 0 ] || fail "throttled: $(opsstat overruns) requests beyond the allowed rate"
[ "$(opsstat phases)" = "green,yellow,red,green" ] || fail "throttled: colours went $(opsstat phases)"
grep -q '^\[status\] EPO OPS busy (images=yellow:6)' <<<"$out" || fail "throttled: yellow not shown"
grep -q '^\[status\] EPO OPS overloaded (images=red:0) - 사용 제한' <<<"$out" || fail "throttled: red not shown"
# Twenty yellow requests at half of 6 a 300 ms minute take two seconds at least.
[ "$took" -ge 1900 ] || fail "throttled: the run took only $took ms"

# 5. A fair-use refusal of the fifth page request: waited out, sent again,
#    neither GOOD nor lost.
sim_start --page-bytes 1500 --ops-refuse 5:1
newhome refusal
orv -- --range full <<<'EP1033882A1'
[ "$status" -eq 0 ] || fail "refusal: exit status $status"
pdf "$home/patent_file/EP1033882A1_TOT.pdf" 1 2 3 4 5 6 7 8 9 10 11 12
[ "$(opsstat refusals)" = 1 ] || fail "refusal: $(opsstat refusals) refusals"
[ "$(opsstat pages)" = 13 ] || fail "refusal: $(opsstat pages) page requests, expected 13"
[ "$(goods)" = 12 ] || fail "refusal: $(goods) GOOD lines, expected 12"
has "BAD" && fail "refusal: a page went BAD"
has "사용 거부(IndividualQuotaPerHour)" || fail "refusal: the refusal was not shown"
has "사용 제한 1회" || fail "refusal: the quota line does not count the refusal"

if [ "$failures" -ne 0 ]; then
  echo "--- last output:"
  echo "$out" | tail -40
  exit 1
fi
echo "ok"
