#!/usr/bin/env bash
# The X hosts under real conditions, on Xvfb: the daemon destroying its window
# at any moment, a window id that does not exist, the X server going away,
# several X screens, pointer motion in full screen, SIGHUP. Every wait is
# bounded. Usage: x11_hosts_test.sh BUILD_DIR OWNER_BINARY POINTER_BINARY [RUNS]
# ($FROSTVALE names another saver binary.) Exits 77 (skipped) without Xvfb,
# xdotool or xwd.
set -uo pipefail
build=$1
owner=$2
pointer=$3
runs=${4:-30}
fv=${FROSTVALE:-$build/host/frostvale}
. "$(dirname "$0")/lib.sh"
need_tools Xvfb xdotool xwd python3
# SDL loads and unloads the X client libraries at run time; see cli_test.sh.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
now_ms() { echo $(( $(date +%s%N) / 1000000 )); }
# run_saver ARGS...: the saver in the background as $saver, its stderr in $work/err.
run_saver() { "$fv" "$@" 2>"$work/err" & saver=$!; }
# start_server ARGS...: start_xvfb, remembered so the exit trap ends it.
start_server() { start_xvfb "$@"; local up=$?; servers+=("$server"); return $up; }
drawn() { lit_over 0.001 -root -screen -display "$1"; }  # drawn SCREEN
no_xlib_text() { ! grep -q 'X Error of failed request\|XIO:\|Bad[A-Z][a-z]*' "$1"; }
# watching: waits (bounded) until the saver has found the window and listens to it.
watching() {
  for _ in $(seq 400); do
    owner_says watched
    [ "$reply" = 1 ] && return 0
    sleep 0.02
  done
  return 1
}
# term_ends NAME [SECONDS]: SIGTERM ends $saver with status 0, nothing said.
term_ends() {
  kill -TERM "$saver"
  wait_exit "$saver" "${2:-20}"
  check "$1: SIGTERM ends it with status 0" rc_is 0
  check "$1: no errors" [ ! -s "$work/err" ]
}

start_server -screen 0 800x600x24
export DISPLAY=$display

# The daemon destroys its window at a random moment: during set-up or while
# drawing. Each run ends with status 0 and without Xlib's messages, within a
# second (two, on a busy machine) even when the engine's set-up, one call that
# nothing interrupts, is under way: a thread of its own sees the destroy.
# Light quality, in a window large enough that its offscreen scene takes a
# good part of each frame: a destroy that lands there leaves Mesa asking the
# window's size only afterwards, when it is gone, and it once crashed on the
# answer.
exit_limit_ms=${FROSTVALE_EXIT_LIMIT_MS:-2000}
# ended_well WHAT SINCE_MS: after wait_exit, whether the run ended with status
# 0 within the limit and without Xlib's messages; counts and says it if not.
ended_well() {
  local took=$(( $(now_ms) - $2 ))
  [ "$rc" -eq 0 ] && [ "$took" -lt "$exit_limit_ms" ] && no_xlib_text "$work/err" && return 0
  bad=$((bad + 1))
  echo "$1: status $rc, ended ${took} ms after: $(head -c 300 "$work/err")"
}
bad=0
for run in $(seq "$runs"); do
  start_owner 480 360
  if [ $((run % 2)) -eq 0 ]; then
    run_saver -window-id "$wid" --quality light
  else
    XSCREENSAVER_WINDOW=$wid run_saver -root --quality light
  fi
  # The saver first checks that the window exists (a destroy before that is a
  # bad id). Odd runs count the delay from then, even ones from the first drawing.
  watching
  [ $((run % 2)) -eq 0 ] && window_drawn
  sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.3f", r / 32767 * 1.5 }')"
  owner_says destroy
  destroyed=$(now_ms)
  wait_exit "$saver" 30
  close_owner
  ended_well "destroy run $run" "$destroyed"
done
check "destroyed window: every run ends with status 0, within a second, without Xlib messages" [ "$bad" -eq 0 ]

# A window that does not exist: one line of our own, status 1.
"$fv" -window-id 0x7ffff1 >"$work/out" 2>"$work/err" &
wait_exit $! 20
check "bad window id: status 1" rc_is 1
one_line_of_ours() { [ "$(wc -l <"$1")" -eq 1 ] && grep -q '^frostvale: ' "$1"; }
check "bad window id: one line of ours" one_line_of_ours "$work/err"

