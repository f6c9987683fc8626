#!/usr/bin/env bash
# Damaged resource files through the headless saver: each of the nine files
# missing, empty, with a bad header, cut at lump boundaries and one byte into
# them, with a lump pointing past the end, and with each lump's bytes garbled
# in turn. Every case must end with status 1 and one line on stderr naming the
# file and, where one is to blame, the lump; none may fault (run it in the
# sanitizer build too). Usage: resource_files_test.sh FROSTVALE BAKED_DIR
set -uo pipefail
fv=$1
baked=$(cd "$2" && pwd)
. "$(dirname "$0")/lib.sh"
unset DISPLAY
# A sanitizer report must not pass for the saver's own status 1.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}exitcode=86"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}exitcode=86"
files="tex.brm bramble.works houses.brm other.brm sleigh.brm presents.brm reindeer.brm santa.brm elf.brm"

# One folder per case: links to the good files, the damaged one written out.
# Each case's manifest line: NAME FILE MUST-MATCH (an extended regex), where
# "ok" as the pattern means the damage may go unnoticed (status 0, silent).
python3 - "$baked" "$work" $files <<'EOF'
import os, random, struct, sys
baked, work, files = sys.argv[1], sys.argv[2], sys.argv[3:]
manifest = open(os.path.join(work, "manifest"), "w")
n = 0

def case(name, damaged, data, pattern):
    global n
    n += 1
    d = os.path.join(work, "case%03d" % n)
    os.makedirs(d)
    for f in files:
        if f != damaged:
            os.symlink(os.path.join(baked, f), os.path.join(d, f))
    if data is not None:
        open(os.path.join(d, damaged), "wb").write(data)
    manifest.write("%s\t%s\t%s\t%s\n" % (d, name, damaged, pattern))

rng = random.Random(1225)
for f in files:
    data = open(os.path.join(baked, f), "rb").read()
    count, check, dir_at = struct.unpack("<III", data[12:24])
    entries = [struct.unpack("<II", data[dir_at + 28 * i: dir_at + 28 * i + 8]) for i in range(count)]
    types = [struct.unpack("<I", data[dir_at + 28 * i + 8: dir_at + 28 * i + 12])[0] for i in range(count)]
    q = f.replace(".", "[.]")
    case(f + " missing", f, None, q + '": No such file')
    case(f + " empty", f, b"", q + '" is empty')
    case(f + " a folder", f, None, q + '" is a folder, not a file')
    os.makedirs(os.path.join(work, "case%03d" % n, f))
    case(f + " without its magic", f, b"BRMX" + data[4:], q + '" is not a resource file')
    # Cut at the start of a lump or of the directory, and one byte in. Every
    # boundary of a small file; the first, second, middle and last lump of a
    # big one (every cut takes the same path through the reader).
    lumps = list(range(count))
    if count > 4:
        lumps = sorted({0, 1, count // 2, count - 1})
    for at, what in [(entries[i][1], "lump %d" % i) for i in lumps] + [(dir_at, "the directory")]:
        for extra in (0, 1):
            cut = at + extra
            case("%s cut %s at %s" % (f, "one byte into" if extra else "at the start of", what), f, data[:cut],
                 q + '" is truncated: %d bytes, the header says %d bytes' % (cut, len(data)))
    # The last lump pointing past the end, the file's size still right: not "cannot open".
    last = count - 1
    moved = bytearray(data)
    struct.pack_into("<I", moved, dir_at + 28 * last + 4, len(data))
    case("%s lump %d past the end" % (f, last), f, bytes(moved), "lump %d lies past the end of the file" % last)
    # Each lump's bytes garbled in turn: nothing of its header survives.
    for i, (size, offset) in enumerate(entries):
        g = bytearray(data)
        g[offset:offset + size] = rng.randbytes(size)
        case("%s lump %d garbled" % (f, i), f, bytes(g), q + '"?:? lump %d[: ]' % i)
    # The first lump garbled past its first 16 bytes: deeper into the readers.
    # A picture may survive this (its pixels are any bytes), so "ok" is allowed.
    size, offset = entries[0]
    g = bytearray(data)
    g[offset + 16:offset + size] = rng.randbytes(size - 16)
    if types[0] == 1:
        case("%s lump 0 garbled after its header" % f, f, bytes(g), "ok|" + q + '"? lump 0 is not a readable image: ')
    else:  # a model says what part of it is wrong
        case("%s lump 0 garbled after its header" % f, f, bytes(g),
             q + '"?:? lump 0: (Not a valid MS3D file! [(].+[)]|MS3D file holds)')
print(n, "cases", file=sys.stderr)
EOF

# Two at a time: each run sets the scene up to the damaged file.
cut -f1 "$work/manifest" | xargs -P 2 -I{} sh -c \
  '"$1" --headless --seconds 0.5 --size 64x64 --resources "$2" >"$2.out" 2>"$2.err"; echo $? >"$2.status"' _ "$fv" {}

while IFS=$'\t' read -r dir name file pattern; do
  status=$(cat "$dir.status")
  lines=$(wc -l <"$dir.err")
  why=""
  if [[ $pattern == ok\|* ]] && [ "$status" = 0 ] && [ "$lines" = 0 ]; then
    :
  elif [ "$status" != 1 ]; then
    why="status $status"
  elif [ "$lines" != 1 ]; then
    why="$lines lines on stderr"
  elif ! grep -qE "^frostvale: .*${file//./[.]}" "$dir.err"; then
    why="message does not name $file"
  elif ! grep -qE "${pattern#ok|}" "$dir.err"; then
    why="message does not match /${pattern#ok|}/"
  elif [[ $name != *missing ]] && grep -q "cannot open" "$dir.err"; then
    why="reported as \"cannot open\""
  fi
  check "$name: $why" [ -z "$why" ] || head -c 2000 "$dir.err"
done <"$work/manifest"
finish
