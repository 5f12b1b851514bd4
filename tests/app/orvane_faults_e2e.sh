#!/usr/bin/env bash
# Everyday situations in which a run must neither lose pages nor report a
# short document as complete: orvane --headless against its own office
# simulator on 127.0.0.1, each case in a private settings root.
#   usage: orvane_faults_e2e.sh ORVANE OFFICE_SIM
set -u
orvane="$1"
sim="$2"
# shellcheck source=sim_lib.sh
. "$(dirname "$0")/sim_lib.sh"

sim_start --page-bytes 1500

# newhome NAME FOLDER_PER_NUMBER [KEEP]: a fresh settings root (KEEP 1 keeps
# only the joined file, 2 keeps the page files too) and a reset simulator.
home=""
save=""
newhome() {
  home="$work/$1"
  save="$home/patent_file"
  mkdir -p "$home"
  echo "connect_to=127.0.0.1:$port" >"$home/hosts.txt"
  echo "$2" >"$home/check.txt"
  echo "${3:-2}" >"$home/option.txt"
  control reset go >/dev/null
}
out=""
status=0
orv() {
  out=$(ORVANE_HOME="$home" timeout 120 "$orvane" --headless --service espacenet "$@" 2>&1)
  status=$?
}
has() { grep -qxF -- "$1" <<<"$out"; }
# pages FILE: the page numbers the simulated pages show, in order.
pages() { pdftotext "$1" - 2>/dev/null | sed -n 's/^Page \([0-9]*\) of [0-9]*$/\1/p' | tr '\n' ' ' | sed 's/ $//'; }
seqpages() { seq -s ' ' 1 "$1"; }
# waitfor FILE TEXT: until the file holds the text (at most 10 s).
waitfor() {
  for _ in $(seq 200); do
    grep -qF -- "$2" "$1" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

# 1. Two runs on one settings root: the second is refused, in Korean, with
#    exit status 3; the first is not disturbed.
newhome lock 0
control fault 'service=espacenet,request=page,number=EP1234567A1,latency=400' >/dev/null
ORVANE_HOME="$home" timeout 120 "$orvane" --headless --service espacenet --range full \
  <<<'EP1234567A1' >"$work/first.out" 2>&1 &
firstpid=$!
waitfor "$work/first.out" 'Page  진행 중 !' || fail "lock: the first run did not start fetching"
orv --range full <<<'EP1033882A1'
[ "$status" -eq 3 ] || fail "lock: the second run's exit status is $status, expected 3"
grep -qF "다른 Orvane 작업이 같은 설정 폴더($home)를 사용하고 있습니다." <<<"$out" || fail "lock: no refusal message"
grep -q 'EP1033882A1' <<<"$(control requests)" && fail "lock: the refused run asked the office"
wait "$firstpid"
[ $? -eq 0 ] || fail "lock: the first run did not end complete"
[ "$(pages "$save/EP1234567A1_TOT.pdf")" = "$(seqpages 7)" ] || fail "lock: the first run's document is not whole"
# The lock ends with the run: the next run on the root goes ahead.
orv --range full <<<'EP1234567A1'
[ "$status" -eq 0 ] || fail "lock: a later run on the root was refused ($status)"

# 2. A bad-page run after a complete run, with the defaults (folder per
#    number, keep only the joined file): the document stays whole.
newhome badafter 1 1
orv --range full <<<'EP1033882A1'
doc="$save/EP1033882A1/EP1033882A1_TOT.pdf"
[ "$(pages "$doc")" = "$(seqpages 12)" ] || fail "badafter: the first run's document"
[ ! -e "$save/EP1033882A1/EP1033882A11.pdf" ] || fail "badafter: page files were kept"
orv --bad-pages 3 <<<'EP1033882A1'
[ "$(pages "$doc")" = "$(seqpages 12)" ] || fail "badafter: the document is now '$(pages "$doc")'"
qpdf --check "$doc" >/dev/null 2>&1 || fail "badafter: qpdf --check"
[ "$status" -eq 0 ] || fail "badafter: exit status $status"
grep -q '누락' <<<"$out" && fail "badafter: pages reported missing"

# 3. A stop with the folder per number off keeps the pages fetched so far,
#    a second run leaves them alone, and a bad-page run completes the document.
newhome stopkeep 0
control fault 'service=espacenet,request=page,number=EP1100000A1,latency=150' >/dev/null
ORVANE_HOME="$home" timeout --foreground 120 "$orvane" --headless --service espacenet --range full \
  <<<'EP1100000A1' >"$work/stop.out" 2>&1 &
orvpid=$!
waitfor "$work/stop.out" '12 Page  GOOD !' || fail "stopkeep: pages did not arrive"
kill -INT "$orvpid"
wait "$orvpid"
good=$(sed -n 's/^\[status\] 1\. EP1100000A1 :  \([0-9]*\) Page  GOOD !$/\1/p' "$work/stop.out" | sort -nu)
[ -n "$good" ] || fail "stopkeep: no GOOD page before the stop"
orv --range full <<<'EP1234567A1'
for p in $good; do
  [ -f "$save/EP1100000A1/EP1100000A1$p.pdf" ] || fail "stopkeep: page $p fetched before the stop is gone"
done
missing=$(for p in $(seq 100); do grep -qx "$p" <<<"$good" || echo "$p"; done | paste -sd, -)
control reset go >/dev/null
orv --bad-pages "$missing" <<<'EP1100000A1'
[ "$(pages "$save/EP1100000A1_TOT.pdf")" = "$(seqpages 100)" ] || fail "stopkeep: the bad-page run did not complete the document"
[ "$status" -eq 0 ] || fail "stopkeep: the bad-page run's exit status $status"

# 4. Two numbers in bad-page mode: each is joined once, after its own last
#    listed page, and whole.
newhome twobad 0
control fault 'service=espacenet,request=page,page=3,status=500' >/dev/null
control fault 'service=espacenet,request=page,page=5,status=500' >/dev/null
orv --range full <<<$'EP1033882A1\nEP1234567A1'
control reset go >/dev/null
orv --bad-pages 3,5 <<<$'EP1033882A1\nEP1234567A1'
grep -q '누락' <<<"$out" && fail "twobad: a page reported missing: $(grep '누락' <<<"$out" | head -1)"
[ "$(pages "$save/EP1033882A1_TOT.pdf")" = "$(seqpages 12)" ] || fail "twobad: first document"
[ "$(pages "$save/EP1234567A1_TOT.pdf")" = "$(seqpages 7)" ] || fail "twobad: second document"
[ "$status" -eq 0 ] || fail "twobad: exit status $status"

# 5. A page count of 0, or one that is no number: a status line, and the run
#    does not end as complete.
newhome nopages 0
control document 'number=EP1300000A1,pages=5,des=2,cla=3,dra=4,rep=0,totpg=0' >/dev/null
control document 'number=EP1300001A1,pages=5,des=2,cla=3,dra=4,rep=0,totpg=x5' >/dev/null
orv --range full <<<'EP1300000A1'
[ "$status" -eq 1 ] || fail "nopages: TOTPG=0 gives exit status $status"
has "1. EP1300000A1 :  페이지 수(0)를 알 수 없습니다 !" || fail "nopages: no line for TOTPG=0"
orv --range full <<<'EP1300001A1'
[ "$status" -eq 1 ] || fail "nopages: TOTPG=x5 gives exit status $status"
has "1. EP1300001A1 :  페이지 수(x5)를 알 수 없습니다 !" || fail "nopages: no line for TOTPG=x5"

# 6. A save folder that cannot be written: said once, naming the folder; no
#    page is requested; the number counts as failed.
newhome unwritable 0
: >"$home/a-file"
echo "$home/a-file/patent_file" >"$home/folder_path.txt"
orv --range full <<<$'EP1033882A1\nEP1234567A1'
[ "$status" -eq 1 ] || fail "unwritable: exit status $status"
[ "$(grep -c '저장 폴더에 쓸 수 없습니다' <<<"$(grep -v '^\[status\]' <<<"$out")")" -eq 2 ] ||
  fail "unwritable: expected one line per number"
has "1. EP1033882A1 :  저장 폴더에 쓸 수 없습니다: $home/a-file/patent_file/temp" || fail "unwritable: the line names the folder"
grep -q 'bns.pdf' <<<"$(control requests)" && fail "unwritable: pages were requested"
grep -q 'BAD' <<<"$out" && fail "unwritable: reported as BAD pages"

# 7. A number that is a path: refused with a status line, nothing written
#    outside the save folder.
newhome pathlike 0
control document 'number=GB/../../X1,pages=3,des=2,cla=3,dra=0,rep=0' >/dev/null
orv --range full <<<$'GB/../../X1\nEP1234567A1'
has "1. GB/../../X1  잘못된 특허번호입니다 !" || fail "pathlike: no refusal line"
[ "$status" -eq 1 ] || fail "pathlike: exit status $status"
grep -q 'X1' <<<"$(control requests)" && fail "pathlike: the office was asked"
[ -z "$(find "$work/pathlike" -name 'X1*')" ] || fail "pathlike: files written: $(find "$work/pathlike" -name 'X1*')"
[ "$(pages "$save/EP1234567A1_TOT.pdf")" = "$(seqpages 7)" ] || fail "pathlike: the next number"

if [ "$failures" -ne 0 ]; then
  echo "--- last output:"
  echo "$out" | tail -30
  exit 1
fi
echo "ok"
