#!/usr/bin/env python3
"""Draws the program's icon: one 128 x 128 image with a 256-colour palette, as res/lumora.ico.

The icon is committed; run this only to change the drawing. Output is deterministic.
"""
import math
import struct
import sys

SIZE = 128


def pixel(x, y):
    """Colour (r, g, b) of the pixel, or None where the icon is transparent."""
    # A photo card with rounded corners, tilted nothing, with a white border.
    margin, radius = 8, 14
    cx = min(max(x, margin + radius), SIZE - 1 - margin - radius)
    cy = min(max(y, margin + radius), SIZE - 1 - margin - radius)
    if (x - cx) ** 2 + (y - cy) ** 2 > radius ** 2:
        return None
    inner = margin + 8
    if x < inner or x > SIZE - 1 - inner or y < inner or y > SIZE - 1 - inner - 10:
        return (246, 246, 240)
    # Sky gradient, sun, two hills.
    t = (y - inner) / (SIZE - 2 * inner)
    colour = (int(70 + 90 * t), int(140 + 70 * t), int(230 - 20 * t))
    if (x - 88) ** 2 + (y - 42) ** 2 < 11 ** 2:
        colour = (255, 204, 64)
    if y > 78 + 16 * math.sin((x - 10) / 18.0):
        colour = (60, 150, 70)
    if y > 92 + 10 * math.sin((x + 30) / 11.0):
        colour = (34, 110, 52)
    return colour


def palette():
    colours = [(r * 51, g * 255 // 6, b * 51) for r in range(6) for g in range(7) for b in range(6)]
    colours += [(246, 246, 240), (255, 204, 64), (60, 150, 70), (34, 110, 52)]
    return colours[:256]


def nearest(colours, rgb):
    return min(range(len(colours)), key=lambda i: sum((a - b) ** 2 for a, b in zip(colours[i], rgb)))


def main(path):
    colours = palette()
    cache = {}
    rows_xor, rows_and = [], []
    for y in range(SIZE - 1, -1, -1):  # DIB rows go bottom-up
        xor, mask_bits = bytearray(), []
        for x in range(SIZE):
            rgb = pixel(x, y)
            if rgb is None:
                xor.append(0)
                mask_bits.append(1)
            else:
                if rgb not in cache:
                    cache[rgb] = nearest(colours, rgb)
                xor.append(cache[rgb])
                mask_bits.append(0)
        rows_xor.append(bytes(xor))
        mask = bytearray()
        for i in range(0, SIZE, 8):
            byte = 0
            for bit in mask_bits[i:i + 8]:
                byte = (byte << 1) | bit
            mask.append(byte)
        rows_and.append(bytes(mask))  # 16 bytes a row: already 32-bit aligned
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in colours)
    image = header + table + b''.join(rows_xor) + b''.join(rows_and)
    ico = struct.pack('<HHH', 0, 1, 1)
    ico += struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    with open(path, 'wb') as out:
        out.write(ico + image)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'res/lumora.ico')
