#!/usr/bin/env python3
"""Draws the program icon (a dark-blue rounded square with a white play
triangle) and writes it as a Windows .ico with 16, 32 and 48 pixel images."""
import struct
import sys

BLUE = (14, 66, 121)
LIGHT = (38, 112, 196)
SUB = 4  # sub-samples per axis


def inside_rounded(x, y, s, r):
    cx = min(max(x, r), s - r)
    cy = min(max(y, r), s - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def inside_triangle(x, y, s):
    ax, ay = 0.36 * s, 0.25 * s
    bx, by = 0.36 * s, 0.75 * s
    tx, ty = 0.76 * s, 0.5 * s
    def side(px, py, qx, qy):
        return (qx - px) * (y - py) - (qy - py) * (x - px)
    d1, d2, d3 = side(ax, ay, bx, by), side(bx, by, tx, ty), side(tx, ty, ax, ay)
    return (d1 <= 0 and d2 <= 0 and d3 <= 0) or (d1 >= 0 and d2 >= 0 and d3 >= 0)


def image(s):
    rows = []
    for py in range(s):
        row = []
        for px in range(s):
            body = tri = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    x, y = px + (sx + 0.5) / SUB, py + (sy + 0.5) / SUB
                    if inside_rounded(x, y, s, 0.22 * s):
                        body += 1
                        if inside_triangle(x, y, s):
                            tri += 1
            n = SUB * SUB
            t = py / max(s - 1, 1)
            base = tuple(round(LIGHT[i] + (BLUE[i] - LIGHT[i]) * t) for i in range(3))
            if body:
                w = tri / body
                rgb = tuple(round(base[i] + (255 - base[i]) * w) for i in range(3))
            else:
                rgb = (0, 0, 0)
            row.append((rgb, round(255 * body / n)))
        rows.append(row)
    return rows


def bmp_entry(s):
    rows = image(s)
    header = struct.pack('<IiiHHIIiiII', 40, s, 2 * s, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b''.join(bytes((rgb[2], rgb[1], rgb[0], a)) for row in reversed(rows) for rgb, a in row)
    mask_row = ((s + 31) // 32) * 4
    return header + pixels + b'\0' * (mask_row * s)


def main(out):
    sizes = [16, 32, 48]
    entries = [bmp_entry(s) for s in sizes]
    data = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, e in zip(sizes, entries):
        data += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(e), offset)
        offset += len(e)
    with open(out, 'wb') as f:
        f.write(data + b''.join(entries))


if __name__ == '__main__':
    main(sys.argv[1])
