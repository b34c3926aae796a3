#!/usr/bin/env bash
# Runs the benchmarks side by side against mpv and gst-play-1.0 and prints one table
# (metric, ours, peer, ratio); appends it with the date and machine to bench/RESULTS.md.
# Usage: bench/run.sh BUILD_DIR   (a Release build with vizmora, playlist_bench, registry_bench,
#                                  window_bench, opening_bench, vizmora_slow_reads, bench_measure,
#                                  bench_frames, bench_black)
# B5_TRANSITIONS=1000 makes the long run the full length (default 300); B7_TRANSITIONS likewise.
# BLACK_TRANSITIONS=1000 adds the black-frame run (bench/blackrun.sh) of that many transitions.
# B5_TRANSITION and B7_TRANSITION (crossfade:1, say) play those shows with a transition.
# B2W_RUNS sets the interleaved runs of B2w (default 3); B11_SECONDS the length of each of B11's
# phases (default 60). B1_ONLY=1 stops after B1.
# Nothing here judges a figure; the table only reports them.
set -euo pipefail

build=$(cd "${1:?usage: run.sh BUILD_DIR}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work="$build/bench-work"
vizmora="$build/main/vizmora"
measure="$build/bench/measure/bench_measure"
plbench="$build/bench/playlist/playlist_bench"
regbench="$build/bench/registry/registry_bench"
winbench="$build/bench/window/window_bench"
mkdir -p "$work"
export QT_QPA_PLATFORM=offscreen

rows=()
row() { rows+=("| $1 | $2 | $3 | $4 |"); }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "-"; else printf "%.2f", a / b }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
field() { awk -v n="$2" '{ print $n }' "$1"; }
log() { echo "bench: $*" >&2; }

# --- media --------------------------------------------------------------------------------
clip() {  # clip FILE SIZE SECONDS
  [ -s "$1" ] && return 0
  ffmpeg -loglevel error -y -f lavfi -i "testsrc=size=$2:rate=25:duration=$3" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=$3" \
    -c:v mpeg4 -q:v 5 -c:a pcm_s16le -shortest "$1"
}
duration() { ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$1"; }

clips=()
for i in $(seq -w 1 20); do clip "$work/clip$i.avi" 640x360 1; clips+=("$work/clip$i.avi"); done
clip "$work/long720.avi" 1280x720 30
media_total=0
for c in "${clips[@]}"; do media_total=$(awk -v t="$media_total" -v d="$(duration "$c")" 'BEGIN { print t + d }'); done
long_seconds=$(duration "$work/long720.avi")

# Each player, given files, plays them once in real time with no picture or sound output.
play_ours()  { "$measure" "$1" '"frame"' "$vizmora" --headless --loops 1 --events "${@:2}"; }
play_cut()   { play_ours "$1" --no-preload "${@:2}"; }  # ours without the next entry opened ahead
play_mpv()   { "$measure" "$1" 'playback restart complete' mpv --no-config --vo=null --ao=null \
                 --msg-level=all=warn,cplayer=v "${@:2}"; }
play_mpvpf() { play_mpv "$1" --prefetch-playlist=yes "${@:2}"; }
play_gst()   { "$measure" "$1" '' gst-play-1.0 -q --no-interactive \
                 --videosink="fakesink sync=true" --audiosink="fakesink sync=true" "${@:2}"; }
wall_s() { awk '{ printf "%.3f", ($2 - $1) / 1000 }' "$1"; }
cpu_s()  { awk '{ printf "%.3f", $3 + $4 }' "$1"; }
checked() {  # checked REPORT NAME: a player that failed spoils the figure
  local status; status=$(field "$1" 7)
  [ "$status" = 0 ] || log "$2 exited with status $status"
}

# The table, printed and appended with the date and machine to RESULTS.md.
finish() {
  local cpu table
  cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
  table=$(printf '%s\n' "| metric | ours | peer | ratio |" "|---|---|---|---|" "${rows[@]}")
  echo "$table"
  {
    echo
    echo "## $(date -u '+%Y-%m-%d %H:%M UTC') — $(nproc) cores, $cpu"
    echo "mpv $(mpv --version | head -1 | awk '{ print $2 }'), $(gst-play-1.0 --version | head -1)"
    echo
    echo "$table"
  } >> "$here/RESULTS.md"
}

# --- B1 transition overhead ---------------------------------------------------------------
log "B1: 20 x 1 s clips, 3 interleaved runs each"
declare -A b1 gaps
for run in 1 2 3; do
  for who in ours cut mpv mpvpf gst; do
    "play_$who" "$work/b1-$who-$run.txt" "${clips[@]}" > "$work/b1-$who-$run.log"
    checked "$work/b1-$who-$run.txt" "$who"
    b1[$who]+=" $(awk -v m="$media_total" '{ printf "%.1f", (($2 - $1) - m * 1000) / 20 }' "$work/b1-$who-$run.txt")"
  done
  # Our own gap: one entry's "finished" to the next entry's first "frame".
  for who in ours cut; do
    gaps[$who]+=" $(grep -o '"event":"[a-z]*".*"ms":[0-9]*' "$work/b1-$who-$run.log" |
      sed -E 's/"event":"([a-z]+)".*"ms":([0-9]+)/\1 \2/' |
      awk '$1 == "finished" { f = $2 } $1 == "frame" && f { print $2 - f; f = 0 }' | tr '\n' ' ')"
  done
