#!/usr/bin/env bash
# The kiosk run: the long run's show of clips, pictures, overlays and sounds, with a missing and a
# corrupt entry added, played in a window full screen while skipping what fails and logging every
# event. Samples resident memory, open descriptors, threads and the X resources the program holds
# (xrestop; "-" without it) after EARLY and at LATE transitions (entries started or failed), and
# looks for message boxes. Run it on a display (make bench runs it under Xvfb).
# Prints table rows (metric, early, late, ratio).
# Usage: bench/kioskrun.sh BUILD_DIR WORK_DIR EARLY LATE
# B7_TRANSITION=crossfade:1 (any --transition) plays the show with that transition.
set -euo pipefail
build=$1 work=$2 early=$3 late=$4
source "$(dirname "$0")/showmedia.sh"
"$build/bench/playlist/playlist_bench" show 20 "$work/kiosk.pll" "$work/short.avi" "$work/still.jpg" \
  "$work/chime.wav" "$work/short.avi"
echo "not a video" > "$work/corrupt.avi"
rm -f "$work/kiosk.log"* "$work/missing.avi"

export VIZMORA_REGISTRY="$work/kiosk-registry.reg"
"$build/main/vizmora" --fullscreen --skip-broken ${B7_TRANSITION:+--transition "$B7_TRANSITION"} --log "$work/kiosk.log" --loops $(((late + 21) / 22 + 1)) \
  "$work/kiosk.pll" "$work/missing.avi" "$work/corrupt.avi" > "$work/kiosk.out" 2>&1 &
pid=$!
source "$(dirname "$0")/procsample.sh"
transitions() { echo $(($(grep -c '"event":"\(started\|failed\)"' "$work/kiosk.log" 2> /dev/null || true) - 1)); }
wait_for "$early"; read -r rss1 fd1 th1 x1 < <(sample); boxes=$((boxes + $(message_boxes)))
wait_for "$late"; read -r rss2 fd2 th2 x2 < <(sample); boxes=$((boxes + $(message_boxes)))
kill $pid; wait $pid 2>/dev/null || true
failed=$(grep -c '"event":"failed"' "$work/kiosk.log" || true)
started=$(grep -c '"event":"started"' "$work/kiosk.log" || true)
echo "| B7 window kiosk: resident kB after $early → $late transitions ($started started, $failed broken ones logged, $boxes message boxes) | $rss1 | $rss2 | $(ratio "$rss2" "$rss1") |"
echo "| B7 open descriptors after $early → $late transitions | $fd1 | $fd2 | $(ratio "$fd2" "$fd1") |"
echo "| B7 threads after $early → $late transitions | $th1 | $th2 | $(ratio "$th2" "$th1") |"
echo "| B7 X resources held after $early → $late transitions | $x1 | $x2 | $(ratio "$x2" "$x1") |"
