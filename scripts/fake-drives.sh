#!/bin/bash
# Makes a directory for DRALVO_SYSROOT so that the program sees simulated drives: a mount table,
# sysfs flags, /dev/disk/by-label links and udev data that describe ordinary directories as
# mounted volumes. Nothing outside SYSROOT changes besides making missing drive directories.
#
# usage: scripts/fake-drives.sh SYSROOT [DIR[:LABEL[:FSTYPE[:fixed]]] ...]
#   DIR     the directory to show as a drive (made when missing; relative to the current one)
#   LABEL   its volume label (none: the directory's name shows)
#   FSTYPE  as Linux names it: vfat (default, shows as FAT32), ntfs3 (NTFS), exfat, ext4, ...;
#           only FAT and NTFS drives are offered as media
#   fixed   a fixed disk, listed only with "Show all drives"
# Without DIR arguments it makes SYSROOT/media/stick (FAT32, "USB STICK"), SYSROOT/media/backup
# (NTFS, "BACKUP") and the fixed disk SYSROOT/media/internal (FAT32).
set -euo pipefail

if [ $# -lt 1 ] || [ "${1:0:1}" = "-" ]; then
  sed -n '2,/^set /s/^# \{0,1\}//p' "$0"
  exit 2
fi
mkdir -p "$1"
sysroot=$(cd "$1" && pwd)
stamp="$sysroot/.dralvo-sysroot"
# Only ever clear a tree this script made: SYSROOT=/ must not lose its /sys and /dev.
if [ ! -e "$stamp" ] && [ -n "$(ls -A "$sysroot")" ]; then
  echo "$sysroot is not empty and was not made by this script" >&2
  exit 1
fi
rm -rf "$sysroot/proc" "$sysroot/sys" "$sysroot/dev" "$sysroot/run"
touch "$stamp"
mkdir -p "$sysroot/proc/self" "$sysroot/sys/class/block" "$sysroot/dev/disk/by-label" \
  "$sysroot/run/udev/data"

shift
drives=("$@")
if [ ${#drives[@]} -eq 0 ]; then
  drives=("$sysroot/media/stick:USB STICK:vfat" "$sysroot/media/backup:BACKUP:ntfs3"
    "$sysroot/media/internal::vfat:fixed")
fi

table="$sysroot/proc/self/mountinfo"
: >"$table"
i=0
for entry in "${drives[@]}"; do
  IFS=: read -r dir label fstype fixed <<<"$entry"
  fstype=${fstype:-vfat}
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  device="fakedisk$i"
  mkdir -p "$sysroot/sys/class/block/$device"
  if [ "${fixed:-}" = fixed ]; then removable=0; else removable=1; fi
  echo "$removable" >"$sysroot/sys/class/block/$device/removable"
  echo "8:$((16 * i + 1))" >"$sysroot/sys/class/block/$device/dev"
  if [ -n "$label" ]; then
    name=${label//\\/\\x5c}
    name=${name// /\\x20}
    name=${name//\//\\x2f}
    ln -sfn "../../$device" "$sysroot/dev/disk/by-label/$name"
  fi
  point=${dir//\\/\\134}
  point=${point// /\\040}
  echo "$((100 + i)) 1 0:$((100 + i)) / $point rw,relatime - $fstype /dev/$device rw" >>"$table"
  echo "drive $dir: label '${label:-$(basename "$dir")}', $fstype, $([ $removable = 1 ] && echo removable || echo fixed)"
  i=$((i + 1))
done

echo
echo "Start the program on these drives with:"
printf '  DRALVO_SYSROOT=%q ./build/bin/dralvo\n' "$sysroot"
