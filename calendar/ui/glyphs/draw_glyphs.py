#!/usr/bin/env python3
"""Draws the perpetual calendar's glyphs (previous month, next month, now, window icon) as PNG
files beside this script. Plain Python: shapes are sampled 8 x 8 times per pixel and written
with zlib. Run it again after changing a drawing; the PNGs are committed."""
import os
import struct
import zlib

SAMPLES = 8


def inside_polygon(x, y, pts):
    hit = False
    j = len(pts) - 1
    for i in range(len(pts)):
        xi, yi = pts[i]
        xj, yj = pts[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            hit = not hit
        j = i
    return hit


def near_segment(x, y, a, b, half):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx - x, ay + t * dy - y
    return px * px + py * py <= half * half


def shape_test(shape):
    kind = shape[0]
    if kind == "poly":
        pts = shape[1]
        return lambda x, y: inside_polygon(x, y, pts)
    if kind == "disk":
        cx, cy, r = shape[1]
        return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "ring":
        cx, cy, r, w = shape[1]
        return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    if kind == "rect":
        x0, y0, x1, y1 = shape[1]
        return lambda x, y: x0 <= x < x1 and y0 <= y < y1
    if kind == "round":
        x0, y0, x1, y1, r = shape[1]

        def test(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        return test
    if kind == "line":
        a, b, w = shape[1]
        return lambda x, y: near_segment(x, y, a, b, w / 2)
    raise ValueError(kind)


def render(size, shapes):
    """shapes: list of (kind, geometry, (r, g, b, a)) painted in order over transparency."""
    tests = [(shape_test(s), s[2]) for s in shapes]
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]  # premultiplied
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = px + (sx + 0.5) / SAMPLES
                    y = py + (sy + 0.5) / SAMPLES
                    c = [0.0, 0.0, 0.0, 0.0]
                    for test, (r, g, b, a) in tests:
                        if test(x, y):
                            al = a / 255.0
                            c = [r * al + c[0] * (1 - al), g * al + c[1] * (1 - al),
                                 b * al + c[2] * (1 - al), al + c[3] * (1 - al)]
                    for k in range(4):
                        acc[k] += c[k]
            n = SAMPLES * SAMPLES
            a = acc[3] / n
            if a <= 0:
                row += bytes(4)
            else:
                row += bytes([round(acc[0] / n / a), round(acc[1] / n / a), round(acc[2] / n / a),
                              round(a * 255)])
        rows.append(bytes(row))
    return rows


def write_png(path, size, rows):
    raw = b"".join(b"\x00" + r for r in rows)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


NAVY = (30, 60, 150, 255)
SKY = (90, 140, 230, 255)
WHITE = (255, 255, 255, 255)
RED = (205, 35, 35, 255)
GREEN = (0, 128, 0, 255)
INK = (50, 50, 60, 255)
GREY = (150, 150, 160, 255)


def arrow(pointing_left):
    # A broad arrow: a triangular head and a short shaft, dark outline over a lighter fill.
    head = [(3, 10), (11, 3), (11, 7.5), (17, 7.5), (17, 12.5), (11, 12.5), (11, 17)]
    inner = [(5.2, 10), (10, 5.6), (10, 8.6), (16, 8.6), (16, 11.4), (10, 11.4), (10, 14.4)]
    if not pointing_left:
        head = [(20 - x, y) for x, y in head]
        inner = [(20 - x, y) for x, y in inner]
    return [("poly", head, NAVY), ("poly", inner, SKY)]


def clock():
    return [("disk", (8, 8, 7.5), INK), ("disk", (8, 8, 6.3), WHITE),
            ("rect", (7.6, 2.2, 8.4, 3.4), GREY), ("rect", (7.6, 12.6, 8.4, 13.8), GREY),
            ("rect", (2.2, 7.6, 3.4, 8.4), GREY), ("rect", (12.6, 7.6, 13.8, 8.4), GREY),
            ("line", ((8, 8), (8, 3.8), 1.4), INK), ("line", ((8, 8), (11.2, 9.8), 1.4), RED),
            ("disk", (8, 8, 1.1), INK)]


def calendar_page():
    shapes = [("round", (2, 4, 30, 30, 3), INK), ("round", (3, 5, 29, 29, 2.2), WHITE),
              ("rect", (3, 5.5, 29, 11), RED),
              ("round", (8, 2, 11, 8, 1.5), INK), ("round", (21, 2, 24, 8, 1.5), INK)]
    for row in range(4):
        for col in range(5):
            x = 5 + col * 4.6
            y = 13 + row * 4
            colour = RED if col >= 3 else GREY
            shapes.append(("rect", (x, y, x + 3, y + 2.4), colour))
    # The selected day's green frame.
    x, y = 5 + 1 * 4.6 - 1.2, 13 + 2 * 4 - 1.2
    shapes += [("rect", (x, y, x + 5.4, y + 1), GREEN), ("rect", (x, y + 3.8, x + 5.4, y + 4.8), GREEN),
               ("rect", (x, y, x + 1, y + 4.8), GREEN), ("rect", (x + 4.4, y, x + 5.4, y + 4.8), GREEN)]
    return shapes


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, size, shapes in (("prev", 20, arrow(True)), ("next", 20, arrow(False)),
                               ("now", 16, clock()), ("wnl", 32, calendar_page())):
        write_png(os.path.join(here, name + ".png"), size, render(size, shapes))


if __name__ == "__main__":
    main()
