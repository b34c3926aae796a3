# shellcheck shell=bash disable=SC2154
# What the long runs sample of the program running as $pid, and their wait for its transitions.
# Sourced by longrun.sh, kioskrun.sh and blackrun.sh.

# The sum of the resource counts (windows, GCs, pixmaps, fonts, ...) of every client but xrestop:
# the display is the run's own, and Xvfb names no client's pid. "-" without xrestop.
xres() {
  command -v xrestop > /dev/null || { echo "-"; return; }
  xrestop -b -m 1 | awk '
    /^[0-9]+ - / { mine = !/ - xrestop /; next }
    mine && $1 !~ /^res_/ && $0 !~ /bytes/ { n += $NF }
    END { print n + 0 }'
}
# Resident kB, open descriptors and threads.
proc_sample() {
  echo "$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status") $(ls "/proc/$pid/fd" | wc -l) $(awk '/^Threads/ { print $2 }' "/proc/$pid/status")"
}
# Those and the X resources.
sample() { echo "$(proc_sample) $(xres)"; }
# The message boxes on screen: top-level windows titled "Vizmora".
message_boxes() { xwininfo -root -tree 2> /dev/null | grep -c '"Vizmora"' || true; }
boxes=0
# Waits until the caller's `transitions` reaches N, adding up the message boxes seen now and
# then; fails if the program ended first.
wait_for() {
  while [ "$(transitions)" -lt "$1" ]; do
    kill -0 "$pid" 2> /dev/null || { echo "$(basename "$0" .sh): vizmora ended early" >&2; return 1; }
    if [ $((RANDOM % 50)) = 0 ]; then boxes=$((boxes + $(message_boxes))); fi
    sleep 0.1
  done
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == "-" || b == 0) print "-"; else printf "%.2f", a / b }'; }
