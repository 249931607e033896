#!/bin/bash
# Times full copy runs to an empty medium folder against reference commands, as whole processes
# (the program's start-up, planning and log included), with warm caches and dirty pages flushed
# before each timing:
#   mixed tree (10,000 files of 1-20 KB and 10 files of 50 MB): against `cp -r` and against
#     `rsync -a --whole-file`;
#   the 10,000 small files alone: the same two references;
#   the small files and two large ones, compressing files up to 1 MB: against `bzip2 -3` of
#     those files one after another and against `xargs -P<cores> bzip2 -3` of them, each plus
#     `cp` of the large ones;
#   that compressed tree copied back to the station (decompressing): against `bzip2 -d` one
#     after another and `xargs -P<cores> bzip2 -d`, each plus `cp` of the large ones.
#   moving the 10,000 small files to the medium (a fresh copy of them each round, made untimed):
#     against the program's copy of them, so the row shows what the flush before the removal of
#     the sources and the removals themselves cost.
# Runs are paired (program, references, program, ... the order turning every round) for REPEAT
# rounds (default 5); each figure is the median of the round-by-round ratios (program time /
# reference time) with their range. Nothing is deleted until the end (ext4 searches slowly for
# free inodes right after many deletions, which would time the file system instead of the copy);
# the data goes when the script ends, however it ends.
set -euo pipefail
source "$(dirname "$0")/bench-lib.sh"

repeat=${REPEAT:-5}
quality=3  # the default bzip2 block size of the options
limit=1048576
cores=$(nproc)

command -v rsync >/dev/null || { echo "rsync not found: run scripts/install-deps.sh" >&2; exit 1; }
bench_build_drivers copy_bench
driver="$bench_build/bench/copy_bench"

work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-copy-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 130' INT TERM
"$driver" make-tree "$work/mixed"
"$driver" make-tree "$work/small" small
find "$work/mixed" "$work/small" -type f -exec cat {} + >/dev/null  # warm the page cache

# Every target folder gets a new name; timed runs in a subshell, so the count lives in a file.
echo 0 >"$work/count"
timed() {
  n=$(($(cat "$work/count") + 1))
  echo $n >"$work/count"
  sync
  bench_seconds "$@"
}
program() { "$driver" run "$1" "$work/out$n" "$2" "$work/out$n.xml"; }
cp_tree() { cp -r "$1" "$work/out$n"; }
rsync_tree() { rsync -a --whole-file "$1/" "$work/out$n/"; }
large_cp() { mkdir "$work/out$n"; find "$work/zmixed" -type f -size +1024k -exec cp {} "$work/out$n" \;; }
# bzip2 of the small files of a prepared copy, cp of the large ones; parallel: P given.
bzip2_cp() { find "$work/$1" -type f -print0 | xargs -0 ${2:+-P$2 -n 32} bzip2 -k -"$quality"; large_cp; }
bunzip2_cp() { find "$work/$1" -name '*.bz2' -print0 | xargs -0 ${2:+-P$2 -n 32} bzip2 -d -k; large_cp; }
program_down() { "$driver" run-down "$work/packed" "$work/out$n" "$work/out$n.xml"; }

