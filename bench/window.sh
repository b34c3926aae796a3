#!/usr/bin/env bash
# B2w: video in a window. Plays a 20 s 1280x720 and a 1920x1080 clip in the video form at its
# default size and over the whole screen, against mpv --vo=x11 --ao=null in a window of the same
# size and place, interleaved; and each with a picture-in-picture overlay, against our one-stream
# figure and against mpv overlaying the same file with --lavfi-complex. CPU is user + system of the player per media second; frames are counted
# on the X display (bench_frames), the same way for both players. Prints table rows (metric,
# ours, peer, ratio) with medians. Run it on an X display of 1920x1080 (bench/run.sh starts an
# Xvfb of that size).
# Usage: bench/window.sh BUILD_DIR WORK_DIR [RUNS]   (RUNS interleaved runs, default 3)
# B2W_VIZMORA=PATH measures another vizmora binary with the same tools (an earlier build).
set -euo pipefail
build=$1 work=$2 runs=${3:-3}
vizmora=${B2W_VIZMORA:-$build/main/vizmora}
measure="$build/bench/measure/bench_measure"
frames="$build/bench/frames/bench_frames"
unset QT_QPA_PLATFORM
mkdir -p "$work"

ff() { ffmpeg -loglevel error -y "$@"; }
clip() {  # clip FILE SIZE PATTERN
  [ -s "$1" ] || ff -f lavfi -i "$3=size=$2:rate=25:duration=20" -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=20" \
    -c:v mpeg4 -q:v 5 -c:a pcm_s16le -shortest "$1"
}
clip "$work/win720.avi" 1280x720 testsrc
clip "$work/win1080.avi" 1920x1080 testsrc
clip "$work/pip.avi" 640x360 smptebars
for p in 720 1080; do
  "$build/bench/playlist/playlist_bench" overlay "$work/pip$p.pll" "$work/win$p.avi" "$work/pip.avi"
done
seconds=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$work/win720.avi")

source "$(dirname "$0")/placement.sh"

# mpv's filters for our overlay: the lower right quarter of the picture at half opacity, both
# sounds mixed (ours plays both).
overlay() {  # overlay WIDTHxHEIGHT of the quarter
  echo "[vid2]scale=${1/x/:},format=yuva420p,colorchannelmixer=aa=0.5[ov];[vid1][ov]overlay=x=main_w/2:y=main_h/2[vo];[aid1][aid2]amix[ao]"
}
declare -A quarter=([720]="640x360" [1080]="960x540")

# play WHO SIZE MEDIA TAG: one run, counted at the centre of the window; appends to $work/b2w-TAG.
play() {
  local who=$1 size=$2 media=$3 tag=$4 x y w h
  read -r x y w h <<< "${place[$size]}"
  local cx=$((x + w / 2)) cy=$((y + h / 2)) m="$work/b2w-$tag.m" f="$work/b2w-$tag.f"
  local counter=()
  [ -x "$frames" ] && counter=("$frames" "$f")
  [ -x "$frames" ] || echo "-1 0 0 0" > "$f"
  case $who in
    ours) settings "$work/b2w.reg" "$size"
          VIZMORA_REGISTRY="$work/b2w.reg" "${counter[@]}" ${counter:+$cx $cy} "$measure" "$m" '' \
            "$vizmora" --loops 1 "$media" > "$work/b2w-$tag.log" 2>&1 ;;
    mpv)  "${counter[@]}" ${counter:+$cx $cy} "$measure" "$m" '' mpv --no-config --vo=x11 --ao=null --no-border \
            --geometry="${w}x${h}+${x}+${y}" "$media" > "$work/b2w-$tag.log" 2>&1 ;;
    mpvpip) "${counter[@]}" ${counter:+$cx $cy} "$measure" "$m" '' mpv --no-config --vo=x11 --ao=null --no-border \
            --geometry="${w}x${h}+${x}+${y}" --external-file="$work/pip.avi" \
            --lavfi-complex="$(overlay "${quarter[$5]}")" "$media" > "$work/b2w-$tag.log" 2>&1 ;;
  esac
  [ "$(awk '{ print $7 }' "$m")" = 0 ] || echo "window: $who exited with status $(awk '{ print $7 }' "$m")" >&2
  echo "$(awk -v d="$seconds" '{ printf "%.4f", ($3 + $4) / d }' "$m") $(awk -v d="$seconds" '{ printf "%.1f", $1 / d }' "$f") $(cut -d' ' -f1 /proc/loadavg)" \
    >> "$work/b2w-$tag.runs"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v n="$2" '{ print $n }' "$work/b2w-$1.runs" | median; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "-"; else printf "%.2f", a / b }'; }

rm -f "$work"/b2w-*.runs
for run in $(seq "$runs"); do
  for p in 720 1080; do
    for size in window full; do
      echo "window: run $run, ${p}p, $size" >&2
      play ours "$size" "$work/win$p.avi" "ours-$p-$size"
      play mpv "$size" "$work/win$p.avi" "mpv-$p-$size"
      play ours "$size" "$work/pip$p.pll" "pip-$p-$size"
      play mpvpip "$size" "$work/win$p.avi" "mpvpip-$p-$size" "$p"
    done
  done
done

declare -A label=([720]="1280x720" [1080]="1920x1080")
declare -A where=([window]="the window (783x647)" [full]="full screen (1920x1080)")
for p in 720 1080; do
  for size in window full; do
    o=$(column "ours-$p-$size" 1); m=$(column "mpv-$p-$size" 1); v=$(column "pip-$p-$size" 1)
    mv=$(column "mpvpip-$p-$size" 1)
    load=$(cat "$work"/b2w-{ours,mpv,pip,mpvpip}-$p-$size.runs | awk '{ print $3 }' | median)
    echo "| B2w CPU s per media s, ${label[$p]} in ${where[$size]} (median of $runs; ours vs mpv --vo=x11; frames/s $(column "ours-$p-$size" 2) vs $(column "mpv-$p-$size" 2); load $load) | $o | $m | $(ratio "$o" "$m") |"
    echo "| B2w the same with a 640x360 overlay (ours with vs without it; frames/s $(column "pip-$p-$size" 2)) | $v | $o | $(ratio "$v" "$o") |"
    echo "| B2w the same overlay, ours vs mpv --lavfi-complex overlay (frames/s $(column "pip-$p-$size" 2) vs $(column "mpvpip-$p-$size" 2)) | $v | $mv | $(ratio "$v" "$mv") |"
  done
done
