#!/usr/bin/env python3
"""Draws telo.ico, a generic window picture, in the three images that
the program's icon holds: 32x32 in 2 colours, 32x32 and 16x16 in 16 colours.

Usage: app/win32/make_icon.py [OUTPUT]   (default: telo.ico beside it)
The output is committed; run this again only to change the picture.
"""
import os
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
MONO = [(0, 0, 0), (255, 255, 255)]
BLACK, NAVY, SILVER, GRAY, WHITE = 0, 4, 7, 8, 15
CLEAR = None  # transparent


def draw_window(size):
    """A window with a shadow: frame, title bar with a close box, and a
    client area holding three lines of text and a button."""
    px = [[CLEAR] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                px[y][x] = colour

    if size == 32:
        left, top, right, bottom, title = 1, 3, 29, 27, 5
        lines = [(4, 12, 20), (4, 15, 24), (4, 18, 16)]
        button = (18, 22, 26, 25)
        close = (24, 5, 27, 7)
    else:
        left, top, right, bottom, title = 0, 1, 14, 13, 3
        lines = [(2, 6, 9), (2, 8, 11)]
        button = (8, 10, 12, 11)
        close = (11, 2, 12, 3)

    fill(left + 1, top + 1, right + 1, bottom + 1, GRAY)  # shadow
    fill(left, top, right, bottom, BLACK)  # frame
    fill(left + 1, top + 1, right - 1, top + title - 1, NAVY)  # title bar
    fill(*close, SILVER)
    fill(left + 1, top + title + 1, right - 1, bottom - 1, WHITE)  # client area
    for x0, y, x1 in lines:
        fill(x0, y, x1, y, GRAY)
    bx0, by0, bx1, by1 = button
    fill(bx0, by0, bx1, by1, GRAY)
    fill(bx0, by0, bx1 - 1, by1 - 1, SILVER)
    return px


def to_mono(px):
    """Two colours: white and silver become white, everything else black."""
    return [[c if c is None else (1 if c in (WHITE, SILVER) else 0) for c in row] for row in px]


def pack_rows(rows, bits):
    """Bottom-up rows of `bits`-bit values, each row padded to 4 bytes."""
    out = b""
    for row in reversed(rows):
        acc, nbits, data = 0, 0, bytearray()
        for value in row:
            acc = (acc << bits) | value
            nbits += bits
            if nbits == 8:
                data.append(acc)
                acc, nbits = 0, 0
        if nbits:
            data.append(acc << (8 - nbits))
        data.extend(b"\0" * (-len(data) % 4))
        out += bytes(data)
    return out


def image(px, palette, bits):
    size = len(px)
    xor = pack_rows([[0 if c is None else c for c in row] for row in px], bits)
    mask = pack_rows([[1 if c is None else 0 for c in row] for row in px], 1)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + mask


def icon_file(images):
    """images: (size, colour count, bits, bitmap bytes)."""
    head = struct.pack("<HHH", 0, 1, len(images))
    offset = len(head) + 16 * len(images)
    entries, bodies = b"", b""
    for size, colours, bits, body in images:
        entries += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(body), offset)
        offset += len(body)
        bodies += body
    return head + entries + bodies


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "telo.ico")
    big, small = draw_window(32), draw_window(16)
    images = [
        (32, 2, 1, image(to_mono(big), MONO, 1)),
        (32, 16, 4, image(big, VGA, 4)),
        (16, 16, 4, image(small, VGA, 4)),
    ]
    with open(output, "wb") as f:
        f.write(icon_file(images))


if __name__ == "__main__":
    main()
