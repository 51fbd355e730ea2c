#!/usr/bin/env python3
"""Draws the installer pages' banner, Banner.bmp: a white band of 534 x 59
pixels, 24 bits per pixel, with pale-blue clouds towards its left and right
ends. The pages write black text over its left part and put the program's icon
near its right end, so the clouds stay light and the middle stays white.

    python3 make_banner.py [OUTPUT]      (default: Banner.bmp beside this file)

The picture depends on nothing but this script: same script, same bytes."""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 534, 59
SAMPLES = 4  # supersampling per axis, for soft anti-aliased outlines

# Each cloud is a flat-bottomed heap of round puffs: (centre x, centre y,
# radius) in pixels, and the y where its base is cut off.
CLOUDS = [
    # left end: a large cloud at the top edge, a small one below it
    {"base": 30, "puffs": [(-6, 24, 15), (14, 16, 17), (38, 18, 14), (58, 24, 10), (74, 27, 6)]},
    {"base": 55, "puffs": [(22, 49, 7), (34, 44, 9), (48, 47, 8), (60, 51, 5)]},
    {"base": 40, "puffs": [(104, 35, 5), (113, 32, 7), (123, 35, 5)]},
    # right end
    {"base": 33, "puffs": [(412, 27, 6), (426, 20, 11), (446, 15, 14), (468, 19, 12), (486, 25, 8)]},
    {"base": 56, "puffs": [(448, 50, 6), (462, 44, 10), (482, 41, 13), (504, 44, 12), (522, 48, 9), (536, 51, 7)]},
    {"base": 24, "puffs": [(512, 14, 8), (526, 9, 11), (540, 13, 8)]},
]

WHITE = (255, 255, 255)
TOP = (246, 250, 255)     # sunlit top of a cloud
BOTTOM = (205, 222, 246)  # shaded underside
EDGE = (188, 208, 240)    # thin rim that gives the outline


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def cloud_colour(cloud, x, y):
    """Colour of a cloud at a point inside it and how far inside it is
    (0 at the outline), or None outside."""
    if y > cloud["base"]:
        return None
    inside = [r - math.hypot(x - cx, y - cy) for cx, cy, r in cloud["puffs"]]
    best = max(inside)
    if best <= 0:
        return None
    rim = min(best, cloud["base"] - y)
    top = min(cy - r for cx, cy, r in cloud["puffs"])
    shade = min(1.0, max(0.0, (y - top) / max(1.0, cloud["base"] - top)))
    colour = mix(TOP, BOTTOM, shade ** 1.4)
    if rim < 1.2:
        colour = mix(EDGE, colour, rim / 1.2)
    return colour


def pixel(px, py):
    total = [0.0, 0.0, 0.0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            colour = WHITE
            for cloud in CLOUDS:
                c = cloud_colour(cloud, x, y)
                if c is not None:
                    colour = c
            for i in range(3):
                total[i] += colour[i]
    n = SAMPLES * SAMPLES
    return tuple(int(round(v / n)) for v in total)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "Banner.bmp")
    row_size = (WIDTH * 3 + 3) // 4 * 4
    rows = []
    for py in range(HEIGHT - 1, -1, -1):  # bottom-up
        row = bytearray()
        for px in range(WIDTH):
            r, g, b = pixel(px, py)
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)


if __name__ == "__main__":
    main()
