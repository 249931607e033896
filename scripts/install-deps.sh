#!/bin/sh
# Installs the Debian 12 packages the build, the program and the tests need; only the
# missing ones. Uses sudo when not run as root.
set -eu
packages="build-essential cmake ninja-build pkg-config gettext libwxgtk3.2-dev
libwxsqlite3-3.2-dev libsqlite3-dev libbz2-dev bzip2 googletest libgtest-dev xvfb xauth
python3 time rsync"

missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -n "$missing" ] || exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
