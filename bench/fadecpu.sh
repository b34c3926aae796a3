#!/usr/bin/env bash
# A cross-fade's CPU: two 20 s 1280x720 clips (25 frames/s, different patterns, so both streams
# change at every frame) played in the video form in its window with a 5 s cross-fade. The
# player's CPU (user + system, sampled from /proc every 50 ms) per second of the fade, from the
# incoming clip's "started" (its first blended picture) to the outgoing one's "finished" (gone),
# against the same per second of one stream: the 5 s before the fade and the 5 s after it.
# Prints table rows (metric, fade, one stream, ratio) with medians. Run it on an X display of
# 1920x1080 (bench/run.sh starts an Xvfb of that size).
# Usage: bench/fadecpu.sh BUILD_DIR WORK_DIR [RUNS]   (default 3)
set -euo pipefail
build=$1 work=$2 runs=${3:-3}
unset QT_QPA_PLATFORM
mkdir -p "$work"
for pattern in testsrc smptebars; do
  [ -s "$work/fade-$pattern.avi" ] || ffmpeg -loglevel error -y -f lavfi -i "$pattern=size=1280x720:rate=25:duration=20" \
    -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=20" -c:v mpeg4 -q:v 5 -c:a pcm_s16le -shortest \
    "$work/fade-$pattern.avi"
done
source "$(dirname "$0")/placement.sh"
fades=() ones=() ratios=()
for run in $(seq "$runs"); do
  settings "$work/fade.reg" window
  VIZMORA_REGISTRY="$work/fade.reg" python3 - "$build/main/vizmora" "$work" > "$work/fade-$run.txt" <<'PY'
import json, os, subprocess, sys, threading, time
vizmora, work = sys.argv[1], sys.argv[2]
p = subprocess.Popen([vizmora, "--events", "--loops", "1", "--transition", "crossfade:5",
                      f"{work}/fade-testsrc.avi", f"{work}/fade-smptebars.avi"],
                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
tick = os.sysconf("SC_CLK_TCK")
samples = []
def sample():
    while p.poll() is None:
        try:
            with open(f"/proc/{p.pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            samples.append((time.clock_gettime(time.CLOCK_MONOTONIC) * 1000, (int(fields[11]) + int(fields[12])) / tick))
        except (FileNotFoundError, ProcessLookupError):
            break
        time.sleep(0.05)
t = threading.Thread(target=sample)
t.start()
events = {}
for line in p.stdout:
    e = json.loads(line)
    events.setdefault((e["event"], e["index"]), e["ms"])
p.wait()
t.join()
def cpu_at(ms):  # interpolated CPU seconds at a moment
    for (a, ca), (b, cb) in zip(samples, samples[1:]):
        if a <= ms <= b:
            return ca + (cb - ca) * (ms - a) / (b - a)
    raise SystemExit(f"no sample at {ms}")
def rate(a, b):
    return (cpu_at(b) - cpu_at(a)) / ((b - a) / 1000)
fade_in, fade_out = events[("started", 1)], events[("finished", 0)]
one = (rate(fade_in - 5500, fade_in - 500) + rate(fade_out + 500, fade_out + 5500)) / 2
print(f"{rate(fade_in, fade_out):.4f} {one:.4f} {(fade_out - fade_in) / 1000:.2f}")
PY
  read -r f o d < "$work/fade-$run.txt"
  fades+=("$f"); ones+=("$o")
done
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
f=$(median "${fades[@]}") o=$(median "${ones[@]}")
echo "| cross-fade CPU s per s, 1280x720 into 1280x720 in the window (783x647), 5 s fade (median of $runs; fade, visible ${d} s, vs one stream) | $f | $o | $(awk -v a="$f" -v b="$o" 'BEGIN { printf "%.2f", a / b }') |"
