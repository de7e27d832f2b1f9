# Helpers for the browser's integration tests (sourced after check_lib.sh
# and board_lib.sh; run on its own this file does nothing). Gives:
#   splore STEPS PRESSES [OPTIONS]  runs `zurkel -splore -headless 1` for STEPS
#                                   update steps against $url (the board) with
#                                   the home folder $tmp/home; PRESSES is
#                                   "STEP:BUTTONS ..." (BUTTONS from L R U D O X
#                                   P, held for one step); the browser is up
#                                   from step 100
#   downs N FROM                    N presses of D every 2 steps from step FROM
#   messages                        the banners of the last run, one a line
#   splore_log                      log.txt of the last run
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY all_proxy ALL_PROXY
mkdir -p "$tmp/home"
splore() {
  local steps="$1" presses="$2"
  shift 2
  : >"$tmp/splore.in"
  for p in $presses; do
    local step="${p%%:*}" keys="${p#*:}" mask=0 i
    for ((i = 0; i < ${#keys}; i++)); do
      case "${keys:i:1}" in
        L) mask=$((mask | 1)) ;; R) mask=$((mask | 2)) ;; U) mask=$((mask | 4)) ;;
        D) mask=$((mask | 8)) ;; O) mask=$((mask | 16)) ;; X) mask=$((mask | 32)) ;;
        P) mask=$((mask | 64)) ;;
      esac
    done
    printf '%d %x\n%d 0\n' "$step" "$mask" "$((step + 1))" >>"$tmp/splore.in"
  done
  timeout -k 5 120 "$bin" -home "$tmp/home" -splore -headless 1 -board_url "$url" \
    -input "$tmp/splore.in" -frames "$steps" "$@" >"$tmp/splore.out" 2>&1
  splore_status=$?
}
downs() { local i; for ((i = 0; i < $1; i++)); do printf '%d:D ' $(($2 + 2 * i)); done; }
messages() { sed -n 's/^ *message: //p' "$tmp/home/log.txt"; }
splore_log() { cat "$tmp/home/log.txt"; }