done
o=$(median ${b1[ours]}); c=$(median ${b1[cut]}); m=$(median ${b1[mpv]}); p=$(median ${b1[mpvpf]}); g=$(median ${b1[gst]})
row "B1 overhead per transition, ms (median of 3; ours, next entry opened ahead, vs mpv --prefetch-playlist=yes)" "$o" "$p" "$(ratio "$o" "$p")"
row "B1 overhead per transition, ms (median of 3; ours vs mpv)" "$o" "$m" "$(ratio "$o" "$m")"
row "B1 overhead per transition, ms (median of 3; ours vs ours --no-preload)" "$o" "$c" "$(ratio "$o" "$c")"
row "B1 overhead per transition, ms (median of 3; ours vs gst-play)" "$o" "$g" "$(ratio "$o" "$g")"
for who in ours cut; do
  read -ra list <<< "${gaps[$who]}"
  row "B1 our gap finished→next frame, ms, $([ $who = ours ] && echo "opened ahead" || echo "--no-preload") (median of ${#list[@]}; max $(printf '%s\n' "${list[@]}" | sort -g | tail -1))" \
    "$(median "${list[@]}")" "-" "-"
done
if [ -n "${B1_ONLY:-}" ]; then finish; exit 0; fi

# --- B3 launch to first frame -------------------------------------------------------------
log "B3: launch to first frame, 3 interleaved runs"
b3o=(); b3m=()
for run in 1 2 3; do
  play_ours "$work/b3-ours-$run.txt" "${clips[0]}" > "$work/b3-ours-$run.log"
  play_mpv "$work/b3-mpv-$run.txt" "${clips[0]}" > "$work/b3-mpv-$run.log"
  start=$(field "$work/b3-ours-$run.txt" 1)
  first=$(grep -m1 -o '"event":"frame".*"ms":[0-9]*' "$work/b3-ours-$run.log" | sed -E 's/.*"ms":([0-9]+)/\1/')
  b3o+=("$(awk -v s="$start" -v f="$first" 'BEGIN { printf "%.1f", f - s }')")
  b3m+=("$(awk '{ printf "%.1f", $6 - $1 }' "$work/b3-mpv-$run.txt")")
done
o=$(median "${b3o[@]}"); m=$(median "${b3m[@]}")
row "B3 exec→first frame, ms (median of 3; ours: first \"frame\" event, mpv: \"playback restart complete\")" "$o" "$m" "$(ratio "$o" "$m")"

# --- B2 CPU per media second --------------------------------------------------------------
log "B2: CPU of a ${long_seconds} s 1280x720 clip"
declare -A b2
for who in ours mpv gst; do
  "play_$who" "$work/b2-$who.txt" "$work/long720.avi" > "$work/b2-$who.log"
  checked "$work/b2-$who.txt" "$who"
  b2[$who]=$(awk -v d="$long_seconds" '{ printf "%.4f", ($3 + $4) / d }' "$work/b2-$who.txt")
done
row "B2 CPU s per media s, 1280x720 (ours vs mpv)" "${b2[ours]}" "${b2[mpv]}" "$(ratio "${b2[ours]}" "${b2[mpv]}")"
row "B2 CPU s per media s, 1280x720 (ours vs gst-play)" "${b2[ours]}" "${b2[gst]}" "$(ratio "${b2[ours]}" "${b2[gst]}")"

# --- B2w video in a window ------------------------------------------------------------------
# On an X display of its own, 1920x1080, so the full-screen runs cover a known screen.
log "B2w: video in a window and full screen, ${B2W_RUNS:-3} interleaved runs"
while IFS= read -r line; do rows+=("$line"); done < <(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  bash "$here/window.sh" "$build" "$work" "${B2W_RUNS:-3}")

# --- a cross-fade's CPU -------------------------------------------------------------------
log "Cross-fade: CPU over a 5 s cross-fade against one stream, 3 runs"
while IFS= read -r line; do rows+=("$line"); done < <(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  bash "$here/fadecpu.sh" "$build" "$work" 3)

