#!/usr/bin/env bash
# B9: four headless players of one show of 1-second clips. Synchronised: one publishes its clock
# (--sync-serve), three follow it (--sync-clock), directly and through bench/udprelay.py (20 ms
# ± 10 ms of delay each way on the clock's packets, as netem is not available here). The skew of
# a transition is the spread of the four players' "clock_ns" stamps of its first frame; median and
# maximum over TRANSITIONS, and the drift (median of the last tenth less the first tenth). The
# anchor: four players without a shared clock, started together, their "frame" events' monotonic
# "ms" compared transition by transition. The stamps are each player's own reading of when the
# frame is due on its copy of the clock, so the followers' clocks are read against the one they
# follow too (bench/clockerror: on one machine the published clock is the realtime clock).
# Prints table rows (metric, median, maximum, note). With "drift" only the loopback case runs,
# its clock read for the whole run: a long run shows whether the skew grows.
# Usage: bench/sync.sh BUILD_DIR WORK_DIR [TRANSITIONS [drift]]
set -euo pipefail
build=$1 work=$2 transitions=${3:-200} mode=${4:-}
here=$(cd "$(dirname "$0")" && pwd)
ff() { ffmpeg -loglevel error -y "$@"; }
for c in red green blue white; do
  [ -s "$work/sync-$c.avi" ] || ff -f lavfi -i "color=c=$c:size=320x240:rate=25:duration=1" -c:v mjpeg "$work/sync-$c.avi"
done
clips=("$work"/sync-{red,green,blue,white}.avi)
export VIZMORA_REGISTRY="$work/sync-registry.reg"
port=$((20000 + RANDOM % 20000)) relay=$((port + 1))
pids=()
stop() {
  for p in "${pids[@]}"; do kill -9 "$p" 2> /dev/null || true; done
  for p in "${pids[@]}"; do wait "$p" 2> /dev/null || true; done
  pids=()
}
trap stop EXIT
# play NAME ARGS...: a headless player writing its events to $work/sync-NAME.out
play() { local name=$1; shift; "$build/main/vizmora" --headless --events "$@" "${clips[@]}" > "$work/sync-$name.out" 2> /dev/null & pids+=($!); }
frames() { grep -c '"event":"frame"' "$1" 2> /dev/null || true; }
wait_frames() {  # each of the outputs reaches the count
  local want=$1; shift
  local until=$(($(date +%s) + transitions * 3 + 120))
  for f in "$@"; do while [ "$(frames "$f")" -lt "$want" ] && [ "$(date +%s)" -lt "$until" ]; do sleep 0.5; done; done
}
# skew FIELD OUT...: the spread of FIELD over the players, slot by slot, from each one's second frame
skew() {
  python3 - "$@" << 'PY'
import json, statistics, sys
field, outs = sys.argv[1], sys.argv[2:]
runs = [[json.loads(l)[field] for l in open(o) if '"event":"frame"' in l][1:] for o in outs]
if field == "clock_ns":  # line the players up on the slots they all showed
    first = max(r[0] for r in runs)
    runs = [[t for t in r if t >= first - 5e8] for r in runs]
n = min(len(r) for r in runs)
scale = 1e6 if field == "clock_ns" else 1
spreads = [(max(r[i] for r in runs) - min(r[i] for r in runs)) / scale for i in range(n)]
tenth = max(1, n // 10)
drift = statistics.median(spreads[-tenth:]) - statistics.median(spreads[:tenth])
ends = " ".join(f"{statistics.median(p):.3f}/{max(p):.3f}" for p in (spreads[:tenth], spreads[-tenth:]))
print(f"{statistics.median(spreads):.3f} {max(spreads):.3f} {n} {drift:.3f} {ends}")
PY
}
row() {  # label, result of skew
  read -r median max n drift first last <<< "$2"
  echo "| B9 $1, ms over $n transitions (drift $drift ms; median/max of the first tenth $first, of the last $last) | $median | $max | marks 1 / 5 |"
}
run_synced() {  # label, clock port the followers use
  rm -f "$work"/sync-p*.out
  play p0 --sync-serve "127.0.0.1:$port"
  sleep 1
  for i in 1 2 3; do play "p$i" --sync-clock "127.0.0.1:$2"; done
  "$build/bench/clockerror/clock_error_bench" 127.0.0.1 "$2" "$seconds" > "$work/sync-clock.out" 2> /dev/null &
  local errorpid=$!
  wait_frames $((transitions + 2)) "$work"/sync-p{0,1,2,3}.out
  wait "$errorpid" || true
  stop
  row "$1" "$(skew clock_ns "$work"/sync-p{0,1,2,3}.out)"
  read -r median max n settled first last < "$work/sync-clock.out" || true
  echo "| B9 $1: a follower's clock against the published one, ms over $n readings in $seconds s (largest after the first 10 s: ${settled:-?}; median/max of the first tenth after them ${first:-?}, of the last ${last:-?}) | ${median:-?} | ${max:-?} | |"
}
seconds=60
if [ "$mode" = drift ]; then
  seconds=$((transitions - 30))
  run_synced "first-frame skew of 4 players on one clock (loopback), a long run" "$port"
  exit 0
fi
run_synced "first-frame skew of 4 players on one clock (loopback)" "$port"
python3 "$here/udprelay.py" "$relay" "$port" 20 10 & relaypid=$!
run_synced "the same, clock packets through a 20 ms ± 10 ms delay relay" "$relay"
kill "$relaypid"; wait "$relaypid" 2> /dev/null || true
rm -f "$work"/sync-a*.out
for i in 0 1 2 3; do play "a$i"; done
wait_frames $((transitions + 2)) "$work"/sync-a{0,1,2,3}.out
stop
row "anchor: 4 unsynchronised players started together, first-frame skew (monotonic ms)" "$(skew ms "$work"/sync-a{0,1,2,3}.out)"
