#!/usr/bin/env bash
# End-to-end checks of the frostvale and frostvale-inspect command lines:
# exit statuses, messages, headless snapshots, and drawing into a window that
# another program owns under Xvfb. Usage: cli_test.sh BUILD_DIR OWNER_BINARY
set -uo pipefail
build=$1
owner=$2
fv=$build/host/frostvale
inspect=$build/tools/inspect/frostvale-inspect
. "$(dirname "$0")/lib.sh"
unset DISPLAY
status_is() {  # status_is WANT COMMAND...; on a mismatch shows what the command said
  local want=$1 got; shift
  "$@" >"$work/out" 2>"$work/err"; got=$?
  [ "$got" -eq "$want" ] && return 0
  echo "  status $got, wanted $want: $*"; sed 's/^/  stderr: /' "$work/err" | head -40
  return 1
}
png_size() { python3 -c "import struct,sys;d=open(sys.argv[1],'rb').read(24);print('%dx%d'%struct.unpack('>II',d[16:24]))" "$1"; }

# --print-settings on an empty config creates the store and prints twelve keys.
check "print-settings exits 0" status_is 0 "$fv" --print-settings
check "print-settings prints twelve keys" [ "$(wc -l <"$work/out")" -eq 12 ]
check "print-settings defaults" grep -qx 'NumSnow=750' "$work/out"
check "print-settings creates the store" [ -s "$XDG_CONFIG_HOME/frostvale/qbFrostvale.conf" ]
check "single-dash print-settings" status_is 0 "$fv" -print-settings

# Overrides change this run only; the store keeps what it had.
store=$XDG_CONFIG_HOME/frostvale/qbFrostvale.conf
cp "$store" "$work/store.before"
check "overrides exit 0" status_is 0 "$fv" --snow 12 -houses=99 --no-smoke -main-monitor-only --print-settings
check "overrides shown" grep -qx 'NumSnow=12' "$work/out" && grep -qx 'NumHouses=99' "$work/out" &&
  grep -qx 'ShowSmoke=0' "$work/out" && grep -qx 'MainMonitorOnly=1' "$work/out"
check "overrides never stored" cmp -s "$store" "$work/store.before"
check "override out of range" status_is 2 "$fv" --houses 0 --print-settings
check "override message names the range" grep -q '10-100' "$work/err"
check "help lists the overrides" status_is 0 "$fv" --help
check "help lists --[no-]sparkles and --tune N" grep -q -- '--\[no-\]sparkles' "$work/out" && grep -q -- '--tune N' "$work/out"

# A hand-edited store: one line of ours on stderr per value clamped.
printf 'version=1.0\nNumHouses=0\nNumSnow=12abc\nNumStars=99999999999\nMainMonitorOnly=0\nPlayMusic=1\nShowCountdown=1\nShowSparkles=1\nShowSmoke=1\nShowTrees=1\nSelectedTune=58\nNumReindeer=1\n' >"$store"
check "hand-edited store loads" status_is 0 "$fv" --print-settings
check "one note per bad value" [ "$(wc -l <"$work/err")" -eq 3 ] && grep -qx 'frostvale: NumHouses=0 is out of range 10-100; using 10' "$work/err"
rm "$store"

# Usage errors are status 2 with a message.
for bad in "--bogus" "-size 0x5" "-size 16385x16" "--seconds -1" "--seconds 1e12" "--frame-rate abc" \
    "--frame-rate 1001" "-window-id 0xZZ" "extra"; do
  # shellcheck disable=SC2086
  check "usage error: $bad" status_is 2 "$fv" $bad
  check "usage message: $bad" [ -s "$work/err" ]
done
check "settings sheet without a display fails" status_is 1 "$fv" --settings
check "settings sheet says it needs a display" grep -q 'needs a display' "$work/err"

# Headless with no X server: a 1280x720 PNG.
check "headless snapshot" status_is 0 "$fv" --headless --seconds 2 --snapshot "$work/shot.png"
check "snapshot is 1280x720" [ "$(png_size "$work/shot.png")" = 1280x720 ]
check "frames dir" status_is 0 "$fv" -headless -size 64x48 -seconds 0.25 -frame-rate 20 -frames-dir "$work/frames"
check "frames written" [ -f "$work/frames/000001.png" ] && [ "$(png_size "$work/frames/000003.png")" = 64x48 ]
# The highest frame rate: the view still draws at most one frame per 1/60 s.
check "frame rate 1000" status_is 0 "$fv" --headless --size 32x32 --seconds 0.5 --frame-rate 1000 \
  --frames-dir "$work/fast"
check "frame rate 1000 draws 30 frames in 0.5 s" [ "$(ls "$work/fast" | wc -l)" -eq 30 ]

# The inspector on the baked files.
check "inspect lumps" status_is 0 "$inspect" lumps "$build/resources/tex.brm"
check "lumps header line" grep -qx 'lumps 7' "$work/out"
check "inspect image" status_is 0 "$inspect" image "$build/resources/bramble.works" 0 "$work/font.png"
head -c 100 "$build/resources/bramble.works" >"$work/cut.works"
check "inspect image on a bad file" status_is 1 "$inspect" image "$work/cut.works" 0 "$work/x.png"

# Under Xvfb: draw into a window another program created, follow its size, end on SIGTERM.
if command -v Xvfb >/dev/null; then
  start_xvfb -screen 0 800x600x24
  export DISPLAY=$display
  # SDL loads and unloads the X and D-Bus client libraries at run time; what
  # they keep is reported against modules already gone, so no suppression can
  # name it. Our own code's leaks are caught by the unit tests' runs.
  export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
  start_owner 320 200
  "$fv" -window-id "$wid" 2>"$work/xerr" &
  saver=$!
  check "saver draws into the foreign window (was white)" window_drawn
  owner_says "size 400 300"
  check "saver follows the window's size" window_drawn 400 300
  start=$(date +%s%N)
  kill -TERM "$saver"; wait "$saver"; rc=$?
  elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
  check "SIGTERM ends cleanly" [ "$rc" -eq 0 ]
  check "SIGTERM ends within a second" [ "$elapsed_ms" -lt 1000 ]
  XSCREENSAVER_WINDOW=$wid "$fv" -root 2>>"$work/xerr" &
  saver=$!; sleep 1.5; kill -INT "$saver"; wait "$saver"
  check "-root with XSCREENSAVER_WINDOW, SIGINT" [ $? -eq 0 ]
  for mode in "" "--fullscreen"; do
    # shellcheck disable=SC2086
    "$fv" $mode 2>>"$work/xerr" &
    saver=$!; sleep 1.5
    check "window host ${mode:-(default)} runs" kill -0 "$saver"
    kill -TERM "$saver"; wait "$saver"
    check "window host ${mode:-(default)} ends on SIGTERM" [ $? -eq 0 ]
  done
  cp "$store" "$work/store.before"
  "$fv" --settings 2>>"$work/xerr" &
  sheet=$!; sleep 1.5
  check "settings sheet opens" kill -0 "$sheet"
  kill -TERM "$sheet"; wait "$sheet"
  check "settings sheet ends on SIGTERM" [ $? -eq 0 ]
  check "settings sheet ended unsaved stores nothing" cmp -s "$store" "$work/store.before"
  check "no errors from the X hosts" [ ! -s "$work/xerr" ]
  close_owner
fi
finish
