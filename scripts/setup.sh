#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian bookworm
# machine (run as root), then fetches the Debian source packages that the
# build compiles itself (scripts/source-packages.txt). Safe to run again.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

packages=(
  build-essential cmake pkg-config git patch dpkg-dev bzip2 xz-utils
  libsdl2-dev liblodepng-dev libgif-dev liblz4-dev zlib1g-dev nettle-dev
  curl libgtest-dev libgmock-dev googletest libbenchmark-dev
  lua5.2 valgrind clang libclang-rt-14-dev
  xvfb xdotool imagemagick x11-utils
  libmicrohttpd-dev python3 nginx chromium wrk
  nlohmann-json3-dev libcurl4-openssl-dev
  emscripten
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

# nginx is only run by the tests and the board benchmark, unprivileged on
# ports of their own: keep apt from starting its system service (a machine
# without an init system would fail the install), and keep it disabled.
$sudo_cmd apt-get update -qq
policy=/usr/sbin/policy-rc.d
made_policy=""
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo_cmd tee "$policy" >/dev/null
  $sudo_cmd chmod +x "$policy"
  made_policy=1
fi
status=0
$sudo_cmd apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null || status=$?
[ -z "$made_policy" ] || $sudo_cmd rm -f "$policy"
[ "$status" -eq 0 ] || exit "$status"
if [ -d /run/systemd/system ] && command -v systemctl >/dev/null; then
  $sudo_cmd systemctl disable --now nginx >/dev/null 2>&1 || true
fi

# Source packages listed in scripts/source-packages.txt, checked, kept out
# of git in .deps/: the pinned version, else the archive's current revision
# of the same upstream tarball.
deps="$here/.deps"
mkdir -p "$deps"
fetch_source() {  # package version sha256-of-upstream-tarball
  local pkg=$1 ver=$2 want=$3 upstream got log
  upstream=${ver#*:}
  upstream=${upstream%-*}
  orig() { ls "$deps/${pkg}_${upstream}".orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -n1; }
  if [ -f "$deps/${pkg}_${ver#*:}.dsc" ] && [ -n "$(orig)" ] &&
     [ "$(sha256sum "$(orig)" | cut -d' ' -f1)" = "$want" ]; then
    return 0
  fi
  log=$(mktemp)
  if ! ( cd "$deps" && apt-get source --download-only -qq "$pkg=$ver" ) >"$log" 2>&1; then
    echo "setup: $pkg $ver not in the archive; taking its current revision" >&2
    ( cd "$deps" && apt-get source --download-only -qq "$pkg" ) >"$log" 2>&1 ||
      { cat "$log" >&2; rm -f "$log"; echo "setup: source package $pkg not found" >&2; exit 1; }
  fi
  rm -f "$log"
  [ -n "$(orig)" ] || { echo "setup: $pkg upstream tarball missing" >&2; exit 1; }
  got=$(sha256sum "$(orig)" | cut -d' ' -f1)
  if [ "$got" != "$want" ]; then
    echo "setup: $pkg upstream tarball checksum mismatch ($got)" >&2
    exit 1
  fi
}
while read -r pkg ver sum; do
  case "$pkg" in ''|'#'*) continue;; esac
  fetch_source "$pkg" "$ver" "$sum"
done <"$here/scripts/source-packages.txt"
echo "setup: ok"
