# Helpers for the sweep integration tests (sourced after run_lib.sh; CTest
# runs only tests/integration/*.sh, so this file is never run on its own).

# sfxline SPEED LOOPSTART LOOPEND NOTE... : one "__sfx__" line; each NOTE is
# "pitch,waveform,volume,effect" in decimal; missing notes are silent.
sfxline() {
  local speed="$1" ls="$2" le="$3"
  shift 3
  local line i p w v e
  line="$(printf '00%02x%02x%02x' "$speed" "$ls" "$le")"
  for ((i = 0; i < 32; i++)); do
    if [ $# -gt 0 ]; then
      IFS=, read -r p w v e <<<"$1"
      shift
    else
      p=0 w=0 v=0 e=0
    fi
    line+="$(printf '%02x%x%x%x' "$p" "$w" "$v" "$e")"
  done
  echo "$line"
}

# mkcart_with NAME SECTIONFILE < code : like mkcart, with more sections
# (for example __sfx__ and __music__) taken from SECTIONFILE.
mkcart_with() {
  mkcart "$1"
  cat "$2" >>"$tmp/$1"
  echo >>"$tmp/$1"
}

# samples WAV : one signed sample per line.
samples() { od -An -td2 -v -j44 -w2 "$1" | tr -d ' '; }

# assert_line TEXT : the "** msg" line an assert(false, msg) prints.
expect_assert() {
  expect_line "** $1" "$2"
}

check() {
  if ! eval "$1"; then
    echo "FAIL: $2"
    failures=$((failures + 1))
  fi
}