# --- B11 the remote server under load ------------------------------------------------------
log "B11: the remote server's load on a show in a window, ${B11_SECONDS:-60} s a phase"
while IFS= read -r line; do rows+=("$line"); done < <(xvfb-run -a -s "-screen 0 1920x1080x24 -nolisten tcp" \
  bash "$here/remote.sh" "$build" "$work")

# --- B4 playlist files --------------------------------------------------------------------
log "B4: playlist files"
for n in 10000 100000 1000000; do
  file="$work/list-$n.pll"
  # op N bytes seconds MB/s rss_before_kB rss_peak_kB peak_bytes_per_entry
  read -r _ _ bytes ss smb _ _ sper < <("$plbench" save "$n" "$file")
  read -r _ _ _ ls lmb _ _ lper < <("$plbench" load "$n" "$file")
  row "B4 save $n entries ($((bytes / 1000)) kB): MB/s; µs/entry $(awk -v s="$ss" -v n="$n" 'BEGIN { printf "%.3f", s * 1e6 / n }'); peak B/entry $sper" "$smb" "-" "-"
  row "B4 load $n entries: MB/s vs target 200; µs/entry $(awk -v s="$ls" -v n="$n" 'BEGIN { printf "%.3f", s * 1e6 / n }'); peak B/entry $lper" "$lmb" "200" "$(ratio "$lmb" 200)"
  [ "$n" = 100000 ] && pll_load_mb=$lmb
  rm -f "$file"
done

# --- B8 registry file ----------------------------------------------------------------------
log "B8: a registry file of 100000 keys"
file="$work/registry.reg"
rm -f "$file"
"$regbench" make 100000 "$file" > /dev/null
# op N bytes seconds MB/s rss_before_kB rss_peak_kB peak_bytes_per_key
read -r _ _ bytes rs rmb _ _ rper < <("$regbench" load 100000 "$file")
row "B8 start-up settings from a registry file of 100000 keys ($((bytes / 1000)) kB): MB/s, ms $(awk -v s="$rs" 'BEGIN { printf "%.1f", s * 1e3 }'), peak B/key $rper; vs B4 loading 100000 entries" \
  "$rmb" "$pll_load_mb" "$(ratio "$rmb" "$pll_load_mb")"
rm -f "$file" "$file.lock"

# --- B6 playlist window --------------------------------------------------------------------
log "B6: 100000 entries loaded into the playlist window under Xvfb"
"$plbench" save 100000 "$work/b6.pll" > /dev/null
read -r _ b6e b6w b6r < <(QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
  "$winbench" "$work/b6.pll" 2> "$work/b6.log")
row "B6 load 100000 entries into the playlist window under Xvfb, s (best of 5; vs the engine's load, entries wired alike; target 1.5)" \
  "$b6w" "$b6e" "$b6r"
rm -f "$work/b6.pll"

# --- B12 opening from a slow disk ----------------------------------------------------------
log "B12: the event loop while entries open from a slow disk"
while IFS= read -r line; do rows+=("$line"); done < <(bash "$here/opening.sh" "$build" "$work")

# --- B5 long run ---------------------------------------------------------------------------
late=${B5_TRANSITIONS:-300}  # 1000 for the full run; 300 keeps make bench within ten minutes
log "B5: long run, $late transitions"
while IFS= read -r line; do rows+=("$line"); done < <(bash "$here/longrun.sh" "$build" "$work" 100 "$late")

# --- B7 kiosk in a window ------------------------------------------------------------------
late7=${B7_TRANSITIONS:-300}  # 1000 for the full run
log "B7: kiosk show in a window under Xvfb, $late7 transitions"
while IFS= read -r line; do rows+=("$line"); done < <(xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
  bash "$here/kioskrun.sh" "$build" "$work" 100 "$late7")
rows+=("$(bash "$here/resume.sh" "$build" "$work" 2> /dev/null)")

# --- black frames over cross-fades ---------------------------------------------------------
if [ -n "${BLACK_TRANSITIONS:-}" ]; then
  log "Black frames: a show of real media full screen with 1 s cross-fades, $BLACK_TRANSITIONS transitions"
  while IFS= read -r line; do rows+=("$line"); done < <("$here/../scripts/test-display.sh" \
    bash "$here/blackrun.sh" "$build" "$work" "$BLACK_TRANSITIONS")
fi

# --- B9 screens in step ---------------------------------------------------------------------
late9=${B9_TRANSITIONS:-60}  # 200 for the full run
log "B9: four players on one clock, $late9 transitions a case"
while IFS= read -r line; do rows+=("$line"); done < <(bash "$here/sync.sh" "$build" "$work" "$late9")

finish
