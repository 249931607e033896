#!/bin/sh
# Runs a GUI test binary on a private X server, so parallel tests never share focus. Listing
# the tests needs no display. No step waits without a bound: a server that ignores TERM is
# killed, and one that does not even die then is left to init rather than waited for.
for arg in "$@"; do
  case "$arg" in --gtest_list_tests) exec "$@" ;; esac
done
# GTK and fontconfig keep caches for the whole process: leak reports there are noise.
export ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}" NO_AT_BRIDGE=1 GDK_BACKEND=x11
# Waits up to $2 tenths of a second for process $1 to end (the shell reaps it while sleeping).
wait_end() {
  n=0
  while kill -0 "$1" 2>/dev/null && [ $n -lt "$2" ]; do sleep 0.1; n=$((n + 1)); done
  ! kill -0 "$1" 2>/dev/null
}
xvfb= tmp=$(mktemp -d)
stop_xvfb() {
  if [ -n "$xvfb" ] && ! wait_end "$xvfb" 0; then
    kill -TERM "$xvfb" 2>/dev/null
    if ! wait_end "$xvfb" 20; then
      echo "with-xvfb: Xvfb ignored TERM, killing it" >&2
      kill -KILL "$xvfb" 2>/dev/null
      wait_end "$xvfb" 20 || echo "with-xvfb: Xvfb $xvfb outlived KILL, leaving it" >&2
    fi
  fi
  xvfb=
  rm -rf "$tmp"
}
trap stop_xvfb EXIT
trap 'exit 143' TERM; trap 'exit 130' INT
# Xvfb writes nothing to the test's output: ctest reads that pipe until every holder closed it.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
  3>"$tmp/display" >"$tmp/xvfb.log" 2>&1 </dev/null &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 200 ] && kill -0 "$xvfb" 2>/dev/null; do
  sleep 0.05; i=$((i + 1))
done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$tmp/display")"
"$@"
exit $?
