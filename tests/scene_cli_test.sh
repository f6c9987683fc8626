#!/usr/bin/env bash
# The saver's scene options end to end: a trace repeats for the same seed only,
# --shot holds every shot on one kind, bad values are usage errors.
set -uo pipefail
fv=$1
. "$(dirname "$0")/lib.sh"
run() { "$fv" --headless --preview --seconds 3 --frame-rate 20 --size 32x32 "$@"; }
differs() { ! cmp -s "$1" "$2"; }
status_is() { local want=$1; shift; "$@" >/dev/null 2>&1; [ $? -eq "$want" ]; }

check "first run" run --seed 9 --trace "$work/a"
check "second run" run --seed 9 --trace "$work/b"
check "same seed, same trace" cmp -s "$work/a" "$work/b"
check "other seed run" run --seed 10 --trace "$work/d"
check "another seed, another trace" differs "$work/a" "$work/d"
check "one line per drawn frame: $(wc -l <"$work/a")" [ "$(wc -l <"$work/a")" -eq 59 ]
check "first line: $(head -1 "$work/a")" \
  grep -q '^frame=1 t=0.0500 dt=0.0500 state=0 step=1 timer=19.9500 shot=[0-8] cut=1 ' <(head -1 "$work/a")

check "held shot run" run --seed 9 --shot 7 --trace "$work/c"
check "only shot 7 under --shot 7" [ -z "$(grep -v ' shot=7 ' "$work/c")" ]

for bad in "--shot 9" "--shot -1" "--shot x" "--trace"; do
  # shellcheck disable=SC2086
  check "usage error: $bad" status_is 2 "$fv" $bad
done
check "unwritable trace refused" status_is 1 run --seed 9 --trace "$work/no/such/dir/t"
finish
