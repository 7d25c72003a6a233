#!/usr/bin/env python3
"""Draws the 48 x 48 flag bitmaps of the LANGUAGE folder (24-bit BMP)."""
import struct, sys, os

W = H = 48

def bmp(pixels):
    row = W * 3
    pad = (4 - row % 4) % 4
    data = b''
    for y in range(H - 1, -1, -1):
        for x in range(W):
            r, g, b = pixels(x, y)
            data += bytes((b, g, r))
        data += b'\0' * pad
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + data

def framed(inner):
    def px(x, y):
        if y < 8 or y >= 40:
            return (255, 255, 255)  # page background above and below the flag
        if x == 0 or x == W - 1 or y == 8 or y == 39:
            return (96, 96, 96)
        return inner(x, y - 8)
    return px

def italian(x, y):
    return [(0, 146, 70), (255, 255, 255), (206, 43, 55)][min(x * 3 // W, 2)]

def english(x, y):
    h = 32
    cx, cy = W / 2, h / 2
    # diagonals
    d1 = abs((y - cy) * W - (x - cx) * h) / ((W * W + h * h) ** 0.5)
    d2 = abs((y - cy) * W + (x - cx) * h) / ((W * W + h * h) ** 0.5)
    if abs(x - cx) < 3 or abs(y - cy) < 3:
        return (200, 16, 46)
    if abs(x - cx) < 5 or abs(y - cy) < 5:
        return (255, 255, 255)
    if min(d1, d2) < 1.5:
        return (200, 16, 46)
    if min(d1, d2) < 3.5:
        return (255, 255, 255)
    return (1, 33, 105)

def default(x, y):
    if 16 <= x < 32 and 10 <= y < 22:
        return (160, 160, 160)
    return (230, 230, 230)

out = sys.argv[1] if len(sys.argv) > 1 else '.'
for name, f in (('English', english), ('Italian', italian), ('DefaultFlag', default)):
    with open(os.path.join(out, name + '.bmp'), 'wb') as fh:
        fh.write(bmp(framed(f)))
