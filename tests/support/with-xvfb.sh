#!/bin/sh
# Runs a GUI test binary on a private X server, so parallel tests never share focus.
# Listing the tests needs no display.
for arg in "$@"; do
  case "$arg" in --gtest_list_tests) exec "$@" ;; esac
done

# GTK and fontconfig keep caches for the whole process: leak reports there are noise.
ASAN_OPTIONS="detect_leaks=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
NO_AT_BRIDGE=1
GDK_BACKEND=x11
export ASAN_OPTIONS NO_AT_BRIDGE GDK_BACKEND

tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 200 ]; do
  sleep 0.05; i=$((i + 1))
done
if [ ! -s "$tmp/display" ]; then
  echo "Xvfb did not start:" >&2; cat "$tmp/xvfb.log" >&2
  kill $xvfb 2>/dev/null; rm -rf "$tmp"; exit 1
fi
DISPLAY=":$(cat "$tmp/display")"
export DISPLAY
"$@"
rc=$?
kill $xvfb 2>/dev/null
wait $xvfb 2>/dev/null
rm -rf "$tmp"
exit $rc
