#!/usr/bin/env bash
# The full-screen saver as a native Wayland client under weston, run headless.
# On weston's headless backend, which offers no seat, it must refuse in one
# line (SDL would crash there). On weston's X11 backend inside Xvfb, whose
# seat carries real key, button and motion events from the X server
# (xdotool), it must draw on each of two outputs and end on input, not on a
# twitch. The saver itself never sees $DISPLAY, so it can only be Wayland.
# Then, under Debian's sway run headless (a wlroots compositor offering layer
# shell), the saver must be a layer surface on every output and no window:
# outputs added, scaled, turned off and (in a sway nested in the first, whose
# outputs are windows that can be closed) removed while it runs; ended by a
# key from a virtual keyboard and by SIGTERM; and --toplevel must still give
# SDL's windows. sway refuses to run as root, so as root (CI) the test makes
# an unprivileged user for it and the saver. Every wait is bounded.
# Usage: wayland_hosts_test.sh BUILD_DIR [WL_POINTER]
# Exits 77 (skipped) without weston, Xvfb, xdotool, xwd or python3; the sway
# part says it is skipped without sway, swaymsg, grim or wtype.
set -uo pipefail
build=$1
fv=${FROSTVALE:-$build/host/frostvale}
pointer_tool=${2:-}  # tests/tools/wl_pointer, for the sway part
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
kill "${servers[@]}" 2>/dev/null; wait "${servers[@]}" 2>/dev/null; servers=()
# 3. Layer shell under sway.
sway_part() {
  local tool
  for tool in sway swaymsg grim wtype setpriv; do
    command -v "$tool" >/dev/null || { echo "sway part skipped: no $tool"; return; }
  done
  local tools; tools=$(cd "$(dirname "$0")/tools" && pwd)
  local home=$work/sway
  mkdir -p "$home"
  # The saver as the user runs it: as root, an unprivileged user of the test's own.
  run_as=()
  fv_sway=("$fv")
  if [ "$(id -u)" -eq 0 ]; then
    local user=frostvale-test
    id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
      { echo "FAIL: cannot make a user for sway"; failed=$((failed + 1)); return; }
    # The saver and its resources where that user may read them (a root checkout may be closed to it).
    cp "$fv" "$home/frostvale"
    cp -r "$build/resources" "$home/resources"
    [ -n "$pointer_tool" ] && cp "$pointer_tool" "$home/wl_pointer" && pointer_tool=$home/wl_pointer
    chmod 711 "$work"
    chown -R "$user:" "$home"
    run_as=(setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --clear-groups --)
    fv_sway=("$home/frostvale" --resources "$home/resources")
  fi
  chmod 700 "$home"
  printf '%s\n' 'output * bg #000000 solid_color' \
    'output HEADLESS-1 resolution 320x180 position 0 0' \
    'output HEADLESS-2 resolution 320x180 position 320 0' \
    'output HEADLESS-3 resolution 320x180 position 640 0' >"$home/config"
  chmod 644 "$home/config"
  (exec_as_user env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=2 \
    SWAYSOCK="$home/outer.sock" sway -c "$home/config" >"$work/sway.log" 2>&1) &
  servers+=($!)
  socket=
  for _ in $(seq 200); do
    socket=$(cd "$home" && ls -d wayland-* 2>/dev/null | grep -v lock | head -1)
    [ -n "$socket" ] && [ -S "$home/outer.sock" ] && break
    sleep 0.05
  done
  if [ -z "$socket" ] || ! outer swaymsg -t get_version >/dev/null 2>&1; then
    echo "FAIL: sway did not start: $(tail -c 300 "$work/sway.log")"; failed=$((failed + 1)); return
  fi

  saver "$socket" --fullscreen
  check "sway: the scene is drawn on both outputs" eval 'drawn HEADLESS-1 && drawn HEADLESS-2'
  check "sway: one overlay layer surface per output" \
    eval '[ "$(surfaces | awk '\''$2 == 3 { print $1 }'\'' | sort -u | tr "\n" " ")" = "HEADLESS-1 HEADLESS-2 " ]'
  check "sway: no window of the saver in the tree" eval '! outer swaymsg -t get_tree | has "\"app_id\": \"frostvale\""'
  check "sway: the saver's surfaces take the keyboard" grep -q 'set_keyboard_interactivity(1)' "$work/err"
  [ -n "${FROSTVALE_WAYLAND_SHOT:-}" ] && cp "$work/HEADLESS-2.ppm" "$FROSTVALE_WAYLAND_SHOT-second.ppm"

  outer swaymsg output HEADLESS-2 scale 2 >/dev/null
  sleep 1
  check "sway: scale 2 is drawn" drawn HEADLESS-2
  check "sway: a scale-2 output gets a buffer of twice its size" \
    eval 'surfaces | has "^HEADLESS-2 3 configured 160x90 buffer 320x180 scale 2 open"'
  check "sway: the scale-1 output keeps its buffer" \
    eval 'surfaces | has "^HEADLESS-1 3 configured 320x180 buffer 320x180 scale 1 open"'
  if [ -n "${FROSTVALE_WAYLAND_SHOT:-}" ]; then
    drawn HEADLESS-1
    cp "$work/HEADLESS-1.ppm" "$FROSTVALE_WAYLAND_SHOT-scale1.ppm"
    cp "$work/HEADLESS-2.ppm" "$FROSTVALE_WAYLAND_SHOT-scale2.ppm"
  fi

  outer swaymsg create_output >/dev/null
  check "sway: an output made while it runs gets a view" drawn HEADLESS-3
  check "sway: and its own layer surface" eval 'surfaces | has "^HEADLESS-3 3 configured 320x180"'

  # A pointer, as wlroots' virtual pointer: a twitch is no reason to end, a move or a click is.
  if [ -n "$pointer_tool" ]; then
    outer "$pointer_tool" move 2 1
    sleep 1
    check "sway: a twitch of the pointer does not end the run" kill -0 "$pid"
    outer "$pointer_tool" move 40 30
    wait_exit "$pid" 10
    check "sway: a real pointer move ends the run with status 0" rc_is 0
    # Every view set up (a set-up holds the loop), so the new pointer is taken at once.
    saver "$socket" --fullscreen
    all_drawn
    # sway gives a surface mapped under a still pointer its buttons only after a motion.
    outer "$pointer_tool" move 1 0 click
    wait_exit "$pid" 10
    check "sway: a click ends the run with status 0" rc_is 0
    saver "$socket" --fullscreen
    all_drawn
  else
    echo "sway pointer checks skipped: no wl_pointer tool given"
  fi

  # A virtual keyboard's key. wtype types as soon as its keyboard exists; the
  # pause (generous: a loaded machine) lets the saver take the new keyboard first.
  outer wtype -s 1500 x
  wait_exit "$pid" 10
  check "sway: a key (wtype) ends the run with status 0" rc_is 0
  check "sway: no Wayland protocol error" eval '! grep -q "wl_display@1.error" "$work/err"'

  saver "$socket" --fullscreen
  drawn HEADLESS-1
  local t0 t1
  t0=$(date +%s%N)
  kill -TERM "$pid"
  wait_exit "$pid" 5
  t1=$(date +%s%N)
  check "sway: SIGTERM ends the run with status 0" rc_is 0
  echo "(sway: ended $(( (t1 - t0) / 1000000 )) ms after SIGTERM)"
  check "sway: ended within a second of SIGTERM" [ $(( (t1 - t0) / 1000000 )) -lt 1000 ]

  saver "$socket" --fullscreen --toplevel
  check "sway: --toplevel draws as SDL's windows" eval 'drawn HEADLESS-1 && drawn HEADLESS-3'
  check "sway: --toplevel makes windows" eval 'outer swaymsg -t get_tree | has "\"app_id\": \"frostvale\""'
  check "sway: --toplevel makes no layer surface" eval '! grep -q get_layer_surface "$work/err" || { surfaces; false; }'
  [ -n "${FROSTVALE_WAYLAND_SHOT:-}" ] && cp "$work/HEADLESS-1.ppm" "$FROSTVALE_WAYLAND_SHOT-toplevel.ppm"
  kill -TERM "$pid"
  wait_exit "$pid" 5
  check "sway: --toplevel ends on SIGTERM with status 0" rc_is 0

  # Removing an output: sway's headless outputs cannot be unplugged (and one
  # disabled is not removed for clients), so a second sway runs inside the
  # first; its outputs are windows there, and closing one removes that output.
  (exec_as_user env WLR_BACKENDS=wayland WLR_WL_OUTPUTS=2 WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
    WAYLAND_DISPLAY="$socket" SWAYSOCK="$home/inner.sock" sway -c "$home/config" >"$work/inner.log" 2>&1) &
  servers+=($!)
  inner=
  for _ in $(seq 200); do
    inner=$(cd "$home" && ls -d wayland-* 2>/dev/null | grep -v "lock" | grep -vx "$socket" | head -1)
    [ -n "$inner" ] && [ -S "$home/inner.sock" ] && break
    sleep 0.05
  done
  if [ -z "$inner" ]; then
    echo "FAIL: the nested sway did not start: $(tail -c 300 "$work/inner.log")"; failed=$((failed + 1)); return
  fi
  saver "$inner" --fullscreen
  check "nested sway: drawn on both outputs" eval 'nested_drawn WL-1 && nested_drawn WL-2'
  outer swaymsg '[title="wlroots - WL-2"] kill' >/dev/null
  for _ in $(seq 40); do surfaces | has " closed$" && break; sleep 0.25; done
  check "nested sway: the removed output's surface is closed" eval 'surfaces | has "^WL-2 .* closed$"'
  check "nested sway: the run goes on" kill -0 "$pid"
  check "nested sway: the other output is still drawn" nested_drawn WL-1

  # Its output's window hidden in the first sway, the second gives the saver no
  # frame callbacks: nothing is drawn and no processor time spent, until it is back.
  local before
  outer swaymsg '[title="wlroots - WL-1"] move to workspace 9' >/dev/null
  sleep 1
  before=$(cpu_ticks "$pid")
  sleep 2
  check "nested sway: an output without frame callbacks costs nothing (under 0.1 s in 2 s)" \
    eval '[ $(( $(cpu_ticks "$pid") - before )) -lt 10 ]'
  outer swaymsg '[title="wlroots - WL-1"] move to workspace 1' >/dev/null
  check "nested sway: drawn again once shown" nested_drawn WL-1
  kill -TERM "$pid"
  wait_exit "$pid" 5
  check "nested sway: SIGTERM ends the run with status 0" rc_is 0
}
# as_user COMMAND...: in the sway user's runtime folder, as that user when we
# are root. With `&`, the job's process becomes the command itself (exec), so
# $! is what a signal must reach, not a shell in between.
as_user() { (exec_as_user "$@"); }
exec_as_user() {
  exec env HOME="$work/sway" XDG_RUNTIME_DIR="$work/sway" XDG_CONFIG_HOME="$work/sway/config.d" "${run_as[@]}" "$@"
}
outer() { as_user env SWAYSOCK="$work/sway/outer.sock" WAYLAND_DISPLAY="$socket" "$@"; }
nested() { as_user env SWAYSOCK="$work/sway/inner.sock" WAYLAND_DISPLAY="$inner" "$@"; }
# shot OUTPUT / nested_shot OUTPUT: that output's picture in $work, and the share of it lit.
shot() { outer timeout 5 grim -t ppm -o "$1" - >"$work/$1.ppm" 2>/dev/null && python3 "$tools/ppm_lit.py" "$work/$1.ppm" || echo 0; }
nested_shot() { nested timeout 5 grim -t ppm -o "$1" - >"$work/$1.ppm" 2>/dev/null && python3 "$tools/ppm_lit.py" "$work/$1.ppm" || echo 0; }
# drawn OUTPUT / nested_drawn OUTPUT: waits (bounded) until the scene lights that output.
drawn() {
  for _ in $(seq 60); do awk -v f="$(shot "$1")" 'BEGIN { exit !(f > 0.05) }' && return 0; sleep 0.5; done
  return 1
}
nested_drawn() {
  for _ in $(seq 60); do awk -v f="$(nested_shot "$1")" 'BEGIN { exit !(f > 0.05) }' && return 0; sleep 0.5; done
  return 1
}
# saver DISPLAY ARGS...: starts it there and sets $pid. Its log keeps what it
# sent and got about surfaces and buffers, not every frame's damage and callbacks.
saver() {
  local display=$1; shift
  [ -n "${reader:-}" ] && { kill "$reader" 2>/dev/null; wait "$reader" 2>/dev/null; }
  rm -f "$work/fifo"; mkfifo "$work/fifo"
  grep --line-buffered -v 'damage\|commit\|\.frame(\|callback@\|sync(\|delete_id\|\.release()' <"$work/fifo" >"$work/err" &
  reader=$!
  (exec_as_user env WAYLAND_DISPLAY="$display" WAYLAND_DEBUG=client "${fv_sway[@]}" "$@" --no-music --seed 3 \
    >/dev/null 2>"$work/fifo") &
  pid=$!
}
all_drawn() { drawn HEADLESS-1 && drawn HEADLESS-2 && drawn HEADLESS-3; }
surfaces() { python3 "$tools/wl_buffers.py" "$work/err"; }
# has PATTERN: whether what comes in has a line matching; reads it all, so the
# writer never meets a closed pipe (which pipefail would count as failing).
has() { local text; text=$(cat); grep -q -- "$1" <<<"$text"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
tools=$(cd "$(dirname "$0")/tools" && pwd)
sway_part
finish