# measure SOURCE: three sides per round (ours, cp, rsync), the order turning every round.
measure() {
  ours=() cps=() rsyncs=()
  for ((i = 0; i < repeat; i++)); do
    for ((k = 0; k < 3; k++)); do
      case $(((i + k) % 3)) in
        0) ours+=("$(timed program "$1" 0)") ;;
        1) cps+=("$(timed cp_tree "$1")") ;;
        2) rsyncs+=("$(timed rsync_tree "$1")") ;;
      esac
    done
  done
}
measure "$work/mixed"
ours_mixed=("${ours[@]}") cp_mixed=("${cps[@]}") rsync_mixed=("${rsyncs[@]}")
measure "$work/small"
ours_small=("${ours[@]}") cp_small=("${cps[@]}") rsync_small=("${rsyncs[@]}")
# compressed SIDE...: rounds of the three sides named, each round on fresh prepared copies of
# the small files (plain in zN/pN, compressed in uN/qN), the order turning every round.
compressed() {
  local -a sides=("$@")
  times=()
  for ((i = 0; i < repeat; i++)); do
    for d in z p; do cp -r "$work/zmixed" "$work/$d$i"; find "$work/$d$i" -type f -size +1024k -delete; done
    for d in u q; do cp -r "$work/packed" "$work/$d$i"; find "$work/$d$i" -type f ! -name '*.bz2' -delete; done
    for ((k = 0; k < 3; k++)); do
      local side=$(((i + k) % 3))
      times[$((side * repeat + i))]=$(timed ${sides[$side]//@/$i})
    done
  done
}
cp -r "$work/small" "$work/zmixed"
cp "$work/mixed/large0.bin" "$work/mixed/large1.bin" "$work/zmixed"
"$driver" run "$work/zmixed" "$work/packed" $limit "$work/packed.xml"  # the medium for the way back
compressed "program $work/zmixed $limit" "bzip2_cp z@" "bzip2_cp p@ $cores"
zours=("${times[@]:0:repeat}") zseq=("${times[@]:repeat:repeat}") zpar=("${times[@]:2*repeat:repeat}")
compressed "program_down" "bunzip2_cp u@" "bunzip2_cp q@ $cores"
uours=("${times[@]:0:repeat}") useq=("${times[@]:repeat:repeat}") upar=("${times[@]:2*repeat:repeat}")

mours=() mcopies=()
move_run() { "$driver" run "$work/msrc$1" "$work/out$n" 0 "$work/out$n.xml" move; }
for ((i = 0; i < repeat; i++)); do
  cp -r "$work/small" "$work/msrc$i"
  if ((i % 2 == 0)); then
    mours+=("$(timed move_run $i)"); mcopies+=("$(timed program "$work/small" 0)")
  else
    mcopies+=("$(timed program "$work/small" 0)"); mours+=("$(timed move_run $i)")
  fi
done

echo "mixed tree s: copy run ${ours_mixed[*]}; cp -r ${cp_mixed[*]}; rsync ${rsync_mixed[*]}"
echo "small files s: copy run ${ours_small[*]}; cp -r ${cp_small[*]}; rsync ${rsync_small[*]}"
echo "compressed s: copy run ${zours[*]}; bzip2 + cp ${zseq[*]}; xargs -P$cores bzip2 + cp ${zpar[*]}"
echo "decompressed s: copy run ${uours[*]}; bzip2 -d + cp ${useq[*]}; xargs -P$cores bzip2 -d + cp ${upar[*]}"
echo "moved small files s: move run ${mours[*]}; copy run ${mcopies[*]}"
bench_report "copy, mixed tree / cp -r" "${ours_mixed[*]}" "${cp_mixed[*]}"
bench_report "copy, mixed tree / rsync -a --whole-file" "${ours_mixed[*]}" "${rsync_mixed[*]}"
bench_report "copy, 10,000 small files / cp -r" "${ours_small[*]}" "${cp_small[*]}"
bench_report "copy, 10,000 small files / rsync -a --whole-file" "${ours_small[*]}" "${rsync_small[*]}"
bench_report "compressed copy / bzip2 -$quality one by one + cp" "${zours[*]}" "${zseq[*]}" "<= 0.40"
bench_report "compressed copy / xargs -P$cores bzip2 -$quality + cp" "${zours[*]}" "${zpar[*]}" "<= 1.10"
bench_report "decompressing copy / bzip2 -d one by one + cp" "${uours[*]}" "${useq[*]}" "<= 0.40"
bench_report "decompressing copy / xargs -P$cores bzip2 -d + cp" "${uours[*]}" "${upar[*]}" "<= 1.10"
bench_report "move, 10,000 small files / copy of them" "${mours[*]}" "${mcopies[*]}"
