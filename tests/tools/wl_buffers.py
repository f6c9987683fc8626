#!/usr/bin/env python3
"""wl_buffers.py LOG: from a client's WAYLAND_DEBUG log, one line per layer
surface: OUTPUT LAYER configured WxH buffer WxH scale S state, where the sizes
are the last configure and the last buffer attached, and state is "closed"
once the compositor closed it, else "open"."""
import re
import sys

outputs, buffers, surfaces = {}, {}, {}
layer_of = {}
for line in open(sys.argv[1], errors='replace'):
    m = re.search(r'wl_output@(\d+)\.name\("([^"]*)"\)', line)
    if m:
        outputs[m[1]] = m[2]
        continue
    m = re.search(r'get_layer_surface\(new id zwlr_layer_surface_v1@(\d+), wl_surface@(\d+), wl_output@(\d+), (\d+)', line)
    if m:
        s = {'output': m[3], 'layer': m[4], 'config': '0x0', 'buffer': '0x0', 'scale': '1', 'state': 'open'}
        surfaces[m[2]] = s
        layer_of[m[1]] = s
        continue
    m = re.search(r'zwlr_layer_surface_v1@(\d+)\.configure\(\d+, (\d+), (\d+)\)', line)
    if m and m[1] in layer_of:
        layer_of[m[1]]['config'] = f'{m[2]}x{m[3]}'
        continue
    m = re.search(r'zwlr_layer_surface_v1@(\d+)\.closed\(\)', line)
    if m and m[1] in layer_of:
        layer_of[m[1]]['state'] = 'closed'
        continue
    m = re.search(r'create_buffer\(new id wl_buffer@(\d+), \d+, (\d+), (\d+)', line)
    if m:
        buffers[m[1]] = f'{m[2]}x{m[3]}'
        continue
    m = re.search(r'wl_surface@(\d+)\.attach\(wl_buffer@(\d+)', line)
    if m and m[1] in surfaces:
        surfaces[m[1]]['buffer'] = buffers.get(m[2], '?')
        continue
    m = re.search(r'wl_surface@(\d+)\.set_buffer_scale\((\d+)\)', line)
    if m and m[1] in surfaces:
        surfaces[m[1]]['scale'] = m[2]
for s in surfaces.values():
    print(outputs.get(s['output'], '?'), s['layer'], 'configured', s['config'], 'buffer', s['buffer'],
          'scale', s['scale'], s['state'])
