#!/usr/bin/env python3
"""Draws the program icon (a clock face with a bolt) into resources/kibolt.ico."""
import math
import struct
import sys


def pixel(x, y, size):
    c = (size - 1) / 2
    r = math.hypot(x - c, y - c) / (size / 2)
    if r > 0.98:
        return (0, 0, 0, 0)
    if r > 0.84:
        return (40, 60, 140, 255)
    # Bolt: a zigzag band across the face.
    u, v = x / size, y / size
    if (0.50 <= u + 0.55 * (v - 0.15) <= 0.68 and v < 0.52) or (0.36 <= u + 0.55 * (v - 0.48) <= 0.54 and v >= 0.44):
        return (30, 190, 250, 255)
    return (250, 250, 245, 255)


def image(size):
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b''.join(struct.pack('<BBBB', b, g, r, a) for (r, g, b, a) in (pixel(x, y, size) for x in range(size))))
    mask_row = b'\0' * (((size + 31) // 32) * 4)
    return header + b''.join(rows) + mask_row * size


def main(path):
    sizes = [32, 16, 48]
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'resources/kibolt.ico')
