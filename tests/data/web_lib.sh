# Helpers for the tests that run the web player in headless Chromium
# (sourced by tests/integration/web_*.sh). A page reports through its DOM:
# the automated run ends by writing the screen into <pre id="zk-dump">
# (16,384 hexadecimal palette indices), failures go to <pre id="zk-error">.

# The exit code that ctest reports as a skip (SKIP_RETURN_CODE).
WEB_SKIP=77

# Skips the test, visibly, when emscripten or chromium is missing.
web_require_tools() {
  local tool
  for tool in emcmake chromium; do
    if ! command -v "$tool" >/dev/null; then
      echo "SKIP: $tool is not installed (scripts/setup.sh installs it)"
      exit "$WEB_SKIP"
    fi
  done
}

# web_player BUILD_DIR SOURCE_DIR: builds the web player (with the desktop
# build's data.pod), or brings it up to date, in BUILD_DIR/web (or
# $ZURKEL_WEB_BUILD_DIR) and prints the page.
web_player() {
  local dir="${ZURKEL_WEB_BUILD_DIR:-$1/web}"
  mkdir -p "$dir"
  if ! ZURKEL_DATA_POD="$1/data.pod" bash "$2/scripts/web.sh" "$dir" >"$dir/web-build.log" 2>&1; then
    tail -n 40 "$dir/web-build.log" >&2
    return 1
  fi
  echo "$dir/zurkel.html"
}

# web_dom URL BUDGET_MS [PROFILE_DIR]: the page's DOM after BUDGET_MS of
# virtual time. Timers run under virtual time, animation frames do not.
# Visits that share a PROFILE_DIR share the browser's storage.
web_dom() {
  local url=$1 budget=$2 profile=${3:-} own="" log
  if [ -z "$profile" ]; then
    profile=$(mktemp -d)
    own=$profile
  fi
  log=$(mktemp)
  if ! timeout 120 chromium --headless=new --no-sandbox --disable-gpu --disable-quic \
      --no-first-run --disable-background-networking --disable-component-update \
      --disable-sync --user-data-dir="$profile" --virtual-time-budget="$budget" \
      --autoplay-policy=no-user-gesture-required \
      --dump-dom "$url" 2>"$log"; then
    echo "web_dom: chromium failed on $url" >&2
    tail -n 20 "$log" >&2
    rm -rf "$log" $own
    return 1
  fi
  rm -rf "$log" $own
}

# web_element ID: the text of <pre id="ID"> in the DOM on standard input.
web_element() {
  sed -n "s|.*<pre id=\"$1\"[^>]*>\([^<]*\)</pre>.*|\1|p" | head -n 1
}

# web_budget FRAMES: enough virtual time for an automated run of FRAMES
# updates (back-to-back timers are clamped to 4 ms) plus start-up and the
# stored files, whose transfers the page keeps busy in real time (slower on
# a loaded machine). A page that is done ends the run early.
web_budget() {
  echo $(( $1 * 5 + 10000 ))
}

# web_png_indices PNG PALETTE: an RGB picture (the console's -dump_screen) as
# one hexadecimal palette index per pixel, the form of zk-dump.
web_png_indices() {
  convert "$1" -depth 8 rgb:- 2>/dev/null | python3 -c '
import sys
pal = [tuple(int(v) for v in l.split()[:3]) for l in open(sys.argv[1]) if l.strip()][:16]
d = sys.stdin.buffer.read()
print("".join("%x" % pal.index(tuple(d[i:i + 3])) if tuple(d[i:i + 3]) in pal else "?"
              for i in range(0, len(d), 3)))' "$2"
}
