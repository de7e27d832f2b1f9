# A private X server for the real-window tests (sourced by
# tests/integration/*_xvfb.sh after they set $tmp).
# start_xvfb FIRST LAST: starts Xvfb on a free display number in FIRST-LAST
# and exports DISPLAY; the script skips (exit 0) when none is free or the
# server does not come up. At exit the console ($zpid, when set) and the
# server are stopped and $tmp removed.
xpid=""
zpid=""
xvfb_cleanup() {
  [ -n "$zpid" ] && kill "$zpid" 2>/dev/null
  [ -n "$xpid" ] && { kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null; }
  rm -rf "$tmp"
}
trap xvfb_cleanup EXIT

xvfb_answers() {
  if command -v xdpyinfo >/dev/null; then xdpyinfo >/dev/null 2>&1
  elif command -v xdotool >/dev/null; then xdotool getmouselocation >/dev/null 2>&1
  else sleep 1
  fi
}

start_xvfb() {
  local disp="" n
  for n in $(seq "$1" "$2"); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { disp=":$n"; break; }
  done
  [ -n "$disp" ] || { echo "skipped: no free display"; exit 0; }
  Xvfb "$disp" -screen 0 800x600x24 -nolisten tcp >"$tmp/xvfb.log" 2>&1 &
  xpid=$!
  export DISPLAY="$disp"
  for _ in $(seq 100); do
    xvfb_answers && return 0
    sleep 0.1
  done
  echo "skipped: Xvfb did not start"
  exit 0
}

# private_console SRC PODBUILD BIN: the console copied to $tmp/bin with a
# data.pod of its own whose head cartridge is the cart read from standard
# input (assets from SRC, built with PODBUILD); $tmp/home is its home.
private_console() {
  mkdir -p "$tmp/bin" "$tmp/home"
  cp -r "$1/assets" "$tmp/assets"
  cat >"$tmp/assets/carts/head.zk"
  "$2" "$tmp/assets/data.pod.manifest" "$tmp/bin/data.pod" >"$tmp/podbuild.log" 2>&1 ||
    { echo "FAIL: podbuild"; cat "$tmp/podbuild.log"; exit 1; }
  cp "$3" "$tmp/bin/zurkel"
}
