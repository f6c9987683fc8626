#!/usr/bin/env python3
"""xwd_lit.py FILE: the share of an xwd picture's sampled pixels that are not black."""
import struct
import sys

d = open(sys.argv[1], 'rb').read()
h = struct.unpack('>25I', d[:100])
size, w, hgt, bpp, bpl, ncolors = h[0], h[4], h[5], h[11], h[12], h[19]
px = d[size + ncolors * 12:]
step, lit, n = bpp // 8, 0, 0
for y in range(0, hgt, 4):
    for x in range(0, w, 4):
        at = y * bpl + x * step
        lit += max(px[at:at + 3]) > 8
        n += 1
print(lit / n)
