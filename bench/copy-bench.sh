#!/bin/bash
# Times full copy runs to an empty medium folder against reference commands, as whole processes
# (the program's start-up, planning and log included), with warm caches and dirty pages flushed
# before each timing:
#   mixed tree (10,000 files of 1-20 KB and 10 files of 50 MB): against `cp -r` and against
#     `rsync -a --whole-file`;
#   the 10,000 small files alone: the same two references;
#   mixed tree compressing files up to 1 MB: against `bzip2` of those files plus `cp` of the
#     large ones;
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
bzip2_cp() { # bzip2 of the small files of a prepared copy (bzN), cp of the large ones
  find "$work/bz$1" -type f -print0 | xargs -0 bzip2 -k -"$quality"
  mkdir "$work/out$n"
  find "$work/mixed" -type f -size +1024k -exec cp {} "$work/out$n" \;
}

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
zours=() zref=()
for ((i = 0; i < repeat; i++)); do
  cp -r "$work/mixed" "$work/bz$i"
  find "$work/bz$i" -type f -size +1024k -delete
  if ((i % 2 == 0)); then
    zours+=("$(timed program "$work/mixed" $limit)"); zref+=("$(timed bzip2_cp $i)")
  else
    zref+=("$(timed bzip2_cp $i)"); zours+=("$(timed program "$work/mixed" $limit)")
  fi
done

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
echo "compressed s: copy run ${zours[*]}; bzip2 + cp ${zref[*]}"
echo "moved small files s: move run ${mours[*]}; copy run ${mcopies[*]}"
bench_report "copy, mixed tree / cp -r" "${ours_mixed[*]}" "${cp_mixed[*]}"
bench_report "copy, mixed tree / rsync -a --whole-file" "${ours_mixed[*]}" "${rsync_mixed[*]}"
bench_report "copy, 10,000 small files / cp -r" "${ours_small[*]}" "${cp_small[*]}"
bench_report "copy, 10,000 small files / rsync -a --whole-file" "${ours_small[*]}" "${rsync_small[*]}"
bench_report "compressed copy / bzip2 + cp" "${zours[*]}" "${zref[*]}"
bench_report "move, 10,000 small files / copy of them" "${mours[*]}" "${mcopies[*]}"
