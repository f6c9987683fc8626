#!/usr/bin/env bash
# The full-screen saver as a native Wayland client under weston, run headless.
# On weston's headless backend, which offers no seat, it must refuse in one
# line (SDL would crash there). On weston's X11 backend inside Xvfb, whose
# seat carries real key, button and motion events from the X server
# (xdotool), it must draw on each of two outputs and end on input, not on a
# twitch. The saver itself never sees $DISPLAY, so it can only be Wayland.
# Every wait is bounded. Usage: wayland_hosts_test.sh BUILD_DIR
# Exits 77 (skipped) without weston, Xvfb, xdotool, xwd or python3.
set -uo pipefail
build=$1
fv=${FROSTVALE:-$build/host/frostvale}
. "$(dirname "$0")/lib.sh"
need_tools weston Xvfb xdotool xwd python3
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$work/runtime"
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
unset DISPLAY
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

# A black desktop without a panel, so that only the saver lights an output.
cat >"$work/weston.ini" <<'EOF'
[core]
idle-time=0
[shell]
background-color=0xff000000
panel-position=none
locking=false
EOF
# start_weston SOCKET ARGS...: a compositor that takes clients on $XDG_RUNTIME_DIR/SOCKET.
start_weston() {
  local socket=$1; shift
  weston --config="$work/weston.ini" --socket="$socket" "$@" >"$work/weston-$socket.log" 2>&1 &
  servers+=($!)
  for _ in $(seq 200); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && grep -q 'weston-desktop-shell' "$work/weston-$socket.log" && { sleep 0.5; return 0; }
    sleep 0.05
  done
  echo "weston did not start: $(tail -c 300 "$work/weston-$socket.log")"
  return 1
}

# 1. No seat: the run stops at once with one line and status 1, however the driver was chosen.
if start_weston bare --backend=headless-backend.so --use-pixman --width=320 --height=180; then
  for how in "SDL_VIDEODRIVER=wayland|--fullscreen" "SDL_VIDEODRIVER=wayland|" "|--fullscreen"; do
    read -r -a vars <<<"${how%|*}"
    read -r -a args <<<"${how#*|}"
    env WAYLAND_DISPLAY=bare "${vars[@]}" "$fv" "${args[@]}" --no-music >/dev/null 2>"$work/err" &
    wait_exit $! 20
    check "no seat ($how): status 1, not a crash" rc_is 1
    check "no seat ($how): one line that says why" \
      eval '[ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "no seat" "$work/err"'
  done
else
  failed=$((failed + 1))
fi

# 2. A seat fed by the X server: two outputs, each its own X window on Xvfb.
start_xvfb -screen 0 1280x400x24 || { failed=$((failed + 1)); finish; exit; }
servers+=("$server")
X=$display
if ! DISPLAY=$X start_weston seat --backend=x11-backend.so --use-pixman --width=400 --height=240 --output-count=2; then
  failed=$((failed + 1)); finish; exit
fi
outputs=()
for _ in $(seq 100); do
  mapfile -t outputs < <(DISPLAY=$X xdotool search --class 'Weston Compositor' 2>/dev/null)
  [ ${#outputs[@]} -ge 2 ] && break
  sleep 0.1
done
check "weston shows two outputs" [ ${#outputs[@]} -ge 2 ]
# Side by side, so that every output can be seen and the pointer put on one.
for i in "${!outputs[@]}"; do DISPLAY=$X xdotool windowmove "${outputs[$i]}" $((i * 420)) 0; done
DISPLAY=$X xdotool mousemove 200 120
sleep 0.5

drawn() { lit_over 0.01 -display "$X" -id "$1"; }  # drawn WINDOW
# dark WINDOW: nothing but the pointer lights it.
dark() { awk -v f="$(lit -display "$X" -id "$1")" 'BEGIN { exit !(f < 0.01) }'; }
check "the outputs start dark" eval 'dark "${outputs[0]}" && dark "${outputs[1]}"'

# start_saver [ARGS]: on the seated compositor, full screen unless told otherwise;
# sets $pid once the first output (and, full screen, the second) shows the scene.
start_saver() {
  WAYLAND_DISPLAY=seat WAYLAND_DEBUG=client "$fv" "${@:---fullscreen}" --no-music 2>"$work/err" &
  pid=$!
  drawn "${outputs[0]}" && { [ $# -gt 0 ] || drawn "${outputs[1]}"; }
}
check "key: the scene is drawn on both outputs" start_saver
check "key: one full-screen surface per output" \
  eval '[ "$(grep -o "set_fullscreen(wl_output@[0-9]*)" "$work/err" | sort -u | wc -l)" -eq 2 ]'
[ -n "${FROSTVALE_WAYLAND_SHOT:-}" ] && DISPLAY=$X xwd -id "${outputs[0]}" -silent -out "$FROSTVALE_WAYLAND_SHOT"
DISPLAY=$X xdotool key space
wait_exit "$pid" 10
check "key: a key press ends the run with status 0" rc_is 0

check "click: the scene is drawn" start_saver
DISPLAY=$X xdotool click 1
wait_exit "$pid" 10
check "click: a click ends the run with status 0" rc_is 0

check "motion: the scene is drawn" start_saver
DISPLAY=$X xdotool mousemove_relative 2 1
sleep 1.5
check "motion: a twitch of the pointer does not end the run" kill -0 "$pid"
DISPLAY=$X xdotool mousemove_relative 40 30
wait_exit "$pid" 10
check "motion: a real move ends the run with status 0" rc_is 0

check "SIGTERM: the scene is drawn" start_saver
kill -TERM "$pid"
wait_exit "$pid" 5
check "SIGTERM: the run ends cleanly" rc_is 0
check "window: the scene is drawn" start_saver --seed 3
DISPLAY=$X xdotool key q
wait_exit "$pid" 10
check "window: q ends the run with status 0" rc_is 0

check "no Wayland protocol error in the last run" eval '! grep -q "protocol error\|wl_display@1.error" "$work/err"'
finish
