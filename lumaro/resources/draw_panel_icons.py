#!/usr/bin/env python3
"""Draws the panel's two icons: a page with a missing-glyph box and a
magnifying glass. PanelIcon.png is the normal rendering, PanelIconAlt.png the
slightly lighter alternate one; both share one alpha channel, so they have the
same outline. 24 x 24, 8-bit RGBA, non-interlaced, written with the standard
library only.

Usage: draw_panel_icons.py [OUTPUT_DIR]   (default: this script's folder)
"""
import math
import os
import struct
import sys
import zlib

SIZE = 24
SUBSAMPLES = 4  # per axis, for anti-aliased edges


def inside_page(x, y):
    # A page with its top-right corner folded over.
    if not (4.0 <= x <= 17.0 and 2.0 <= y <= 21.0):
        return False
    return (x - 13.0) + (2.0 - y) <= 0.0  # cut corner


def inside_page_edge(x, y):
    inner = 5.0 <= x <= 16.0 and 3.0 <= y <= 20.0 and (x - 12.6) + (3.0 - y) <= 0.0
    return inside_page(x, y) and not inner


def inside_glass(x, y):
    cx, cy = 15.5, 14.5
    d = math.hypot(x - cx, y - cy)
    if 3.2 <= d <= 5.0:
        return True
    # Handle towards the bottom right.
    t = ((x - cx) + (y - cy)) / math.sqrt(2.0)
    n = abs((x - cx) - (y - cy)) / math.sqrt(2.0)
    return 4.6 <= t <= 9.2 and n <= 1.3


def inside_box(x, y):
    # The hollow box fonts draw for a glyph they lack.
    outer = 6.5 <= x <= 11.5 and 5.0 <= y <= 12.0
    inner = 7.7 <= x <= 10.3 and 6.2 <= y <= 10.8
    return outer and not inner


def coverage(px, py, shape):
    hits = 0
    for sy in range(SUBSAMPLES):
        for sx in range(SUBSAMPLES):
            x = px + (sx + 0.5) / SUBSAMPLES
            y = py + (sy + 0.5) / SUBSAMPLES
            if shape(x, y):
                hits += 1
    return hits / (SUBSAMPLES * SUBSAMPLES)


def render(lighten):
    """Rows of RGBA bytes; `lighten` moves every colour towards white."""
    def tone(rgb):
        return tuple(round(c + (255 - c) * lighten) for c in rgb)

    page, edge = tone((236, 236, 232)), tone((110, 110, 118))
    ink, glass = tone((70, 70, 78)), tone((40, 96, 160))
    rows = []
    for py in range(SIZE):
        row = bytearray()
        for px in range(SIZE):
            a_page = coverage(px, py, inside_page)
            a_edge = coverage(px, py, inside_page_edge)
            a_box = coverage(px, py, inside_box)
            a_glass = coverage(px, py, inside_glass)
            # Paint page and its edge, then the box on it, then the glass over both.
            colour, alpha = (0.0, 0.0, 0.0), 0.0
            for rgb, a in ((page, a_page), (edge, a_edge), (ink, a_box), (glass, a_glass)):
                out = a + alpha * (1.0 - a)
                if out > 0.0:
                    colour = tuple((c * a + p * alpha * (1.0 - a)) / out for c, p in zip(rgb, colour))
                alpha = out
            row += bytes(round(c) for c in colour) + bytes([round(alpha * 255)])
        rows.append(bytes(row))
    return rows


def png(rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)  # 8-bit RGBA, no interlace
    raw = b"".join(b"\x00" + r for r in rows)  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, lighten in (("PanelIcon.png", 0.0), ("PanelIconAlt.png", 0.25)):
        with open(os.path.join(out, name), "wb") as f:
            f.write(png(render(lighten)))


if __name__ == "__main__":
    main()
