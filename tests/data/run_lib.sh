# Helpers for the runner's integration tests (sourced, not run by CTest:
# CTest runs every *.sh, so this file exits 0 when run on its own).
# Usage: source run_lib.sh "$@"   (binary, build dir, source dir)
#
# Carts report through the console: in execute mode every console line
# printed while no program runs goes to standard output as "** ...", so a
# failing assert(false, msg) ends the run and prints msg. Cart data files
# (cartdata/dset) carry numbers across runs and out of a run that goes on.
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="$2"
src="$3"
if [ ! -f "$(dirname "$bin")/data.pod" ]; then
  echo "data.pod not built: execute-mode checks skipped"
  exit 0
fi
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
# exit status in $status. The run must end by itself within 60 seconds.
runcart() {
  local name="$1"
  shift
  out="$(cd "$tmp" && timeout -k 5 60 "$bin" -home "$tmp/home" -x "$tmp/$name" -fast "$@" 2>"$tmp/stderr")"
  status=$?
}

# dword ID INDEX : word INDEX of cart data ID as a decimal 16.16 value
# ("1.5"), or "none" when the file does not exist.
dword() {
  local f="$tmp/home/cdata/$1.zkd.txt"
  [ -f "$f" ] || { echo none; return; }
  local hex
  hex="$(tr -d '\n' < "$f" | cut -c$(($2 * 8 + 1))-$(($2 * 8 + 8)))"
  awk -v h="$((16#$hex))" 'BEGIN { v = h; if (v >= 2147483648) v -= 4294967296; print v / 65536 }'
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

# expect_output TEXT NOTE : the whole standard output, line for line.
expect_output() {
  if [ "$out" != "$1" ]; then
    echo "FAIL ($2): output differs"
    echo "--- expected:"
    echo "$1"
    echo "--- got:"
    echo "$out"
    echo "---"
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

expect_eq() {
  if [ "$1" != "$2" ]; then
    echo "FAIL ($3): got '$1', expected '$2'"
    failures=$((failures + 1))
  fi
}

# expect CONDITION MESSAGE: a failure when the eval'd CONDITION is false.
expect() {
  if ! eval "$1"; then
    echo "FAIL ($2)"
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
