#!/usr/bin/env bash
# Builds and runs the reader benchmark, then times qpdf --show-npages on the same
# 10,000-page files and prints both side by side.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/default
cmake --preset default >/dev/null
cmake --build "$build" -j 2 --target bench_reader >/dev/null
dir="$build/bench-files"
mkdir -p "$dir"

json="$dir/reader.json"
FOLIAN_BENCH_DIR="$dir" "$build/bench/reader/bench_reader" --benchmark_format=json --benchmark_out="$json" \
  --benchmark_out_format=json >/dev/null

# Mean wall time of a command over N runs, in microseconds.
mean_us() {
  local runs=$1; shift
  local start end
  start=$(date +%s%N)
  for _ in $(seq "$runs"); do "$@" >/dev/null; done
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
for shape in balanced flat; do
  file="$dir/pages-10000-$shape.pdf"
  printf '%-36s %14s %16s\n' "  $shape" "$(mean_us 10 qpdf --show-npages "$file")" "$(qpdf --show-npages "$file")"
done
