# Shared helpers of the TIFF end-to-end tests (sourced after sim_lib.sh): a
# fresh settings root, and checks of joined multi-page TIFFs
# against the simulator's own page images, compared pixel by pixel after an
# independent decode (tiff2pdf, then pdftoppm to a bilevel bitmap).
# Expects $work, $port, control() and fail() from sim_lib.sh.

# newhome NAME FOLDER_PER_NUMBER: a fresh settings root sending every request to the simulator.
newhome() {
  home="$work/$1"
  mkdir -p "$home"
  echo "connect_to=127.0.0.1:$port" >"$home/hosts.txt"
  echo "$2" >"$home/check.txt"
  control reset go >/dev/null
}

has() { grep -qxF -- "$1" <<<"$out"; }

# bitmaps TIFF DIR: every page of TIFF rendered as a bilevel PBM, DIR/p-N.pbm.
bitmaps() {
  rm -rf "$2" && mkdir -p "$2"
  tiff2pdf -o "$2/all.pdf" "$1" 2>/dev/null && pdftoppm -mono -r 50 "$2/all.pdf" "$2/p" 2>/dev/null
}

# tiffpages FILE URLFORM PAGE...: FILE is a multi-page TIFF of exactly these
# pages, each the same pixels as the simulator's page at URLFORM with "%d"
# standing for the page number. The pages are asked for with the Host header
# $pagehost when it is set.
tiffpages() {
  local file="$1" form="$2"
  shift 2
  [ -f "$file" ] || { fail "missing $file"; return; }
  local count
  count=$(tiffinfo "$file" 2>/dev/null | grep -c '^TIFF Directory')
  [ "$count" = "$#" ] || { fail "$(basename "$file"): tiffinfo shows $count pages, expected $#"; return; }
  local want=() p
  rm -rf "$work/want" && mkdir -p "$work/want"
  for p in "$@"; do
    # shellcheck disable=SC2059
    curl -s --max-time 10 --noproxy '*' ${pagehost:+-H "Host: $pagehost"} -o "$work/want/$p.tif" \
      "http://127.0.0.1:$port$(printf "$form" "$p")"
    want+=("$work/want/$p.tif")
  done
  if ! tiffcp "${want[@]}" "$work/want/all.tif" 2>/dev/null || ! bitmaps "$work/want/all.tif" "$work/wantbits" ||
    ! bitmaps "$file" "$work/gotbits"; then
    fail "$(basename "$file"): pages cannot be rendered"
    return
  fi
  local got wanted
  got=$(cd "$work/gotbits" && ls p-*.pbm | sort -t- -k2 -n)
  wanted=$(cd "$work/wantbits" && ls p-*.pbm | sort -t- -k2 -n)
  [ "$(wc -l <<<"$got")" = "$#" ] || { fail "$(basename "$file"): $(wc -l <<<"$got") pages rendered"; return; }
  local i=1 g w
  paste <(echo "$got") <(echo "$wanted") | while read -r g w; do
    cmp -s "$work/gotbits/$g" "$work/wantbits/$w" || echo "$i"
    i=$((i + 1))
  done >"$work/differ"
  [ -s "$work/differ" ] && fail "$(basename "$file"): pages $(tr '\n' ' ' <"$work/differ")differ from the simulator's pages $*"
  return 0
}
