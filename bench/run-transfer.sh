#!/usr/bin/env bash
# Starts the office simulator with 50 ms added to every answer, fetches 100
# pages through the five transfer slots and one at a time, and prints both
# times and the ratio to the ideal ceil(100/5) x 50 ms.
#   bench/run-transfer.sh [BUILD_DIR]   (default build/default)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}
latency=${LATENCY_MS:-50}
cmake --build "$build" --target office-sim transfer_bench >/dev/null

out=$(mktemp)
"$build/tools/office-sim/office-sim" --port 0 --latency "$latency" >"$out" &
sim=$!
trap 'kill "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; rm -f "$out"' EXIT

port=""
for _ in $(seq 100); do
  line=$(head -n 1 "$out" || true)
  if [[ $line == "listening on 127.0.0.1:"* ]]; then port=${line##*:}; break; fi
  sleep 0.1
done
[[ -n $port ]] || { echo "office-sim did not start" >&2; exit 1; }

"$build/bench/transfer/transfer_bench" --port "$port" --pages 100 --latency-ms "$latency" --runs "${RUNS:-3}"
