# Shared by the end-to-end scripts (sourced after $sim is set): a private work
# folder removed on exit, an office simulator on 127.0.0.1 stopped on exit, the
# simulator's control endpoint and a failure counter.

work=$(mktemp -d)
simpid=""
port=""
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# sim_stop: stops the simulator started last, if one runs.
sim_stop() {
  if [ -n "$simpid" ]; then
    kill "$simpid" 2>/dev/null
    wait "$simpid" 2>/dev/null
    simpid=""
  fi
}
trap 'sim_stop; rm -rf "$work"' EXIT

# sim_start ARGS...: a fresh simulator on a free port with these options; sets
# $port, or ends the script when the simulator does not come up in ten seconds.
sim_start() {
  sim_stop
  : >"$work/sim.out"
  "$sim" --port 0 "$@" >"$work/sim.out" 2>&1 &
  simpid=$!
  port=""
  for _ in $(seq 100); do
    grep -q '^listening on' "$work/sim.out" && break
    sleep 0.1
  done
  port=$(sed -n 's/^listening on 127\.0\.0\.1://p' "$work/sim.out")
  [ -n "$port" ] || { echo "FAIL: the simulator did not start"; cat "$work/sim.out"; exit 1; }
}

# control PATH [BODY]: GET the simulator's control endpoint, or POST the body to it.
control() { curl -s --max-time 10 --noproxy '*' "http://127.0.0.1:$port/_sim/$1" ${2:+--data "$2"}; }
