# Shared helpers of the TIFF end-to-end tests (sourced): start the office
# simulator, a fresh settings root, and checks of joined multi-page TIFFs
# against the simulator's own page images, compared pixel by pixel after an
# independent decode (tiff2pdf, then pdftoppm to a bilevel bitmap).
# Expects $work, $sim and a fail() function.

start_sim() {
  : >"$work/sim.out"
  "$sim" --port 0 >"$work/sim.out" 2>&1 &
  simpid=$!
  for _ in $(seq 100); do
    grep -q '^listening on' "$work/sim.out" && break
    sleep 0.1
  done
  port=$(sed -n 's/^listening on 127\.0\.0\.1://p' "$work/sim.out")
  [ -n "$port" ] || { echo "FAIL: the simulator did not start"; cat "$work/sim.out"; exit 1; }
}

# control PATH [BODY]: GET the simulator's control endpoint, or POST the body to it.
control() { curl -s --max-time 10 --noproxy '*' "http://127.0.0.1:$port/_sim/$1" ${2:+--data "$2"}; }

# newhome NAME FOLDER_PER_NUMBER: a fresh settings root sending every request to the simulator.
newhome() {
  home="$work/$1"
  mkdir -p "$home"
  echo "connect_to=127.0.0.1:$port" >"$home/hosts.txt"
  echo "$2" >"$home/check.txt"
  control reset go >/dev/null
}

has() { grep -qxF -- "$1" <<<"$out"; }

# bitmap TIFF PAGE OUT: page PAGE (1-based) of TIFF rendered as a bilevel PBM.
bitmap() {
  local dir="$work/bitmap.$$"
  rm -rf "$dir" && mkdir -p "$dir"
  tiffcp "$1,$(($2 - 1))" "$dir/page.tif" 2>/dev/null &&
    tiff2pdf -o "$dir/page.pdf" "$dir/page.tif" 2>/dev/null &&
    pdftoppm -mono -r 50 "$dir/page.pdf" "$dir/p" 2>/dev/null &&
    mv "$dir"/p*.pbm "$3"
  local status=$?
  rm -rf "$dir"
  return $status
}

# tiffpages FILE URLPREFIX PAGE...: FILE is a multi-page TIFF of exactly these
# pages, each the same pixels as the simulator's page at URLPREFIX + page +
# the rest of the address (given as "%d" in URLPREFIX). The pages are asked
# for with the Host header $pagehost when it is set.
tiffpages() {
  local file="$1" form="$2"
  shift 2
  [ -f "$file" ] || { fail "missing $file"; return; }
  local count
  count=$(tiffinfo "$file" 2>/dev/null | grep -c '^TIFF Directory')
  [ "$count" = "$#" ] || { fail "$(basename "$file"): tiffinfo shows $count pages, expected $#"; return; }
  local i=1 p
  for p in "$@"; do
    # shellcheck disable=SC2059
    curl -s --max-time 10 --noproxy '*' ${pagehost:+-H "Host: $pagehost"} -o "$work/want.tif" "http://127.0.0.1:$port$(printf "$form" "$p")"
    if ! bitmap "$file" "$i" "$work/got.pbm" || ! bitmap "$work/want.tif" 1 "$work/want.pbm"; then
      fail "$(basename "$file"): page $i cannot be rendered"
    elif ! cmp -s "$work/got.pbm" "$work/want.pbm"; then
      fail "$(basename "$file"): page $i differs from the simulator's page $p"
    fi
    i=$((i + 1))
  done
}
