#!/usr/bin/env python3
"""make-icons.py - draws Tamsel's icons and writes them as .ico files into resources/.

The picture: a sheet of an edit list with grey text lines, one of them repaired (a green line
with a tick beside it). It is laid out on a 16 x 16 grid so that every edge falls on a pixel at
16, 32 and 48 pixels, and stays legible at 16 x 16.

    python3 tools/make-icons.py              # writes resources/*.ico
    python3 tools/make-icons.py --preview D  # also writes D/<name>-<size>.png to look at

Standard library only. The generated files are committed, so the build needs no Python.
"""
import argparse
import os
import struct
import zlib

OUTLINE = (56, 64, 76, 255)
PAPER = (255, 255, 255, 255)
FOLD = (208, 214, 222, 255)
TEXT = (150, 160, 172, 255)
REPAIRED = (22, 150, 60, 255)
TICK = (22, 150, 60, 255)
TICK_EDGE = (255, 255, 255, 255)

# Shapes in 16-grid units: (kind, colour, data). Painted in order; later ones cover earlier.
SHAPES = [
    # The sheet with its top-right corner folded down.
    ("polygon", OUTLINE, [(2, 0), (10, 0), (14, 4), (14, 16), (2, 16)]),
    ("polygon", PAPER, [(3, 1), (9.6, 1), (13, 4.4), (13, 15), (3, 15)]),
    ("polygon", OUTLINE, [(9, 0), (10, 0), (10, 4), (14, 4), (14, 5), (9, 5)]),
    ("polygon", FOLD, [(10, 1), (13, 4), (10, 4)]),
    # Text lines of the list; the middle one is the repaired line.
    ("rect", TEXT, (4, 3, 8, 4)),
    ("rect", TEXT, (4, 6, 12, 7)),
    ("rect", REPAIRED, (4, 8, 12, 10)),
    ("rect", TEXT, (4, 11, 11, 12)),
    ("rect", TEXT, (4, 13, 9, 14)),
    # The tick of the repair, outlined in white so it reads over the sheet's edge.
    ("stroke", TICK_EDGE, ([(9.2, 12.6), (11.0, 14.4), (15.0, 10.2)], 2.6)),
    ("stroke", TICK, ([(9.2, 12.6), (11.0, 14.4), (15.0, 10.2)], 1.3)),
]

ICONS = [
    # (file name, sizes): 108 the application icon, 143 the small one, 158 the 48 x 48 picture.
    ("tamsel.ico", [16, 32, 48]),
    ("tamsel-small.ico", [16]),
    ("tamsel-48.ico", [48]),
]

SUBSAMPLES = 4


def inside_polygon(x, y, points):
    crossings = False
    count = len(points)
    for k in range(count):
        x1, y1 = points[k]
        x2, y2 = points[(k + 1) % count]
        if (y1 > y) != (y2 > y):
            at = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
            if x < at:
                crossings = not crossings
    return crossings


def distance_to_segment(x, y, a, b):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length))
    px, py = ax + t * dx, ay + t * dy
    return ((x - px) ** 2 + (y - py) ** 2) ** 0.5


def covers(kind, data, x, y):
    if kind == "rect":
        left, top, right, bottom = data
        return left <= x < right and top <= y < bottom
    if kind == "polygon":
        return inside_polygon(x, y, data)
    points, width = data
    return any(distance_to_segment(x, y, points[k], points[k + 1]) <= width / 2
               for k in range(len(points) - 1))


def blend(under, over, share):
    """`over` painted on `under` with coverage `share` (0..1), straight alpha."""
    alpha = over[3] / 255 * share
    under_alpha = under[3] / 255
    out_alpha = alpha + under_alpha * (1 - alpha)
    if out_alpha == 0:
        return (0, 0, 0, 0)
    channels = [
        (over[c] * alpha + under[c] * under_alpha * (1 - alpha)) / out_alpha for c in range(3)
    ]
    return tuple(int(round(v)) for v in channels) + (int(round(out_alpha * 255)),)


def draw(size):
    """Rows of RGBA pixels, top row first."""
    scale = size / 16
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            pixel = (0, 0, 0, 0)
            for kind, colour, data in SHAPES:
                hits = 0
                for sy in range(SUBSAMPLES):
                    for sx in range(SUBSAMPLES):
                        x = (px + (sx + 0.5) / SUBSAMPLES) / scale
                        y = (py + (sy + 0.5) / SUBSAMPLES) / scale
                        hits += covers(kind, data, x, y)
                if hits:
                    pixel = blend(pixel, colour, hits / SUBSAMPLES ** 2)
            row.append(pixel)
        rows.append(row)
    return rows


def icon_image(rows):
    """One icon image: BITMAPINFOHEADER, 32-bit BGRA rows bottom-up, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            colour += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(colour) + bytes(mask)


def ico_file(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    data = b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image),
                               offset + len(data))
        data += image
    return directory + entries + data


def png_file(rows):
    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    size = len(rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0,
                                                              0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write PNG previews into DIR")
    arguments = parser.parse_args()
    resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    drawn = {}
    for name, sizes in ICONS:
        images = []
        for size in sizes:
            if size not in drawn:
                drawn[size] = draw(size)
            images.append((size, icon_image(drawn[size])))
            if arguments.preview:
                os.makedirs(arguments.preview, exist_ok=True)
                preview = os.path.join(arguments.preview, "%s-%d.png" % (name[:-4], size))
                with open(preview, "wb") as out:
                    out.write(png_file(drawn[size]))
        with open(os.path.join(resources, name), "wb") as out:
            out.write(ico_file(images))
        print("wrote resources/%s (%s)" % (name, ", ".join("%dx%d" % (s, s) for s in sizes)))


if __name__ == "__main__":
    main()
