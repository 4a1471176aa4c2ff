#!/usr/bin/env python3
"""Draws the program icon (a page with a quill) and writes res/quillet.ico.

Standard library only. Each size is rendered from the same vector shapes with
supersampling, so the small sizes stay legible, and stored as a 32-bit BGRA
DIB with alpha (plus the AND mask older loaders still read).

    python3 res/make_icon.py            # writes quillet.ico beside this script
    python3 res/make_icon.py out.ico --png-dir /tmp/icons
"""
import argparse
import math
import os
import struct
import zlib

# Every size the shell asks for at 100 % to 250 % scaling; 256 is kept as
# PNG, as the format allows for the large image.
SIZES = (16, 20, 24, 32, 40, 48, 256)
SUBSAMPLES = 6  # per axis
LARGE_SUBSAMPLES = 3  # the 256-pixel image has pixels enough without more

# Colours, (r, g, b).
PAGE_FILL = (255, 255, 255)
PAGE_EDGE = (88, 96, 112)
FOLD_FILL = (214, 220, 230)
TEXT_LINE = (150, 165, 190)
VANE_FILL = (46, 98, 176)
VANE_EDGE = (24, 52, 104)
SHAFT = (230, 238, 250)
NIB = (40, 40, 48)

# Shapes in unit coordinates: x to the right, y downwards, 0..1.
PAGE_LEFT, PAGE_TOP, PAGE_RIGHT, PAGE_BOTTOM = 0.06, 0.06, 0.68, 0.94
FOLD = 0.18
PAGE = [
    (PAGE_LEFT, PAGE_TOP),
    (PAGE_RIGHT - FOLD, PAGE_TOP),
    (PAGE_RIGHT, PAGE_TOP + FOLD),
    (PAGE_RIGHT, PAGE_BOTTOM),
    (PAGE_LEFT, PAGE_BOTTOM),
]
FOLD_TRIANGLE = [
    (PAGE_RIGHT - FOLD, PAGE_TOP),
    (PAGE_RIGHT - FOLD, PAGE_TOP + FOLD),
    (PAGE_RIGHT, PAGE_TOP + FOLD),
]
# Written lines on the page: (y, x from, x to).
TEXT_LINES = [(0.34, 0.16, 0.50), (0.48, 0.16, 0.56), (0.62, 0.16, 0.44), (0.76, 0.16, 0.30)]

# The quill runs from its nib (on the page) up to its tip beyond the page.
NIB_POINT = (0.34, 0.86)
TIP_POINT = (0.95, 0.05)
VANE_START = 0.30  # fraction of the length where the feather begins
VANE_WIDTH = 0.14  # largest half-width of the feather


