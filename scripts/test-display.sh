#!/bin/bash
# Runs a command on an X display of its own: Xvfb with a window manager running, as a desktop
# session has one; both end with the command, whose status is returned.
#   scripts/test-display.sh [--wm openbox|icewm|fluxbox|none] [--screen WxHxD] command [args...]
# openbox by default; none leaves the server bare. A window manager that is not installed ends
# the run with status 77 and a message saying so (ctest counts it as skipped).
set -uo pipefail

wm=openbox
screen=1600x1200x24
while [ $# -gt 0 ]; do
  case "$1" in
    --wm) wm=$2; shift 2 ;;
    --screen) screen=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--wm NAME] [--screen WxHxD] command [args...]" >&2; exit 2; }

for program in Xvfb xprop ${wm/none/}; do
  command -v "$program" >/dev/null || { echo "SKIPPED: $program is not installed" >&2; exit 77; }
done

tmp=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display and writes its number once it accepts connections. A server that
# ended on the same number just before may still remove its socket after the new one made it,
# so a display that cannot be reached, or a window manager that cannot reach it, is made anew.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
start_session() {
  rm -f "$tmp/displayfd" && mkfifo "$tmp/displayfd"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$tmp/displayfd" 2>"$tmp/xvfb.log" &
  pids+=($!)
  local number=""
  read -r number <"$tmp/displayfd" || true
  if [ -z "$number" ]; then
    echo "Xvfb did not start:" >&2
    cat "$tmp/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$number"
  xprop -root >/dev/null 2>&1 || { echo "display $DISPLAY cannot be reached" >&2; return 1; }
  # The window manager is ready once it names itself on the root window (EWMH); at most 30 s.
  case "$wm" in
    none) return 0 ;;
    openbox) openbox --sm-disable >"$tmp/wm.log" 2>&1 & pids+=($!) ;;
    icewm) HOME="$tmp" icewm >"$tmp/wm.log" 2>&1 & pids+=($!) ;;
    fluxbox) HOME="$tmp" fluxbox >"$tmp/wm.log" 2>&1 & pids+=($!) ;;
  esac
  for _ in $(seq 600); do wm_ready && return 0; sleep 0.05; done
  echo "$wm did not start:" >&2
  cat "$tmp/wm.log" >&2
  return 1
}
case "$wm" in
  none | openbox | icewm | fluxbox) ;;
  *) echo "unknown window manager: $wm" >&2; exit 2 ;;
esac
unset WAYLAND_DISPLAY
for attempt in 1 2 3; do
  start_session && break
  [ "$attempt" = 3 ] && exit 1
  cleanup
  pids=()
  tmp=$(mktemp -d)
done

status=0
"$@" || status=$?
exit "$status"
