#!/usr/bin/env bash
# The saver defines (and exports, for the GL driver to bind to) its own
# XGetGeometry; every other program given keeps Xlib's.
# Usage: geometry_guard_test.sh SAVER OTHER...
set -uo pipefail
. "$(dirname "$0")/lib.sh"
defines() { nm -D --defined-only "$1" | grep -qw XGetGeometry; }
keeps_xlibs() { ! defines "$1"; }
check "the saver has an XGetGeometry of its own" defines "$1"
shift
for program; do
  check "${program##*/} keeps Xlib's XGetGeometry" keeps_xlibs "$program"
done
finish
