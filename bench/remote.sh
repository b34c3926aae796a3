#!/usr/bin/env bash
# B11: the remote server's cost to a show in a window. Plays a 1280x720 clip in the video form
# (looping) with --remote, and measures the player's CPU (user + system from /proc) and the frames
# shown at the window's centre (bench_frames) for B11_SECONDS (default 60) each: without load,
# with 200 status requests a second and 50 WebSocket clients, without load again, with 1,000 idle
# connections (bench/remoteload.py makes the load). The load phases are set against the mean of
# the two phases without load. Prints table rows (metric, ours, without load, ratio).
# Usage: bench/remote.sh BUILD_DIR WORK_DIR   (on an X display of 1920x1080; bench/run.sh starts one)
set -euo pipefail
build=$1 work=$2 seconds=${B11_SECONDS:-60}
here=$(cd "$(dirname "$0")" && pwd)
vizmora="$build/main/vizmora"
frames="$build/bench/frames/bench_frames"
unset QT_QPA_PLATFORM
source "$here/placement.sh"

media="$work/b11-media"
mkdir -p "$media"
[ -s "$media/b11.avi" ] || ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=1280x720:rate=25:duration=20" \
  -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=20" -c:v mpeg4 -q:v 5 -c:a pcm_s16le -shortest "$media/b11.avi"
token="$work/b11.token"
rm -f "$token"
(umask 077 && od -An -tx1 -N16 /dev/urandom | tr -d ' \n' > "$token")
settings "$work/b11.reg" window
read -r x y w h <<< "${place[window]}"

# The server holds a descriptor per connection: room for the 1,000 idle ones.
(ulimit -n 4096 2> /dev/null || true
 exec env VIZMORA_REGISTRY="$work/b11.reg" "$vizmora" --remote 127.0.0.1:0 --remote-token-file "$token" \
   --media-dir "$media" "$media/b11.avi") > /dev/null 2> "$work/b11.err" &
pid=$!
trap 'kill "$pid" 2> /dev/null || true' EXIT

base=
for _ in $(seq 600); do
  base=$(grep -o 'remote operation on http://[0-9.:]*/' "$work/b11.err" | sed 's/.* on //') && [ -n "$base" ] && break
  kill -0 "$pid" 2> /dev/null || { echo "remote: vizmora ended: $(cat "$work/b11.err")" >&2; exit 1; }
  sleep 0.1
done
[ -n "$base" ] || { echo "remote: vizmora never said where it serves" >&2; exit 1; }
python3 - "$base" "$token" <<'EOF'
import json, sys, time, urllib.request
request = urllib.request.Request(sys.argv[1] + "api/status",
                                 headers={"Authorization": "Bearer " + open(sys.argv[2]).read().strip()})
for _ in range(600):
    if json.load(urllib.request.urlopen(request)).get("state") == "playing":
        sys.exit(0)
    time.sleep(0.1)
sys.exit("remote: the show never started")
EOF

# phase MODE TAG: one measured phase; leaves "cpu_s wall_s ... frames_per_s" in $work/b11-TAG.
phase() {
  echo "remote: $2, $seconds s" >&2
  "$frames" "$work/b11-$2.f" $((x + w / 2)) $((y + h / 2)) \
    python3 "$here/remoteload.py" "$pid" "$base" "$token" "$seconds" "$1" > "$work/b11-$2.load"
  echo "$(cat "$work/b11-$2.load") $(awk -v s="$(awk '{ print $2 }' "$work/b11-$2.load")" '{ printf "%.1f", $1 / s }' "$work/b11-$2.f")" > "$work/b11-$2"
}
phase none before
phase busy busy
phase none after
phase idle idle

# Columns of a phase: 1 cpu_s 2 wall_s 3 requests 4 failed 5 p50_ms 6 p99_ms 7 messages 8 held
# 9 reopened 10 frames/s.
col() { awk -v n="$2" '{ print $n }' "$work/b11-$1"; }
cpu() { awk '{ printf "%.4f", $1 / $2 }' "$work/b11-$1"; }
mean() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.4f", (a + b) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "-"; else printf "%.2f", a / b }'; }
quiet=$(mean "$(cpu before)" "$(cpu after)")
fps=$(awk -v a="$(col before 10)" -v b="$(col after 10)" 'BEGIN { printf "%.1f", (a + b) / 2 }')
echo "| B11 player CPU s per s, a 1280x720 clip in the window, with 200 status requests/s and 50 WebSocket clients for $seconds s (vs without load, the mean of a phase before and one after: $(cpu before), $(cpu after); frames/s $(col busy 10) vs $fps; $(col busy 3) requests, $(col busy 4) failed, p50 $(col busy 5) ms, p99 $(col busy 6) ms; $(col busy 8) clients got $(col busy 7) events) | $(cpu busy) | $quiet | $(ratio "$(cpu busy)" "$quiet") |"
echo "| B11 the same with 1,000 idle connections (frames/s $(col idle 10) vs $fps; $(col idle 8) held, $(col idle 9) opened again after the server closed them, $(col idle 4) failed) | $(cpu idle) | $quiet | $(ratio "$(cpu idle)" "$quiet") |"
echo "| B11 frames/s under the 200 requests/s and 50 clients (vs without load) | $(col busy 10) | $fps | $(ratio "$(col busy 10)" "$fps") |"
