#!/usr/bin/env bash
# A supervisor restarts the program whenever it ends; the program is killed outright (SIGKILL)
# while the show's second entry plays. Measures the time from the kill to that entry's first
# frame in the restarted program, three times. Prints a table row (metric, best, worst, ratio).
# Usage: bench/resume.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1 work=$2
source "$(dirname "$0")/showmedia.sh"
"$build/bench/playlist/playlist_bench" show 4 "$work/resume.pll" "$work/short.avi" "$work/still.jpg" \
  "$work/chime.wav" "$work/short.avi"
export VIZMORA_REGISTRY="$work/resume-registry.reg"
rm -f "$VIZMORA_REGISTRY" "$work/resume.out"
# The supervisor, as a service manager's Restart=always is.
( while :; do "$build/main/vizmora" --headless --resume --events "$work/resume.pll" >> "$work/resume.out" 2>/dev/null & echo $! > "$work/resume.pid"; wait $! || true; done ) &
supervisor=$!
ms() { date +%s%3N; }
lines() { grep -c "$1" "$work/resume.out" 2> /dev/null || true; }
wait_lines() {  # pattern count
  local until=$(($(ms) + 60000))
  while [ "$(lines "$1")" -lt "$2" ] && [ "$(ms)" -lt "$until" ]; do sleep 0.01; done
}
times=() note=""
for round in 1 2 3; do
  wait_lines '"event":"started","index":1' "$round"
  frames=$(lines '"event":"frame","index":1')
  # Killed once its frame is out, so the restart has to bring it back.
  wait_lines '"event":"frame","index":1' $((frames + 1))
  kill -9 "$(cat "$work/resume.pid")"
  killed=$(ms) firsts=$(lines '"event":"started","index":0')
  wait_lines '"event":"frame","index":1' $((frames + 2))
  times+=($(($(ms) - killed)))
  [ "$(lines '"event":"started","index":0')" = "$firsts" ] || note=" (NOT resumed: the first entry started)"
  # On to the next round: let entry 1 end and come round again.
done
kill $supervisor; kill -9 "$(cat "$work/resume.pid")" 2> /dev/null || true; wait 2> /dev/null || true
sorted=$(printf '%s\n' "${times[@]}" | sort -n)
best=$(head -1 <<< "$sorted") worst=$(tail -1 <<< "$sorted")
echo "| B7 kill -9 → first frame of the same entry, restarted by a supervisor, ms (best, worst of 3; target 3000)$note | $best | $worst | $(awk -v a="$worst" 'BEGIN { printf "%.2f", a / 3000 }') |"
