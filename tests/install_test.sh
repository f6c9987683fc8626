#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks that every file is in
# place and that the installed saver runs from there with no --resources
# option: it must find its data beside itself, not in the build tree.
# Usage: install_test.sh BUILD_DIR
set -uo pipefail
build=$1
. "$(dirname "$0")/lib.sh"
unset DISPLAY

root=$work/root
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" 2>&1
check "cmake --install succeeds" [ $? -eq 0 ]
usr=$root/usr
for f in bin/frostvale bin/frostvale-inspect share/xscreensaver/config/frostvale.xml share/man/man6/frostvale.6 \
         share/man/man1/frostvale-inspect.1 \
         share/applications/screensavers/frostvale.desktop share/applications/frostvale-settings.desktop \
         share/doc/frostvale/README.md share/doc/frostvale/README.html \
         share/frostvale/tex.brm share/frostvale/bramble.works share/frostvale/houses.brm share/frostvale/other.brm \
         share/frostvale/sleigh.brm share/frostvale/presents.brm share/frostvale/reindeer.brm \
         share/frostvale/santa.brm share/frostvale/elf.brm; do
  check "installed $f" [ -s "$usr/$f" ]
done
check "hack is the same program" [ "$(readlink -f "$usr/libexec/xscreensaver/frostvale")" = "$(readlink -f "$usr/bin/frostvale")" ]
check "saver entry runs the hack on the daemon's window" grep -qx 'Exec=frostvale -root' "$usr/share/applications/screensavers/frostvale.desktop"
check "saver entry is a screen saver" grep -qx 'Categories=Screensaver;' "$usr/share/applications/screensavers/frostvale.desktop"
check "settings launcher opens the sheet" grep -qx 'Exec=frostvale --settings' "$usr/share/applications/frostvale-settings.desktop"
for entry in screensavers/frostvale.desktop frostvale-settings.desktop; do
  check "$entry has keywords" grep -q '^Keywords=.' "$usr/share/applications/$entry"
done
# The inspector's page is written by hand: every command it knows must be on it.
for cmd in $("$usr/bin/frostvale-inspect" --help | awk 'NR > 2 { print $1 }'); do
  check "frostvale-inspect(1) describes $cmd" grep -q "^\.BI \"$cmd[ \"]" "$usr/share/man/man1/frostvale-inspect.1"
done
src=$(dirname "$0")/..
if command -v dpkg-parsechangelog >/dev/null; then
  check "debian/changelog carries the project's version" \
    [ "$(dpkg-parsechangelog -l "$src/debian/changelog" -S Version)" = "$(sed -n 's/^project(Frostvale VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")" ]
fi
if command -v desktop-file-validate >/dev/null; then
  check "desktop entries validate" desktop-file-validate "$usr/share/applications/frostvale-settings.desktop" \
    "$usr/share/applications/screensavers/frostvale.desktop"
fi

for exe in bin/frostvale libexec/xscreensaver/frostvale; do
  rm -f "$work/x.png"
  (cd "$work" && "$usr/$exe" --headless --seconds 1 --snapshot x.png) >"$work/out" 2>&1
  check "installed $exe runs headless: $(head -c 300 "$work/out")" [ $? -eq 0 ]
  check "installed $exe wrote the snapshot" [ -s "$work/x.png" ]
done
# Without its data folder the installed saver must fail, not quietly use the build's.
mv "$usr/share/frostvale" "$usr/share/frostvale-moved"
(cd "$work" && "$usr/bin/frostvale" --headless --seconds 0.1 --snapshot y.png) >/dev/null 2>&1
check "installed saver reads its own data folder" [ $? -eq 1 ]
finish
