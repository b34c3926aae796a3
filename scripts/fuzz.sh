#!/usr/bin/env bash
# Runs every fuzz target built in BUILD for SECONDS each (make fuzz). Each starts from its seeds
# in tests/fuzz/corpus/<target>/ and the inputs it found interesting in earlier runs (kept in
# BUILD); an input that crashes or hangs it is written to tests/fuzz/found/<target>/, where the
# replay test of make test picks it up. Prints executions and findings per target; fails when
# any target found something.
# Usage: scripts/fuzz.sh BUILD [SECONDS]
set -uo pipefail

build=$(cd "${1:?usage: fuzz.sh BUILD [SECONDS]}" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")/.." && pwd)/tests/fuzz
failed=0
summary=()
for exe in "$build"/tests/fuzz/fuzz_*; do
  [ -f "$exe" ] && [ -x "$exe" ] || continue
  name=${exe##*/fuzz_}
  work="$build/fuzz-corpus/$name"
  found="$here/found/$name"
  log="$build/fuzz-$name.log"
  mkdir -p "$work" "$found"
  dict=()
  [ -f "$here/$name.dict" ] && dict=(-dict="$here/$name.dict")
  echo "fuzz: $name for $seconds s" >&2
  # -timeout: an input running this long counts as a hang; -rss_limit_mb: as a memory blow-up.
  "$exe" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$found/" "${dict[@]}" "$work" "$here/corpus/$name" >"$log" 2>&1
  status=$?
  runs=$(awk '/stat::number_of_executed_units:/ { print $2 }' "$log" | tail -1)
  inputs=$(ls "$work" | wc -l)
  rmdir "$found" 2>/dev/null  # kept only when something was found
  summary+=("$name: ${runs:-?} executions, $inputs inputs in its corpus, exit $status$([ "$status" -ne 0 ] && echo ", see $log")")
  [ "$status" -eq 0 ] || failed=1
done
printf '%s\n' "${summary[@]}"
ls "$here"/found/*/* 2>/dev/null | sed 's/^/found: /'
exit $failed
