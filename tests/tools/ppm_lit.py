#!/usr/bin/env python3
"""ppm_lit.py FILE: the share of a binary PPM picture's sampled pixels that are not black."""
import sys

d = open(sys.argv[1], 'rb').read()
fields, at = [], 0
while len(fields) < 4:  # P6, width, height, largest value; comments skipped
    while d[at:at + 1].isspace():
        at += 1
    if d[at:at + 1] == b'#':
        at = d.index(b'\n', at)
        continue
    end = at
    while not d[end:end + 1].isspace():
        end += 1
    fields.append(d[at:end])
    at = end
w, h = int(fields[1]), int(fields[2])
px = d[at + 1:]
lit = n = 0
for y in range(0, h, 4):
    for x in range(0, w, 4):
        p = (y * w + x) * 3
        lit += max(px[p:p + 3]) > 8
        n += 1
print(lit / n if n else 0)
