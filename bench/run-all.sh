#!/bin/sh
# Runs every benchmark of this folder one after another; each prints its ratios last.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
for bench in "$here"/*-bench.sh; do
  [ -e "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench"
done
