#!/bin/bash
# Times a whole analysis (mode 11, both ways with deletion on the medium) of a station tree
# against a medium tree, 100,000 files in 5,000 directories each: half of the files the same on
# both sides, a quarter newer on one side, a quarter only on one side. The program walks the two
# trees on two threads; the references are one `find` listing both trees with modification times,
# and two `find`s (one per tree) running at once. Every side is timed as a whole process (the
# program's start-up and the freeing of its plan included), with warm caches, in REPEAT (default
# 7) rounds of one run each, the order turning every round. Figures: the median of the
# round-by-round ratios with their range. Memory: the analysis's peak resident size above what
# the process held before it began, per file of one tree and of both.
set -euo pipefail
source "$(dirname "$0")/bench-lib.sh"

repeat=${REPEAT:-7}
per_tree=100000

bench_build_drivers analysis_bench
driver="$bench_build/bench/analysis_bench"

work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-analysis-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
"$driver" make-trees "$work"

one_find() { find "$work/station" "$work/medium" -printf '%T@ %p\n' >/dev/null; }
two_finds() {
  find "$work/station" -printf '%T@ %p\n' >/dev/null &
  local a=$!
  find "$work/medium" -printf '%T@ %p\n' >/dev/null
  wait $a
}
program() { "$driver" run "$work/station" "$work/medium" >"$work/run.out"; }

one_find; two_finds  # warm the caches
ours=() one=() two=() peaks=()
for ((i = 0; i < repeat; i++)); do
  case $((i % 3)) in
    0) ours+=("$(bench_seconds program)"); one+=("$(bench_seconds one_find)"); two+=("$(bench_seconds two_finds)") ;;
    1) one+=("$(bench_seconds one_find)"); two+=("$(bench_seconds two_finds)"); ours+=("$(bench_seconds program)") ;;
    2) two+=("$(bench_seconds two_finds)"); ours+=("$(bench_seconds program)"); one+=("$(bench_seconds one_find)") ;;
  esac
  read -r peak baseline items <"$work/run.out"
  peaks+=("$((peak - baseline))")
done
peak=$(bench_median "${peaks[@]}")

echo "analysis s: ${ours[*]}"
echo "one find s: ${one[*]}"
echo "two finds at once s: ${two[*]}"
echo "planned items: $items; analysis peak memory (median): $(bench_calc "$peak / 1048576") MB"
echo "analysis bytes per file: $(bench_calc "$peak / $per_tree") of one tree, $(bench_calc "$peak / (2 * $per_tree)") of both"
per_walked=()
for p in "${peaks[@]}"; do per_walked+=("$(bench_calc "$p / (2 * $per_tree)")"); done
bench_value "analysis peak bytes per walked file (both trees)" "${per_walked[*]}" "<= 300"
bench_report "analysis / one find" "${ours[*]}" "${one[*]}" "<= 1.05"
bench_report "analysis / two finds at once" "${ours[*]}" "${two[*]}"
