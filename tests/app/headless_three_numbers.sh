#!/usr/bin/env bash
# orvane --headless on three numbers with no service procedures: three
# "  FAILED !" lines, the end message, exit status 1, and the option files
# created with their defaults in a private settings root.
set -u
orvane="$1"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
printf 'EP1033882A1\nUS5007025\nWO0050842' > "$home/numbers.txt"

out=$(ORVANE_HOME="$home" timeout 60 "$orvane" --headless --numbers "$home/numbers.txt")
status=$?
fail() { echo "FAIL: $*"; echo "--- output:"; echo "$out"; exit 1; }

[ "$status" -eq 1 ] || fail "exit status $status, expected 1"
[ "$(grep -c '  FAILED !$' <<<"$out")" -eq 3 ] || fail "expected three FAILED lines"
grep -qx '1. EP1033882A1  FAILED !' <<<"$out" || fail "first number's line"
grep -qx '3. WO0050842  FAILED !' <<<"$out" || fail "last number (no line break) not processed"
grep -q "모든 작업이 끝났습니다. 원문은 $home/patent_file 폴더에 저장됩니다." <<<"$out" || fail "end message"
for f in folder_path.txt DBoption.txt option.txt check.txt; do
  [ -f "$home/$f" ] || fail "option file $f not created"
done

# Numbers from standard input, and bad usage.
out=$(printf 'EP1\n' | ORVANE_HOME="$home" timeout 60 "$orvane" --headless)
[ $? -eq 1 ] && grep -qx '1. EP1  FAILED !' <<<"$out" || fail "numbers from standard input"
ORVANE_HOME="$home" timeout 60 "$orvane" --headless --service nowhere </dev/null >/dev/null 2>&1
[ $? -eq 2 ] || fail "bad usage must exit 2"
echo "ok"
