#!/bin/bash
# Runs a command as a native Wayland client of a compositor of its own: weston's headless back
# end, drawing in memory (so screenshots show what clients drew) and letting its screenshooter
# run; both end with the command, whose status is returned.
#   scripts/test-weston.sh [--size WxH] [--scale N] command [args...]
# (--scale: an output of N device pixels per logical one, a high-density screen)
# Where weston or Qt's Wayland platform is not installed the run ends with status 77 and a
# message saying so (ctest counts it as skipped).
set -uo pipefail

size=1600x1200
scale=1
while [ $# -gt 0 ]; do
  case "$1" in
    --size) size=$2; shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "usage: $0 [--size WxH] [--scale N] command [args...]" >&2; exit 2; }

command -v weston >/dev/null || { echo "SKIPPED: weston is not installed" >&2; exit 77; }
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null || echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
[ -e "$qt_plugins/platforms/libqwayland-generic.so" ] ||
  { echo "SKIPPED: Qt's Wayland platform (qt6-wayland) is not installed" >&2; exit 77; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=
cleanup() {
  [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export XDG_RUNTIME_DIR=$runtime
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=vizmora-test \
  --width="${size%x*}" --height="${size#*x}" --scale="$scale" --use-pixman --debug --idle-time=0 \
  --log="$runtime/weston.log" >/dev/null 2>&1 &
weston_pid=$!
# The shell is loaded once the socket listens; at most 30 s.
started() { grep -q "Loading module.*desktop-shell.so" "$runtime/weston.log" 2>/dev/null; }
for _ in $(seq 600); do started && break; kill -0 "$weston_pid" 2>/dev/null || break; sleep 0.05; done
if ! started; then
  echo "weston did not start:" >&2
  cat "$runtime/weston.log" >&2
  exit 1
fi

export WAYLAND_DISPLAY=vizmora-test QT_QPA_PLATFORM=wayland
unset DISPLAY
status=0
"$@" || status=$?
exit "$status"
