#!/bin/bash
# Runs every benchmark of this folder one after another, then prints one table of all ratios
# (program time / reference time, median of paired runs: above 1 means the program is slower)
# and the analysis's memory, each with its target, under the machine's cores and load.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/bench-lib.sh"
bench_build_drivers analysis_bench copy_bench bzip2_bench

start_machine=$(bench_machine)
rows=$(mktemp)
trap 'rm -f "$rows"' EXIT
failed=0
for bench in "$here"/*-bench.sh; do
  echo "== $(basename "$bench")"
  if ! "$bench" | tee -a "$rows"; then
    echo "$(basename "$bench") failed" >&2
    failed=1
  fi
done

echo
echo "== ratios (program time / reference time) and the analysis's memory per walked file:"
echo "   median of the runs, range, runs, target (targets hold on an idle machine)"
echo "machine at the start: $start_machine"
echo "machine now:          $(bench_machine)"
grep '^ratio: ' "$rows" | sed 's/^ratio: //' |
  awk -F' [|] ' '{ printf "%-52s %7s  %-13s %5s  %s\n", $1, $2, $3, $4, $5 }
                 BEGIN { printf "%-52s %7s  %-13s %5s  %s\n", "measure", "median", "range", "runs", "target" }'
exit $failed
