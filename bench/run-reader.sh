#!/usr/bin/env bash
# Builds and runs the reader benchmark, then times qpdf --show-npages on the same
# 10,000-page files and prints both side by side. Besides the files the benchmark
# writes itself, it needs one with object streams (qpdf rewrites the flat file) and
# a damaged one of about 200 MB without cross-reference data, made here.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/default
cmake --preset default >/dev/null
cmake --build "$build" -j 2 --target bench_reader >/dev/null
dir="$build/bench-files"
mkdir -p "$dir"

# The benchmark writes the flat file on its first run; the two made from it follow.
FOLIAN_BENCH_DIR="$dir" "$build/bench/reader/bench_reader" --benchmark_filter=OpenFindPage5000_Flat \
  --benchmark_min_time=0.01 >/dev/null
[ -f "$dir/pages-10000-objstm.pdf" ] ||
  qpdf --object-streams=generate "$dir/pages-10000-flat.pdf" "$dir/pages-10000-objstm.pdf"
[ -f "$dir/pages-10000-damaged-large.pdf" ] || /usr/bin/python3 - "$dir" <<'PY'
import sys
d = sys.argv[1]
data = open(d + "/pages-10000-flat.pdf", "rb").read()
body = data[:data.rindex(b"xref")]          # the objects, without table, trailer or startxref
filler = (bytes(range(256)) * 4096)          # 1 MiB of every byte value
big = filler * 200
with open(d + "/pages-10000-damaged-large.pdf", "wb") as out:
    out.write(body)
    out.write(b"999999 0 obj\n<< /Length %d >>\nstream\n" % len(big))
    out.write(big)
    out.write(b"\nendstream\nendobj\ntrailer\n<< /Size 20003 /Root 1 0 R >>\n%%EOF\n")
PY

json="$dir/reader.json"
FOLIAN_BENCH_DIR="$dir" "$build/bench/reader/bench_reader" --benchmark_format=json --benchmark_out="$json" \
  --benchmark_out_format=json >/dev/null 2>&1

# Mean wall time of a command over N runs, in microseconds.
mean_us() {
  local runs=$1; shift
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1 || true; done
  end=$(date +%s%N)
  echo $(( (end - start) / runs / 1000 ))
}

printf '%-36s %14s %16s\n' "benchmark" "time (us)" "objects loaded"
python3 - "$json" <<'PY'
import json, sys
for b in json.load(open(sys.argv[1]))["benchmarks"]:
    print("%-36s %14.0f %16.0f" % (b["name"], b["real_time"], b.get("objects_loaded", 0)))
PY
echo
printf '%-36s %14s %16s\n' "qpdf --show-npages (same file)" "time (us)" "pages"
for shape in balanced flat objstm damaged-large; do
  file="$dir/pages-10000-$shape.pdf"
  runs=10
  [ "$shape" = damaged-large ] && runs=2
  printf '%-36s %14s %16s\n' "  $shape" "$(mean_us $runs qpdf --show-npages "$file")" \
    "$(qpdf --show-npages "$file" 2>/dev/null)"
done
