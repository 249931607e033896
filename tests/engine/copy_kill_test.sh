#!/bin/bash
# Kills a move run towards the medium with SIGKILL at 20 random moments (every other one right
# after a random rename or removal of the run); after each kill no name may hold mixed or
# truncated contents, no file may be both plain and compressed, nothing may be lost, and the
# next whole run must finish the move and leave no temporary file.
#   copy_kill_test.sh CHILD   (CHILD: the copy_kill_child program)
set -euo pipefail
child=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/dralvo-kill.XXXXXX")
# The medium on another file system when there is one, as a stick is.
media=$(mktemp -d /dev/shm/dralvo-kill.XXXXXX 2>/dev/null || mktemp -d "$work/media.XXXXXX")
trap 'rm -rf "$work" "$media"' EXIT
s=$work/s m=$media/m

fresh() { rm -rf "$s" "$m" && mkdir -p "$s" "$m" && timeout 20 "$child" setup "$s" "$m"; }
now_us() { echo $(( $(date +%s%N) / 1000 )); }

# A whole run first, to know how long one takes, and how long the program takes to start.
fresh
start=$(now_us)
steps=$(timeout 20 "$child" finish "$s" "$m")
span=$(( $(now_us) - start )) start=$(now_us)
"$child" none "$s" "$m" || true
startup=$(( $(now_us) - start ))
(( steps > 0 && span > startup )) || { echo "the run did nothing to kill"; exit 1; }

for moment in $(seq 20); do
  fresh
  if (( moment % 2 )); then
    delay=$(( startup + (RANDOM * 32768 + RANDOM) % (span - startup + 1) ))
    when="${delay} us into a ${span} us run"
    "$child" run "$s" "$m" &
    pid=$!
    sleep "$(awk "BEGIN { print $delay / 1000000 }")"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  else
    step=$(( RANDOM % steps + 1 )) when="after step $step of $steps"
    DRALVO_KILL_AT=$step timeout -s KILL 20 "$child" run "$s" "$m" || true
  fi
  timeout 20 "$child" mend "$s" "$m" || { echo "kill $moment, $when: damaged"; exit 1; }
done
echo "20 kills within runs of ${span} us and ${steps} steps: no damage"
