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
xres() {
  command -v xrestop > /dev/null || { echo "-"; return; }
  # The sum of the resource counts (windows, GCs, pixmaps, fonts, ...) of every client but
  # xrestop: the display is the run's own, and Xvfb names no client's pid.
  xrestop -b -m 1 | awk '
    /^[0-9]+ - / { mine = !/ - xrestop /; next }
    mine && $1 !~ /^res_/ && $0 !~ /bytes/ { n += $NF }
    END { print n + 0 }'
}
boxes=0
sample() {
  # A message box is a top-level window titled "Vizmora".
  boxes=$((boxes + $(xwininfo -root -tree 2> /dev/null | grep -c '"Vizmora"' || true)))
  echo "$(awk '/^VmRSS/ { print $2 }' /proc/$pid/status) $(ls /proc/$pid/fd | wc -l) $(awk '/^Threads/ { print $2 }' /proc/$pid/status) $(xres)"
}
transitions() { echo $(($(grep -c '"event":"\(started\|failed\)"' "$work/kiosk.log" 2> /dev/null || true) - 1)); }
wait_for() {
  while [ "$(transitions)" -lt "$1" ]; do
    kill -0 $pid 2>/dev/null || { echo "kioskrun: vizmora ended early" >&2; return 1; }
    [ $((RANDOM % 50)) = 0 ] && boxes=$((boxes + $(xwininfo -root -tree 2> /dev/null | grep -c '"Vizmora"' || true)))
    sleep 0.1
  done
}
wait_for "$early"; read -r rss1 fd1 th1 x1 < <(sample)
wait_for "$late"; read -r rss2 fd2 th2 x2 < <(sample)
kill $pid; wait $pid 2>/dev/null || true
failed=$(grep -c '"event":"failed"' "$work/kiosk.log" || true)
started=$(grep -c '"event":"started"' "$work/kiosk.log" || true)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == "-" || b == 0) print "-"; else printf "%.2f", a / b }'; }
echo "| B7 window kiosk: resident kB after $early → $late transitions ($started started, $failed broken ones logged, $boxes message boxes) | $rss1 | $rss2 | $(ratio "$rss2" "$rss1") |"
echo "| B7 open descriptors after $early → $late transitions | $fd1 | $fd2 | $(ratio "$fd2" "$fd1") |"
echo "| B7 threads after $early → $late transitions | $th1 | $th2 | $(ratio "$th2" "$th1") |"
echo "| B7 X resources held after $early → $late transitions | $x1 | $x2 | $(ratio "$x2" "$x1") |"
