#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian bookworm
# machine (run as root), then fetches the Lua 5.2.4 sources that the build
# patches. Safe to run again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

packages=(
  build-essential cmake pkg-config git patch dpkg-dev
  libsdl2-dev liblodepng-dev libgif-dev liblz4-dev zlib1g-dev nettle-dev
  curl libgtest-dev libgmock-dev googletest libbenchmark-dev
  lua5.2 valgrind clang libclang-rt-14-dev
  xvfb xdotool imagemagick x11-utils
)

export DEBIAN_FRONTEND=noninteractive
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

# Source packages: add deb-src lines mirroring the machine's own deb sources.
src_list=/etc/apt/sources.list.d/zurkel-deb-src.sources
if [ ! -f "$src_list" ]; then
  tmp=$(mktemp)
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    case "$f" in *zurkel-deb-src*) continue;; esac
    # Keep only Debian stanzas of type deb, and turn them into deb-src.
    awk 'BEGIN{RS="";ORS="\n\n"} /(^|\n)Types:[^\n]*deb([ \n]|$)/ && /debian/ {
           gsub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >>"$tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | grep -i debian | sed 's/^deb /deb-src /' \
      >/tmp/zurkel-deb-src.list || true
    [ -s /tmp/zurkel-deb-src.list ] && $sudo_cmd cp /tmp/zurkel-deb-src.list /etc/apt/sources.list.d/zurkel-deb-src.list
  fi
  [ -s "$tmp" ] && $sudo_cmd cp "$tmp" "$src_list"
  rm -f "$tmp"
fi

$sudo_cmd apt-get update -qq
$sudo_cmd apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null

# Lua 5.2.4 upstream sources, checked, kept out of git in .deps/.
want=86fb7e23cbbddfcd92684e5f8017ff41c9112251d1656dbece415a97fad171c0
deps="$here/.deps"
mkdir -p "$deps"
tarball="$deps/lua5.2_5.2.4.orig.tar.gz"
if [ ! -f "$tarball" ] || [ "$(sha256sum "$tarball" | cut -d' ' -f1)" != "$want" ]; then
  ( cd "$deps" && apt-get source --download-only -qq lua5.2 >/dev/null )
  found=$(ls "$deps"/lua5.2_5.2.4*.orig.tar.* 2>/dev/null | head -n1)
  [ -n "$found" ] || { echo "setup: lua5.2 source package not found" >&2; exit 1; }
  [ "$found" = "$tarball" ] || mv "$found" "$tarball"
fi
got=$(sha256sum "$tarball" | cut -d' ' -f1)
if [ "$got" != "$want" ]; then
  echo "setup: lua 5.2.4 tarball checksum mismatch ($got)" >&2
  exit 1
fi
echo "setup: ok"