# SIGHUP ends the run as SIGTERM does.
run_saver
sleep 2
kill -HUP "$saver"
wait_exit "$saver" 30
check "SIGHUP ends the run cleanly" rc_is 0

# Faults a daemon's session brings. Stopped for 10 s (a suspended session, a
# debugger) and continued: the saver draws on and still ends cleanly.
# window_changes: waits (bounded) until two samples of the window differ.
window_changes() {
  local first
  owner_says sample; first=$reply
  for _ in $(seq 20); do
    sleep 0.25
    owner_says sample
    [ "$reply" != "$first" ] && return 0
  done
  return 1
}
start_owner
run_saver -window-id "$wid"
window_drawn
kill -STOP "$saver"
sleep 10
kill -CONT "$saver"
check "stopped 10 s and continued: draws on" window_changes
term_ends "stopped 10 s and continued" 10
close_owner

# The daemon's window resized to a single pixel and far past the screen, then
# back: the saver follows every size and draws again at the last. (X has no
# windows of size 0.) Mesa's software GLX learns each size from XGetGeometry
# and trusts even a failed answer, so the saver's own must be the one it calls.
start_owner
LD_DEBUG=bindings LD_DEBUG_OUTPUT=$work/ld run_saver -window-id "$wid"
window_drawn
for size in "1 1" "3000 2000" "200 150"; do
  owner_says "size $size"
  sleep 0.5
  check "resized to ${size/ /x}: still running" kill -0 "$saver"
done
check "resized back: draws the scene again" window_drawn
term_ends resized 10
gl_asks_the_saver() { grep -q "libGLX_mesa[^ ]* \[[0-9]*\] to [^ ]*/${fv##*/} \[.*\`XGetGeometry'" "$work"/ld.*; }
check "resized: the GL driver asks window sizes of the saver's XGetGeometry" gl_asks_the_saver
close_owner

# A damaged picture in the daemon's window: the daemon holds the keyboard and
# pointer, so a message box could be neither seen through the lock nor
# dismissed. The alert is one line on stderr, and no window of ours appears.
bad_pictures=$work/bad-pictures
mkdir -p "$bad_pictures"
for f in "$build"/resources/*; do ln -s "$(cd "$(dirname "$f")" && pwd)/${f##*/}" "$bad_pictures/"; done
rm "$bad_pictures/tex.brm"
python3 - "$build/resources/tex.brm" "$bad_pictures/tex.brm" <<'EOF_PY'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
dir_at = struct.unpack("<I", data[20:24])[0]
offset = struct.unpack("<I", data[dir_at + 4:dir_at + 8])[0]
data[offset + 2] = 1  # a colour-mapped picture: not one the saver reads
open(sys.argv[2], "wb").write(data)
EOF_PY
# boxes NAME: how many windows on the display have that title.
boxes() { xwininfo -root -tree | grep -c "\"$1\""; }
start_owner
run_saver -window-id "$wid" --resources "$bad_pictures"
said_alert() { grep -q '^Invalid Image: ' "$work/err"; }
for _ in $(seq 100); do said_alert && break; sleep 0.1; done
check "damaged picture in a daemon's window: the alert is one line on stderr" [ "$(grep -c '^Invalid Image: ' "$work/err")" -eq 1 ]
check "damaged picture in a daemon's window: no message box" [ "$(boxes 'Invalid Image')" -eq 0 ]
check "damaged picture in a daemon's window: still running" kill -0 "$saver"
kill -TERM "$saver"
wait_exit "$saver" 10
close_owner
# A window of our own keeps the box, which waits for its "OK" (the check
# above could see one).
run_saver --resources "$bad_pictures"
for _ in $(seq 100); do [ "$(boxes 'Invalid Image')" -eq 1 ] && break; sleep 0.1; done
check "damaged picture in our own window: a message box" [ "$(boxes 'Invalid Image')" -eq 1 ]
kill -KILL "$saver"
wait_exit "$saver" 10

# SIGTERM as soon as the saver has found its window (during the engine's
# set-up) and at random moments while it draws: status 0 every time, and
# within a second of the signal.
bad=0
for run in $(seq 8); do
  start_owner
  run_saver -window-id "$wid"
  watching
  if [ "$run" -gt 2 ]; then
    window_drawn
    sleep "$(awk -v r=$RANDOM 'BEGIN { printf "%.3f", r / 32767 * 0.5 }')"
  fi
  kill -TERM "$saver"
  signalled=$(now_ms)
  wait_exit "$saver" 30
  close_owner
  ended_well "SIGTERM run $run" "$signalled"