def inside_polygon(x, y, poly):
    inside = False
    j = len(poly) - 1
    for i in range(len(poly)):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def segment_distance(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def polygon_edge_distance(x, y, poly):
    return min(segment_distance(x, y, poly[i], poly[(i + 1) % len(poly)]) for i in range(len(poly)))


def quill_frame(x, y):
    """Position along the quill (0 at the nib, 1 at the tip) and signed distance across it."""
    ax, ay = NIB_POINT
    bx, by = TIP_POINT
    length = math.hypot(bx - ax, by - ay)
    ux, uy = (bx - ax) / length, (by - ay) / length
    along = ((x - ax) * ux + (y - ay) * uy) / length
    across = (x - ax) * -uy + (y - ay) * ux
    return along, across


def vane_half_width(along, side):
    if along < VANE_START or along > 1.0:
        return -1.0
    s = (along - VANE_START) / (1.0 - VANE_START)
    # Fuller on one side and pointed at both ends, like a real feather.
    shape = math.sin(math.pi * s ** 0.8) ** 0.7
    return VANE_WIDTH * shape * (1.0 if side > 0 else 0.75)


def colour_at(x, y, px):
    """Colour (r, g, b, a) of the picture at one sample point; px is one pixel in unit size."""
    edge = max(px, 0.022)
    colour = None

    if inside_polygon(x, y, PAGE):
        colour = PAGE_FILL
        for ly, lx0, lx1 in TEXT_LINES:
            if lx0 <= x <= lx1 and abs(y - ly) <= max(px * 0.55, 0.028):
                colour = TEXT_LINE
        if inside_polygon(x, y, FOLD_TRIANGLE):
            colour = FOLD_FILL
        if polygon_edge_distance(x, y, PAGE) <= edge or segment_distance(
            x, y, FOLD_TRIANGLE[1], FOLD_TRIANGLE[0]
        ) <= edge * 0.6 or segment_distance(x, y, FOLD_TRIANGLE[1], FOLD_TRIANGLE[2]) <= edge * 0.6:
            colour = PAGE_EDGE

    along, across = quill_frame(x, y)
    width = vane_half_width(along, across)
    if width > 0 and abs(across) <= width:
        colour = VANE_FILL if width - abs(across) > edge * 0.9 else VANE_EDGE
        # Barbs: faint diagonal notches on the vane at the larger sizes.
        if px < 0.04 and width - abs(across) > edge * 0.9:
            if math.fmod(along * 9.0 + abs(across) * 14.0, 1.0) < 0.12:
                colour = VANE_EDGE
    if 0.10 <= along <= 0.97 and abs(across) <= max(px * 0.5, 0.012):
        # Light inside the feather, dark where the bare quill crosses the page.
        colour = SHAFT if along > VANE_START + 0.04 else VANE_EDGE
    if 0.0 <= along < 0.14:
        nib_half = 0.045 * (along / 0.14)
        if abs(across) <= max(nib_half, px * 0.5 if along > 0.02 else 0.0):
            colour = NIB

    if colour is None:
        return (0, 0, 0, 0)
    return colour + (255,)


def render(size):
    """Rows of (r, g, b, a) tuples, top row first, straight (non-premultiplied) alpha."""
    px = 1.0 / size
    n = SUBSAMPLES if size < 256 else LARGE_SUBSAMPLES
    rows = []
    for row in range(size):
        line = []
        for col in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    x = (col + (sx + 0.5) / n) * px
                    y = (row + (sy + 0.5) / n) * px
                    cr, cg, cb, ca = colour_at(x, y, px)
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            if a == 0:
                line.append((0, 0, 0, 0))
            else:
                line.append((round(r / a), round(g / a), round(b / a), round(a / (n * n))))
        rows.append(line)
    return rows


def dib_entry(rows):
    """One icon image: BITMAPINFOHEADER (double height), bottom-up BGRA, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for line in reversed(rows):
        for r, g, b, a in line:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for line in reversed(rows):
        bits = bytearray(mask_stride)
        for col, (_, _, _, a) in enumerate(line):
            if a == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(images):
    """images: list of (size, entry bytes)."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def png_bytes(rows):
    """A plain RGBA PNG: the 256-pixel image of the icon, and for looking at the result."""
    size = len(rows)
    raw = bytearray()
    for line in rows:
        raw.append(0)
        for pixel in line:
            raw += bytes(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
        + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
        + chunk(b"IEND", b"")
    )


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", nargs="?", default=os.path.join(here, "quillet.ico"))
    parser.add_argument("--png-dir", help="also write icon-<size>.png files here")
    args = parser.parse_args()

    images = []
    for size in SIZES:
        rows = render(size)
        images.append((size, dib_entry(rows) if size < 256 else png_bytes(rows)))
        if args.png_dir:
            os.makedirs(args.png_dir, exist_ok=True)
            with open(os.path.join(args.png_dir, "icon-%d.png" % size), "wb") as f:
                f.write(png_bytes(rows))
    with open(args.output, "wb") as f:
        f.write(ico_bytes(images))


if __name__ == "__main__":
    main()
