#!/usr/bin/env bash
# The long run: a show of 0.2-second clips and 1-second pictures (some with overlays and
# sounds) played headless; samples resident memory, open descriptors and threads after the
# first sample point and at the last. Prints table rows (metric, early, late, ratio).
# Usage: bench/longrun.sh BUILD_DIR WORK_DIR EARLY LATE   (transition counts)
# B5_TRANSITION=crossfade:1 (any --transition) plays the show with that transition.
set -euo pipefail
build=$1 work=$2 early=$3 late=$4
source "$(dirname "$0")/showmedia.sh"
"$build/bench/playlist/playlist_bench" show 20 "$work/long.pll" "$work/short.avi" "$work/still.jpg" \
  "$work/chime.wav" "$work/short.avi"

# Rounds enough for LATE transitions; the show is stopped once sampled.
"$build/main/vizmora" --headless --events ${B5_TRANSITION:+--transition "$B5_TRANSITION"} --loops $(((late + 19) / 20 + 1)) "$work/long.pll" > "$work/long.log" 2>&1 &
pid=$!
source "$(dirname "$0")/procsample.sh"
transitions() { echo $(($(grep -c '"event":"started"' "$work/long.log" || true) - 1)); }
wait_for "$early"; read -r rss1 fd1 th1 < <(proc_sample)
wait_for "$late"; read -r rss2 fd2 th2 < <(proc_sample)
kill $pid; wait $pid 2>/dev/null || true
failed=$(grep -c '"event":"failed"' "$work/long.log" || true)
echo "| B5 resident kB after $early → $late transitions ($failed failed) | $rss1 | $rss2 | $(ratio "$rss2" "$rss1") |"
echo "| B5 open descriptors after $early → $late transitions | $fd1 | $fd2 | $(ratio "$fd2" "$fd1") |"
echo "| B5 threads after $early → $late transitions | $th1 | $th2 | $(ratio "$th2" "$th1") |"
