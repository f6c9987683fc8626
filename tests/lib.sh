# Sourced by the shell tests: a scratch folder, the tally of checks, bounded
# waits, and the X fixtures (an Xvfb of its own, a window another program owns).

# The scratch folder $work goes on exit with every job and server ($servers)
# the test started; the saver keeps its settings store there, not the user's.
work=$(mktemp -d)
servers=()
trap 'kill $(jobs -p) "${servers[@]}" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
unset XSCREENSAVER_WINDOW

passed=0 failed=0
check() {  # check NAME CONDITION-COMMAND...
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $name"; fi
}
finish() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; }
rc_is() { [ "$rc" -eq "$1" ] || { echo "(status $rc: $(head -c 300 "$work/err"))"; return 1; }; }

# wait_exit PID SECONDS: waits at most that long; sets $rc (124 and a kill if still running).
wait_exit() {
  local pid=$1 limit=$(( $2 * 20 )) i
  for ((i = 0; i < limit; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rc=124; return; fi
  wait "$pid"; rc=$?
}

# start_xvfb ARGS...: a fresh Xvfb that picks a free display number itself
# (so two test scripts, or a server still shutting down, cannot collide on
# one) and says it only once it takes clients. Sets $display and $server;
# returns 1, with the server's own words, if it is not up within 20 s. A
# server that said its number but takes no client (seen once, with other
# suites' servers coming and going) is replaced, up to three times.
start_xvfb() {
  local said try
  for try in 1 2 3; do
    said=$work/xvfb.$RANDOM display=
    : >"$said"
    Xvfb -displayfd 3 "$@" -nolisten tcp 3>"$said" 2>"$said.err" &
    server=$!
    for _ in $(seq 400); do
      # A whole line: the number may arrive in more than one write.
      if [ -s "$said" ] && [ -z "$(tail -c 1 "$said")" ]; then display=":$(head -1 "$said")"; break; fi
      kill -0 "$server" 2>/dev/null || break
      sleep 0.05
    done
    [ -n "$display" ] && { ! command -v xdpyinfo >/dev/null || xdpyinfo -display "$display" >/dev/null 2>&1; } &&
      return 0
    echo "(Xvfb ${display:-with no number} takes no client, try $try)"
    kill "$server" 2>/dev/null; wait "$server" 2>/dev/null
  done
  echo "Xvfb did not start: $(head -c 300 "$said.err")"
  return 1
}

# need_tools TOOL...: ends the test as skipped (77) unless every tool is installed.
need_tools() { for tool; do command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }; done; }

# lit_over SHARE XWD-ARGS...: waits (bounded) until more than that share of
# the sampled pixels of what xwd shows is not black.
lit_over() {
  local share=$1; shift
  for _ in $(seq 120); do
    awk -v f="$(lit "$@")" -v s="$share" 'BEGIN { exit !(f > s) }' && return 0
    sleep 0.5
  done
  return 1
}
lit() {
  xwd "$@" -silent -out "$work/shot.xwd" 2>/dev/null || { echo 0; return; }
  python3 "$(dirname "$0")/tools/xwd_lit.py" "$work/shot.xwd"
}

# start_owner [W H]: a window $owner makes, as the daemon's; sets $wid.
# A second try when the first owner finds no server: the harness's own hiccup
# (seen once with two suites sharing the machine) must not read as the saver's.
start_owner() {
  local try
  for try in 1 2; do
    coproc OWNER { "$owner" "${1:-160}" "${2:-120}" 2>"$work/owner.err"; }
    read -r -t 10 -u "${OWNER[0]}" wid && return 0
    echo "(no window from the owner, try $try: $(head -c 300 "$work/owner.err"))"
    close_owner
    sleep 0.5
  done
  return 1
}
# close_owner: ends the owner (bash forgets a co-process that has ended by itself).
close_owner() {
  local pid=${OWNER_PID:-}
  [ -n "${OWNER[1]:-}" ] && exec {OWNER[1]}>&-
  [ -n "$pid" ] && wait "$pid" 2>/dev/null
  return 0
}
owner_says() { echo "$1" >&"${OWNER[1]}"; read -r -t 10 -u "${OWNER[0]}" reply; }
# window_drawn [W H]: waits (bounded) until the saver draws the scene into the
# owner's window (no longer the owner's white, nor only black), at that size
# if given. Set-up loads every resource file on the first frame: slow under
# the sanitizers on a busy machine.
window_drawn() {
  for _ in $(seq 60); do
    owner_says sample
    [ "$(echo "$reply" | awk '{ print ($3 < 200 && $6 > 0) }')" = 1 ] && [[ -z ${1:-} || $reply == "$1 $2 "* ]] &&
      return 0
    sleep 0.5
  done
  return 1
}
