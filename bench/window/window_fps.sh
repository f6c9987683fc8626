#!/usr/bin/env bash
# Frame rate of the saver in a window under Xvfb, counted from the frames it
# presents: its own 1280x720 window, and a 320x180 window that another program
# owns (-window-id). Usage: window_fps.sh BUILD_DIR [SECONDS]; $FROSTVALE
# names another saver binary to measure.
set -euo pipefail
build=$1
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
gcc -O2 -shared -fPIC "$here/swap_counter.c" -o "$work/swap_counter.so" -ldl
for n in $(seq 130 160); do [ -e "/tmp/.X$n-lock" ] || { display=":$n"; break; }; done
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
for _ in $(seq 200); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display XDG_CONFIG_HOME=$work/config

measure() {  # measure LABEL ARGS...
  local label=$1; shift
  FV_SWAP_LOG=$work/log LD_PRELOAD=$work/swap_counter.so "${FROSTVALE:-$build/host/frostvale}" "$@" &
  local saver=$!
  sleep "$seconds"
  kill -TERM "$saver"; wait "$saver" || true
  echo "$label: $(cat "$work/log" 2>/dev/null || echo 'no frames counted')"
  rm -f "$work/log"
}

measure "1280x720 window" 
coproc OWNER { "$build/tests/x11_window_owner" 320 180; }
read -r -t 10 -u "${OWNER[0]}" wid
measure "320x180 foreign window" -window-id "$wid"
owner_pid=$OWNER_PID
exec {OWNER[1]}>&-
wait "$owner_pid" 2>/dev/null || true
