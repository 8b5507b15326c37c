#!/usr/bin/env python3
"""Writes velmaris.ico: one 32 x 32 image with 256 colours, a clock face.

The output depends on nothing but this file, so running it again gives the
same bytes. Usage: make_icon.py [OUTPUT] (default: velmaris.ico beside it).
"""
import math
import os
import struct
import sys

SIZE = 32

# The first 16 entries are the standard Windows colours, then a 6 x 6 x 6
# colour cube and a grey ramp, so the palette is a full 256 entries.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def build_palette():
    pal = list(VGA16)
    steps = (0, 51, 102, 153, 204, 255)
    for r in steps:
        for g in steps:
            for b in steps:
                pal.append((r, g, b))
    for i in range(24):
        v = 8 + i * 10
        pal.append((v, v, v))
    assert len(pal) == 256
    return pal


def cube(r, g, b):
    """Palette index of a colour-cube entry, each channel in 0..5."""
    return 16 + r * 36 + g * 6 + b


BLACK = 0
RED = 9
WHITE = 15
RIM_DARK = cube(0, 1, 3)     # deep blue, outer edge of the case
RIM = cube(0, 2, 4)          # blue case
RIM_LIGHT = cube(2, 3, 5)    # highlight on the upper left of the case
FACE = cube(5, 5, 4)         # warm cream dial
FACE_SHADE = cube(4, 4, 3)   # dial shadow just inside the case
TICK = cube(1, 1, 1)
HAND = cube(0, 0, 1)

CX = CY = 16.0


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    qx, qy = ax + t * dx, ay + t * dy
    return math.hypot(px - qx, py - qy)


def polar(angle_deg, r):
    """Point at clock angle (0 = twelve o'clock, clockwise) and radius r."""
    a = math.radians(angle_deg)
    return CX + r * math.sin(a), CY - r * math.cos(a)


def on_segment(px, py, angle, r0, r1, half_width):
    ax, ay = polar(angle, r0)
    bx, by = polar(angle, r1)
    return seg_dist(px, py, ax, ay, bx, by) <= half_width


def render():
    """Rows top to bottom; None marks a transparent pixel."""
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            d = math.hypot(px - CX, py - CY)
            if d > 15.6:
                row.append(None)
                continue
            if d > 14.6:
                c = RIM_DARK
            elif d > 12.8:
                # light from the upper left
                c = RIM_LIGHT if (px - CX) + (py - CY) < -6 else RIM
            elif d > 12.0:
                c = FACE_SHADE
            else:
                c = FACE
            if d <= 12.0:
                for h in range(12):
                    quarter = h % 3 == 0
                    r0 = 8.6 if quarter else 9.8
                    hw = 0.9 if quarter else 0.55
                    if on_segment(px, py, h * 30, r0, 11.4, hw):
                        c = TICK
                # ten past ten: hour hand, minute hand, then the red seconds
                if on_segment(px, py, 305, -1.0, 6.6, 1.15):
                    c = HAND
                if on_segment(px, py, 60, -1.0, 10.2, 0.8):
                    c = HAND
                if on_segment(px, py, 225, -2.5, 10.6, 0.5):
                    c = RED
                if d <= 1.3:
                    c = RED
            row.append(c)
        rows.append(row)
    return rows


def encode(rows, pal):
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):          # DIB rows run bottom-up
        xor.extend(0 if c is None else c for c in row)
        bits = 0
        for c in row:
            bits = (bits << 1) | (1 if c is None else 0)
        mask.extend(struct.pack(">I", bits))   # 32 pixels, MSB leftmost
    header = struct.pack("<IiiHHIIiiII",
                         40, SIZE, SIZE * 2, 1, 8, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in pal)
    image = header + palette + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8,
                        len(image), 6 + 16)
    return icondir + entry + image


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "velmaris.ico")
    data = encode(render(), build_palette())
    with open(out, "wb") as f:
        f.write(data)
    print("%s: %d bytes" % (out, len(data)))


if __name__ == "__main__":
    main()
