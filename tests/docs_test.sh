#!/usr/bin/env bash
# The generated XScreenSaver file, manual page and README page: well formed,
# and every argument the daemon may pass is one the saver takes, with the
# meaning the file gives it. Usage: docs_test.sh BUILD_DIR
set -uo pipefail
build=$1
fv=$build/host/frostvale
xml=$build/frostvale.xml
. "$(dirname "$0")/lib.sh"
differs() { ! cmp -s "$1" "$2"; }
xpath() { xmllint --xpath "$1" "$xml" 2>/dev/null; }

check "xml is well formed" xmllint --noout "$xml"
check "screensaver name and label" [ "$(xpath 'string(/screensaver/@name)')/$(xpath 'string(/screensaver/@_label)')" = frostvale/Frostvale ]
check "command -root" [ "$(xpath 'string(/screensaver/command/@arg)')" = -root ]
check "four numbers and the frame rate" [ "$(xpath 'count(//number)')" = 5 ]
check "frame rate slider as every hack has it" [ "$(xpath 'string(//number[@id="delay"]/@convert)')/$(xpath 'string(//number[@id="delay"]/@_label)')" = "invert/Frame rate" ]
check "six settings booleans and -fps" [ "$(xpath 'count(//boolean)')" = 7 ]
check "one menu of 59 carols" [ "$(xpath 'count(//select/option)')" = 59 ]
check "updater and description" [ "$(xpath 'count(//xscreensaver-updater)')" = 1 ] && [ "$(xpath 'count(//_description)')" = 1 ]

# What the daemon passes for each control, run through the saver: it must be
# accepted and change the key the control stands for.
"$fv" --print-settings >"$work/defaults" || failed=$((failed + 1))
args=()
for i in $(seq "$(xpath 'count(//number)')"); do
  arg=$(xpath "string(//number[$i]/@arg)")
  for end in low high; do args+=("${arg/\%/$(xpath "string(//number[$i]/@$end)")}"); done
done
for i in $(seq "$(xpath 'count(//boolean)')"); do
  set_arg=$(xpath "string(//boolean[$i]/@arg-set)"); unset_arg=$(xpath "string(//boolean[$i]/@arg-unset)")
  [ "$set_arg" != -fps ] && args+=("$set_arg$unset_arg")
done
for i in $(seq 2 59); do args+=("$(xpath "string(//select/option[$i]/@arg-set)")"); done
for a in "${args[@]}"; do
  # shellcheck disable=SC2086
  if "$fv" $a --print-settings >"$work/out" 2>"$work/err"; then
    check "daemon argument '$a' changes a setting" differs "$work/out" "$work/defaults"
  else
    check "daemon argument '$a' is accepted: $(cat "$work/err")" false
  fi
done
check "tune 0 passes -tune 0" grep -q 'arg-set="-tune 0"' "$xml"
"$fv" -tune 57 --print-settings | grep -qx 'SelectedTune=57'; check "the last carol" [ $? -eq 0 ]

# The manual page: no groff warnings, and every --help option is in OPTIONS.
check "man page formats without warnings" [ -z "$(groff -man -Tutf8 -ww -z "$build/frostvale.6" 2>&1)" ]
groff -man -Tascii -P-cbou -rLL=200n "$build/frostvale.6" 2>/dev/null >"$work/man.txt"
"$fv" --help | grep -o '^  --[^ ]*' | sed 's/^  //' >"$work/help-options"
check "help has options" [ "$(wc -l <"$work/help-options")" -gt 25 ]
while read -r option; do
  check "man page lists $option" grep -qF -- "$option" "$work/man.txt"
done <"$work/help-options"

# The README's settings table names every stored key and its command-line spelling.
readme=$(dirname "$0")/../README.md
while IFS='=' read -r key _; do
  check "README names $key" grep -q "| \`$key\` |" "$readme"
done <"$work/defaults"
"$fv" --help | grep 'stored default' | awk '{print ($2 == "N") ? $1 " N" : $1}' | while read -r spelling; do
  grep -qF -- "\`$spelling\`" "$readme" || echo "$spelling"
done >"$work/missing"
check "help shows eleven settings options" [ "$("$fv" --help | grep -c 'stored default')" -eq 11 ]
check "README shows every settings option: $(tr '\n' ' ' <"$work/missing")" [ ! -s "$work/missing" ]
check "README page is well formed HTML" xmllint --html --noout "$build/README.html"
check "README page keeps the two commands" grep -q '<pre>scripts/run' "$build/README.html"
finish
