#!/bin/bash
# Times a whole analysis (mode 11, both ways with deletion on the medium) of a station tree
# against a medium tree, 100,000 files in 5,000 directories each: half of the files the same on
# both sides, a quarter newer on one side, a quarter only on one side. The reference is `find`
# listing both trees with modification times. Each timing is the best of REPEAT (default 3),
# with warm caches. Memory is the analysis process's peak resident size above what it held
# before the analysis began.
# Last lines: "analysis ratio: R" (analysis time / find time) and "analysis bytes per file: B"
# (peak memory / the 200,000 files of both trees).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
repeat=${REPEAT:-3}
files=200000

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C "$build" analysis_bench >/dev/null
driver="$build/bench/analysis_bench"

work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-analysis-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$driver" make-trees "$work"

now() { date +%s.%N; }
calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }
best() { printf '%s\n' "$@" | sort -g | head -n 1; }
list_both() { find "$work/station" "$work/medium" -printf '%T@ %p\n' >/dev/null; }

list_both  # warm the caches
find_times=() run_times=() peaks=()
for _ in $(seq "$repeat"); do
  t0=$(now)
  list_both
  t1=$(now)
  find_times+=("$(calc "$t1 - $t0")")
  read -r seconds peak baseline items < <("$driver" run "$work/station" "$work/medium")
  run_times+=("$seconds")
  peaks+=("$((peak - baseline))")
done
find_time=$(best "${find_times[@]}")
run_time=$(best "${run_times[@]}")
peak=$(best "${peaks[@]}")

printf 'find: %.3f s, analysis: %.3f s, planned items: %s\n' "$find_time" "$run_time" "$items"
printf 'analysis peak memory: %.1f MB for %d files\n' "$(calc "$peak / 1048576")" "$files"
echo "analysis ratio: $(calc "$run_time / $find_time")"
echo "analysis bytes per file: $(calc "$peak / $files")"
