#!/bin/bash
# Times a full copy run of a station tree (10,000 files of 1-20 KB and 10 files of 50 MB) to an
# empty medium folder against `cp -r` of the same tree, then the same run compressing files up to
# 1 MB against `bzip2` of those files (plus `cp` of the large ones). Each figure is the median of
# REPEAT timings (default 5; run and reference take turns going first), with warm caches and
# dirty pages flushed before each. Nothing is deleted until the end: ext4 searches slowly for free
# inodes right after many deletions, which would time the file system instead of the copy.
# Last lines: "copy ratio: R" and "compressed copy ratio: R" (run time / reference time).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-bench"
repeat=${REPEAT:-5}
quality=3  # the default bzip2 block size of the options
limit=1048576

if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
ninja -C "$build" copy_bench >/dev/null
driver="$build/bench/copy_bench"

work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-copy-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
station="$work/station"
"$driver" make-tree "$station"
find "$station" -type f -exec cat {} + >/dev/null  # warm the page cache

calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
elapsed() { # seconds that a command takes
  local t0 t1
  sync
  t0=$(date +%s.%N)
  "$@"
  t1=$(date +%s.%N)
  calc "$t1 - $t0"
}
run() { # seconds of a copy run into a new folder: run NAME COMPRESS_BELOW
  sync
  "$driver" run "$station" "$work/$1" "$2" "$work/$1.xml"
}
bzip2_small() { # compresses the small files of a copy of the tree, keeping them
  find "$1" -type f -size -1025k -print0 | xargs -0 bzip2 -k -"$quality"
}
cp_large() { # copies the large files into a new folder
  mkdir "$1"
  find "$station" -type f -size +1024k -exec cp {} "$1" \;
}

cp_times=() run_times=() ref_times=() zrun_times=()
for i in $(seq "$repeat"); do
  # Alternate which one goes first.
  if [ $((i % 2)) -eq 1 ]; then
    cp_times+=("$(elapsed cp -r "$station" "$work/cp$i")")
    run_times+=("$(run medium$i 0)")
  else
    run_times+=("$(run medium$i 0)")
    cp_times+=("$(elapsed cp -r "$station" "$work/cp$i")")
  fi
done
for i in $(seq "$repeat"); do
  cp -r "$station" "$work/bz$i"
  find "$work/bz$i" -type f -size +1024k -delete
  if [ $((i % 2)) -eq 1 ]; then
    ref_times+=("$(calc "$(elapsed bzip2_small "$work/bz$i") + $(elapsed cp_large "$work/large$i")")")
    zrun_times+=("$(run zmedium$i $limit)")
  else
    zrun_times+=("$(run zmedium$i $limit)")
    ref_times+=("$(calc "$(elapsed bzip2_small "$work/bz$i") + $(elapsed cp_large "$work/large$i")")")
  fi
done
cp_time=$(median "${cp_times[@]}")
run_time=$(median "${run_times[@]}")
ref_time=$(median "${ref_times[@]}")
zrun_time=$(median "${zrun_times[@]}")

echo "cp -r: ${cp_times[*]} s; copy run: ${run_times[*]} s"
echo "bzip2 + cp: ${ref_times[*]} s; compressed copy run: ${zrun_times[*]} s"
echo "copy ratio: $(calc "$run_time / $cp_time")"
echo "compressed copy ratio: $(calc "$zrun_time / $ref_time")"
