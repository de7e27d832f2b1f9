#!/usr/bin/env bash
# Builds the web player with Debian's emscripten: web.sh [BUILD_DIR]
# (default build-web/). The result is one self-contained page,
# BUILD_DIR/zurkel.html. Every C dependency is compiled from the Debian
# source packages that scripts/setup.sh keeps in .deps/; nothing is
# downloaded.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build-web}"
command -v emcmake >/dev/null ||
  { echo "web.sh: emscripten is not installed (run scripts/setup.sh)" >&2; exit 1; }
# Debian's emcc runs its JavaScript optimiser on node with acorn from here.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# ... and on Debian's own python3, whatever else is first on PATH.
[ -x /usr/bin/python3 ] && export EMSDK_PYTHON=/usr/bin/python3
# The console's resources come from a desktop build (its data.pod is made by
# a desktop tool): ZURKEL_DATA_POD, else build/data.pod.
pod="${ZURKEL_DATA_POD:-$here/build/data.pod}"
[ -f "$pod" ] ||
  { echo "web.sh: no data.pod at $pod: build the console first (cmake --build build --target data_pod) or set ZURKEL_DATA_POD" >&2; exit 1; }
pod="$(cd "$(dirname "$pod")" && pwd)/$(basename "$pod")"
# The page embeds it LZ4-compressed (a twentieth of the size) when the
# desktop build's podbuild is there; rewritten only when it changes, so an
# unchanged pod does not relink the page.
podbuild="$(dirname "$pod")/tools/podbuild/podbuild"
if [ -x "$podbuild" ]; then
  mkdir -p "$build"
  "$podbuild" --compress "$pod" "$build/data-compressed.pod.new" >/dev/null
  cmp -s "$build/data-compressed.pod.new" "$build/data-compressed.pod" ||
    mv "$build/data-compressed.pod.new" "$build/data-compressed.pod"
  rm -f "$build/data-compressed.pod.new"
  pod="$(cd "$build" && pwd)/data-compressed.pod"
fi
# ccache serves emscripten's compiler too (the second build of a tree is quick).
launcher=()
command -v ccache >/dev/null &&
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
emcmake cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZURKEL_DATA_POD="$pod" \
  "${launcher[@]}" >/dev/null
cmake --build "$build" -j"${ZURKEL_JOBS:-2}"
echo "web.sh: $build/zurkel.html ($(stat -c %s "$build/zurkel.html") bytes)"
