#!/bin/sh
# The saver's scene options end to end: a trace repeats for the same seed only,
# --shot holds every shot on one kind, bad values are usage errors.
set -u
fv="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "FAIL: $*"; failed=1; }

run() { "$fv" --headless --preview --seconds 3 --frame-rate 20 --size 32x32 "$@"; }

run --seed 9 --trace "$work/a" || fail "first run"
run --seed 9 --trace "$work/b" || fail "second run"
cmp -s "$work/a" "$work/b" || fail "same seed, different trace"
run --seed 10 --trace "$work/d" || fail "other seed run"
cmp -s "$work/a" "$work/d" && fail "another seed, the same trace"
[ "$(wc -l < "$work/a")" -eq 59 ] || fail "one line per drawn frame: $(wc -l < "$work/a")"
head -1 "$work/a" | grep -q '^frame=1 t=0.0500 dt=0.0500 state=0 step=1 timer=19.9500 shot=[0-8] cut=1 ' ||
  fail "first line: $(head -1 "$work/a")"

run --seed 9 --shot 7 --trace "$work/c" || fail "held shot run"
grep -v ' shot=7 ' "$work/c" | grep -q . && fail "a shot other than 7 under --shot 7"

for bad in "--shot 9" "--shot -1" "--shot x" "--trace"; do
  "$fv" $bad >/dev/null 2>&1
  [ $? -eq 2 ] || fail "usage error expected: $bad"
done
run --seed 9 --trace "$work/no/such/dir/t" 2>/dev/null && fail "unwritable trace accepted"
exit $failed