done
check "SIGTERM during set-up or while drawing: status 0, within a second" [ "$bad" -eq 0 ]

# Full screen: a twitch of the pointer keeps the saver; a move, or a key, ends
# it. (Without a window manager SDL puts the pointer in the middle of a
# full-screen window: the moves count from wherever it is once the saver draws.)
"$pointer" 100 100
run_saver --fullscreen
drawn "$display"
read -r px py < <("$pointer")
"$pointer" $((px + 1)) "$py"
sleep 1.5
check "full screen: a 1-pixel move keeps it running" kill -0 "$saver"
"$pointer" $((px + 20)) "$py"
wait_exit "$saver" 10
check "full screen: a 20-pixel move ends it with status 0" rc_is 0
"$fv" --fullscreen 2>>"$work/err" &
saver=$!
drawn "$display"
xdotool key space
wait_exit "$saver" 10
check "full screen: a key ends it with status 0" rc_is 0
check "full screen: no errors" [ ! -s "$work/err" ]

# The X server going away ends the run with status 0.
for mode in "" "-window-id"; do
  start_server -screen 0 640x480x24
  if [ -n "$mode" ]; then
    DISPLAY=$display start_owner
    DISPLAY=$display run_saver -window-id "$wid"
  else
    DISPLAY=$display run_saver
  fi
  sleep 3
  kill -TERM "$server"; wait "$server" 2>/dev/null
  wait_exit "$saver" 30
  check "server gone (${mode:-window}): status 0" rc_is 0
  check "server gone (${mode:-window}): no Xlib messages" no_xlib_text "$work/err"
  close_owner
done

# Two X screens: each gets its own view at its own size; a hack started on
# the second screen draws there.
start_server -screen 0 1280x720x24 -screen 1 800x600x24
two=$display
DISPLAY=$two run_saver --fullscreen
check "two screens, full screen: screen 0 drawn" drawn "$two.0"
check "two screens, full screen: screen 1 drawn" drawn "$two.1" ||
  echo "(saver $(kill -0 "$saver" 2>/dev/null && echo running || echo ended)," \
    "copies: $(pgrep -P "$saver" | wc -l), said: $(head -c 300 "$work/err"))"
# Other tests may run full-screen savers meanwhile: only this one's copies count.
copies=$(pgrep -P "$saver")
term_ends "two screens, full screen"
# (A copy outlived by the saver is a zombie until whoever adopts it reaps it.)
copies_gone() {
  [ -n "$copies" ] || return 1
  local pid state
  for pid in $copies; do
    state=$(awk '/^State:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
    [ -z "$state" ] || [ "$state" = Z ] || return 1
  done
}
sleep 0.5
check "two screens, full screen: no copy left behind" copies_gone

# A copy that dies leaves its screen black, the rest running, and one line.
DISPLAY=$two run_saver --fullscreen
check "two screens, a copy killed: screen 1 drawn first" drawn "$two.1"
kill -KILL $(pgrep -P "$saver") 2>/dev/null
said_copy_died() { grep -qx 'frostvale: screen 1: the copy drawing it ended on signal 9' "$work/err"; }
for _ in $(seq 100); do said_copy_died && break; sleep 0.05; done
check "two screens, a copy killed: said so" said_copy_died
check "two screens, a copy killed: the rest runs on" kill -0 "$saver"
kill -TERM "$saver"
wait_exit "$saver" 20
check "two screens, a copy killed: SIGTERM ends it with status 0" rc_is 0
check "two screens, a copy killed: nothing else said" [ "$(wc -l <"$work/err")" -eq 1 ]

start_server -screen 0 1280x720x24 -screen 1 800x600x24
DISPLAY=$display.1 run_saver -root
check "second screen, -root: drawn" drawn "$display.1" ||
  echo "(a client on $display.1 now: $(xdpyinfo -display "$display.1" 2>&1 | head -c 200))"
term_ends "second screen, -root"

DISPLAY=$display.1 start_owner
DISPLAY=$display run_saver -window-id "$wid"
check "window on the second screen: drawn" window_drawn
term_ends "window on the second screen"
close_owner
finish
