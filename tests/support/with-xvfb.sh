#!/bin/sh
# Runs a GUI test on a private X server (parallel tests never share focus). Waits are bounded;
# Xvfb writes to a file, as ctest reads the test's pipe until every holder closed it. GTK and
# fontconfig keep process-long caches: leak reports there are noise.
for arg in "$@"; do [ "$arg" = --gtest_list_tests ] && exec "$@"; done
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" NO_AT_BRIDGE=1 GDK_BACKEND=x11
ended() {  # process $1 ends within $2 tenths of a second
  n=0
  while kill -0 "$1" 2>/dev/null && [ $n -lt "$2" ]; do sleep 0.1; n=$((n + 1)); done
  ! kill -0 "$1" 2>/dev/null
}
tmp=$(mktemp -d) xvfb=
stop_xvfb() {
  kill -TERM "$xvfb" 2>/dev/null
  ended "$xvfb" 20 || { kill -KILL "$xvfb" 2>/dev/null; ended "$xvfb" 20 || echo "with-xvfb: Xvfb outlived KILL" >&2; }
  rm -rf "$tmp"
}
trap stop_xvfb EXIT
trap 'exit 143' TERM; trap 'exit 130' INT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 </dev/null &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 200 ] && kill -0 "$xvfb" 2>/dev/null; do sleep 0.05; i=$((i + 1)); done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
"$@"
