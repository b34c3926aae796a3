#!/usr/bin/env bash
# The black-frame run: a show of real media (clips of 2-3 s with sound, each of its own pattern,
# and pictures shown 2 s, ordered so that it hands over video to video, video to picture,
# picture to picture and picture to video) played full screen with 1 s cross-fades and the next
# entry opened ahead, to TRANSITIONS transitions ("started" events but the first). bench_black
# checks every picture painted on the form for black from the first entry on; resident memory,
# descriptors, threads and X resources are sampled every 100 transitions.
# Prints table rows (metric, at 100, at TRANSITIONS, ratio), writes every sample to
# WORK/black-samples.txt and names the hand-over of each black picture found.
# Run it on a display with a window manager, such as scripts/test-display.sh gives (1600x1200):
#   scripts/test-display.sh bench/blackrun.sh BUILD_DIR WORK_DIR [TRANSITIONS]   (default 1000)
set -euo pipefail
build=$1 work=$2 late=${3:-1000}
here=$(dirname "$0")
unset QT_QPA_PLATFORM
mkdir -p "$work"
ff() { ffmpeg -loglevel error -y "$@"; }
clip() {  # clip NAME SOURCE SECONDS TONE_HZ
  [ -s "$work/$1.avi" ] || ff -f lavfi -i "$2" -f lavfi -i "sine=frequency=$4:sample_rate=44100" -t "$3" \
    -c:v mpeg4 -q:v 5 -c:a pcm_s16le "$work/$1.avi"
}
picture() { [ -s "$work/$1" ] || ff -f lavfi -i "$2" -frames:v 1 "$work/$1"; }
clip bars smptebars=size=640x480:rate=25 2 550
clip testsrc testsrc=size=640x360:rate=25 2.5 440
clip mandelbrot mandelbrot=size=640x360:rate=25 3 660
clip rgb rgbtestsrc=size=1280x720:rate=25 2 770
clip field "color=c=0x30a0c0:size=640x360:rate=25,drawbox=x=t*100:y=100:w=120:h=120:color=yellow:t=fill" 2.5 880
picture pattern.png testsrc2=size=800x600
picture orange.jpg color=c=0xd08040:size=1024x576
picture gradient.jpg gradients=size=1280x720:c0=0xff4040:c1=0x4040ff
media=(testsrc.avi bars.avi pattern.png orange.jpg mandelbrot.avi rgb.avi gradient.jpg field.avi)
"$build/bench/playlist/playlist_bench" list "$work/black.pll" 2 "${media[@]/#/$work/}"

rm -f "$work/black.reg"
VIZMORA_REGISTRY="$work/black.reg" "$build/main/vizmora" --fullscreen --hide-playlist --events --transition crossfade:1 \
  --loops $((late / ${#media[@]} + 2)) "$work/black.pll" > "$work/black.log" 2> "$work/black.err" &
pid=$!
source "$here/procsample.sh"
transitions() { echo $(($(grep -c '"event":"started"' "$work/black.log" || true) - 1)); }
wait_for 0
# The form's picture: the whole of its window, once that fills the screen.
form=$(xdotool search --sync --onlyvisible --pid $pid --name '^Quorvex Vizmora' | head -1)
screen=$(xdotool getdisplaygeometry)
for _ in $(seq 300); do
  eval "$(xdotool getwindowgeometry --shell "$form")"
  [ "$WIDTH $HEIGHT" = "$screen" ] && break
  sleep 0.1
done
[ "$WIDTH $HEIGHT" = "$screen" ] || { echo "blackrun: the form is ${WIDTH}x$HEIGHT, not full screen" >&2; exit 1; }
"$build/bench/frames/bench_black" "$work/black.txt" "$X" "$Y" "$WIDTH" "$HEIGHT" &
watcher=$!
: > "$work/black-samples.txt"
step=$((late < 100 ? late : 100))
for ((n = step; n <= late; n += step)); do
  wait_for $n
  echo "$n $(sample)" >> "$work/black-samples.txt"
  boxes=$((boxes + $(message_boxes)))
done
kill $watcher; wait $watcher
kill $pid; wait $pid 2> /dev/null || true

read -r checked drawings black < "$work/black.txt"
# Each black picture against the show's last event before it.
{ grep '^black' "$work/black.txt" || true; } | while read -r _ ms luma dark; do
  grep -o '"event":"\(started\|finished\)","file":"[^"]*","index":[0-9]*,"kind":"[a-z]*","ms":[0-9]*' "$work/black.log" |
    sed -E 's/"event":"([a-z]+)","file":"([^"]*)".*"ms":([0-9]+)/\3 \1 \2/' |
    awk -v t="$ms" -v l="$luma" -v d="$dark" '$1 <= t { last = $0 } END {
      split(last, e, " "); printf "blackrun: black at %s ms (luma %s, %s%% dark), %d ms after %s of %s\n", t, l, d, t - e[1], e[2], e[3] }' >&2
done
read -r rss1 fd1 th1 x1 < <(awk 'NR == 1 { print $2, $3, $4, $5 }' "$work/black-samples.txt")
read -r rss2 fd2 th2 x2 < <(tail -1 "$work/black-samples.txt" | awk '{ print $2, $3, $4, $5 }')
echo "| black pictures painted over $late transitions with 1 s cross-fades, full screen (${WIDTH}x$HEIGHT; $checked pictures checked at $drawings drawings; goal 0) | $black | - | - |"
echo "| resident kB after $step → $late transitions ($boxes message boxes) | $rss1 | $rss2 | $(ratio "$rss2" "$rss1") |"
echo "| open descriptors after $step → $late transitions | $fd1 | $fd2 | $(ratio "$fd2" "$fd1") |"
echo "| threads after $step → $late transitions | $th1 | $th2 | $(ratio "$th2" "$th1") |"
echo "| X resources held after $step → $late transitions | $x1 | $x2 | $(ratio "$x2" "$x1") |"
