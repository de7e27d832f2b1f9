# Helpers for the runner's integration tests (sourced, not run by CTest:
# CTest runs every *.sh, so this file exits 0 when run on its own).
# Usage: source run_lib.sh "$@"   (binary, build dir, source dir)
bin="$1"
build="$2"
src="$3"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/home"
failures=0

# mkcart NAME < code : writes a text cartridge with the code on stdin.
mkcart() {
  {
    echo "zurkel cartridge // test"
    echo "version 12"
    echo "__lua__"
    cat
    echo "__gfx__"
    echo
  } > "$tmp/$1"
}

# runcart NAME [options...] : runs a cart in execute mode; stdout in $out,
# exit status in $status.
runcart() {
  local name="$1"
  shift
  out="$(cd "$tmp" && timeout 60 "$bin" -home "$tmp/home" -x "$tmp/$name" -fast "$@" 2>"$tmp/stderr")"
  status=$?
}

expect_line() {
  if ! grep -qxF -- "$1" <<<"$out"; then
    echo "FAIL ($2): missing line: $1"
    echo "--- output:"
    echo "$out"
    echo "---"
    failures=$((failures + 1))
  fi
}

expect_no_line() {
  if grep -qxF -- "$1" <<<"$out"; then
    echo "FAIL ($2): unexpected line: $1"
    failures=$((failures + 1))
  fi
}

expect_status() {
  if [ "$status" != "$1" ]; then
    echo "FAIL ($2): exit status $status, expected $1"
    echo "$out"
    failures=$((failures + 1))
  fi
}

finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
  fi
  echo ok
  exit 0
}
