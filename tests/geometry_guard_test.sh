#!/usr/bin/env bash
# The saver defines (and exports, for the GL driver to bind to) its own
# XGetGeometry; every other program given keeps Xlib's.
# Usage: geometry_guard_test.sh SAVER OTHER...
set -uo pipefail
. "$(dirname "$0")/lib.sh"
# Reads nm's whole list: a reader that stopped at the first match would leave
# nm writing into a closed pipe, and pipefail would count that as no match.
defines() { nm -D --defined-only "$1" | awk '$3 == "XGetGeometry" { found = 1 } END { exit !found }'; }
keeps_xlibs() { ! defines "$1"; }
check "the saver has an XGetGeometry of its own" defines "$1"
shift
for program; do
  check "${program##*/} keeps Xlib's XGetGeometry" keeps_xlibs "$program"
done
finish
