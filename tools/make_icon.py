#!/usr/bin/env python3
"""Draws the installer's icon (a shield with a check mark) and writes it as a .ico
with 16, 32 and 48 pixel images in 32-bit colour with alpha.

usage: make_icon.py OUT.ico
"""
import struct
import sys


def shield_alpha(x, y, size):
    """Coverage of the shield at pixel centre (x, y), 0.0 to 1.0, by 4x4 supersampling."""
    hits = 0
    for sy in range(4):
        for sx in range(4):
            u = (x + (sx + 0.5) / 4) / size  # 0..1 across
            v = (y + (sy + 0.5) / 4) / size  # 0..1 down
            half = 0.42 if v < 0.55 else 0.42 * max(0.0, (0.95 - v) / 0.40)
            if 0.06 <= v <= 0.95 and abs(u - 0.5) <= half:
                hits += 1
    return hits / 16


def check_mark(x, y, size):
    u, v = (x + 0.5) / size, (y + 0.5) / size
    def near(ax, ay, bx, by, width):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((u - ax) * dx + (v - ay) * dy) / (dx * dx + dy * dy)))
        px, py = ax + t * dx, ay + t * dy
        return (u - px) ** 2 + (v - py) ** 2 <= width * width
    return near(0.30, 0.48, 0.45, 0.64, 0.06) or near(0.45, 0.64, 0.72, 0.32, 0.06)


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up DIB
        row = b""
        for x in range(size):
            a = shield_alpha(x, y, size)
            if a and check_mark(x, y, size):
                b, g, r = 255, 255, 255
            else:
                # A vertical blue gradient.
                shade = y / size
                b, g, r = 220 - int(40 * shade), 120 - int(50 * shade), 20
            row += struct.pack("BBBB", b, g, r, int(round(a * 255)))
        rows.append(row)
    pixels = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\x00" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    sizes = [16, 32, 48]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main()
