#!/bin/sh
# --version prints exactly the version; a bad switch fails; neither creates a file.
set -u
prog="$1"
home=$(mktemp -d)
err=$(mktemp)
trap 'rm -rf "$home" "$err"' EXIT
export HOME="$home" XDG_DATA_HOME="$home/share" XDG_CONFIG_HOME="$home/config"
unset DISPLAY
fail() { echo "FAIL: $*" >&2; exit 1; }

out=$("$prog" --version; echo "rc=$?")
[ "$out" = "$(printf '1.1.146.734\nrc=0')" ] || fail "--version printed: $out"
[ "$("$prog" -v | od -c | head -1)" = "$(printf '1.1.146.734\n' | od -c | head -1)" ] || fail "-v bytes"

"$prog" --no-such-switch >/dev/null 2>"$err"; rc=$?
[ $rc -ne 0 ] || fail "unknown switch exited 0"
grep -q "no-such-switch" "$err" || fail "no reason printed: $(cat "$err")"

"$prog" --help >/dev/null 2>&1 || fail "--help exited non-zero"

[ -z "$(ls -A "$home")" ] || fail "files created: $(find "$home")"
echo ok
