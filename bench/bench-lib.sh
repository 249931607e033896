# Shared by the *-bench.sh scripts (sourced, bash). Timings are of whole processes, as the
# reference commands are timed; figures are medians of paired runs with their range.

bench_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bench_build=${BENCH_BUILD:-$bench_root/build-bench}

# Builds the named drivers in the Release build of the benches.
bench_build_drivers() {
  local log
  log=$(mktemp)
  if [ ! -f "$bench_build/build.ninja" ]; then
    cmake -S "$bench_root" -B "$bench_build" -G Ninja -DCMAKE_BUILD_TYPE=Release >"$log" 2>&1 ||
      { cat "$log" >&2; rm -f "$log"; return 1; }
  fi
  ninja -C "$bench_build" -j "${JOBS:-4}" "$@" >"$log" 2>&1 || { cat "$log" >&2; rm -f "$log"; return 1; }
  rm -f "$log"
}

bench_now() { date +%s.%N; }
bench_calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }

# Seconds a command takes, as a whole process; its standard output is dropped.
bench_seconds() {
  local t0 t1
  t0=$(bench_now)
  "$@" >/dev/null
  t1=$(bench_now)
  bench_calc "$t1 - $t0"
}

bench_median() {
  printf '%s\n' "$@" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# The pair-by-pair ratios of two equally long lists: bench_ratios "a1 a2 .." "b1 b2 .." -> a_i/b_i
bench_ratios() {
  local -a a=($1) b=($2)
  local i
  for i in "${!a[@]}"; do bench_calc "${a[$i]} / ${b[$i]}"; echo; done
}

# Prints the line run-all.sh collects into its table:
#   ratio: NAME | MEDIAN | MIN-MAX | PAIRS | TARGET
# from the program's times and the reference's times of the same pairs (program / reference:
# above 1 means the program is slower); TARGET (optional) is what the figure should meet.
bench_report() {
  local name=$1 ours=$2 theirs=$3 target=${4:-}
  local -a r
  mapfile -t r < <(bench_ratios "$ours" "$theirs")
  local sorted
  sorted=$(printf '%s\n' "${r[@]}" | sort -g)
  printf 'ratio: %s | %s | %s-%s | %d | %s\n' "$name" "$(bench_median "${r[@]}")" \
    "$(head -n 1 <<<"$sorted")" "$(tail -n 1 <<<"$sorted")" "${#r[@]}" "$target"
}

# The same line for figures that are no ratio (memory): their median, range and count.
bench_value() {
  local name=$1 values=$2 target=${3:-}
  local sorted
  sorted=$(printf '%s\n' $values | sort -g)
  printf 'ratio: %s | %s | %s-%s | %d | %s\n' "$name" "$(bench_median $values)" \
    "$(head -n 1 <<<"$sorted")" "$(tail -n 1 <<<"$sorted")" "$(wc -l <<<"$sorted")" "$target"
}

# The machine's cores and load, printed beside figures that depend on them.
bench_machine() {
  printf 'cores: %s; load average (1, 5, 15 min): %s\n' "$(nproc)" "$(cut -d' ' -f1-3 /proc/loadavg)"
}
