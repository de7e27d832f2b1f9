# Shared start of the integration scripts that check eval'd conditions
# (sourced by tests/integration/*.sh).
# Usage: source check_lib.sh "$@"   (binary, build dir, source dir)
# Gives: $bin (absolute), $build, $src, $tmp (removed at exit), $fail, and
# check CONDITION MESSAGE, which records a failure when CONDITION is false.
set -uo pipefail
bin="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
build="${2:-}"
src="${3:-}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
fail=0
check() { if ! eval "$1"; then echo "FAIL: $2"; fail=1; fi; }
