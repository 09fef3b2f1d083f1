#!/usr/bin/env python3
"""Draws the program's two pointer pictures from the pixel art below and writes them as
Windows cursor/icon files: HAND-M.CUR (the hand shown over the push buttons, hot spot on the
fingertip) and drag.ico (shown while a list row is carried). Run from resources/."""

import struct

HAND = """
.....XX..........
....XooX.........
....XooX.........
....XooX.........
....XooX.........
....XooXXX.......
....XooXooXXX....
....XooXooXooXX..
.XX.XooXooXooXoX.
XooXXooooooooXooX
XoooXoooooooooooX
.XooXoooooooooooX
..XoooooooooooooX
..XooooooooooooX.
...XoooooooooooX.
...XooooooooooX..
....XoooooooooX..
....XooooooooX...
.....XoooooooX...
.....XXXXXXXXX...
"""

DRAG = """
.......X.......
......XbX......
.....XbbbX.....
....XbbbbbX....
...XbbbbbbbX...
..XXXXbbbXXXX..
.....XbbbX.....
.....XbbbX.....
.....XbbbX.....
.....XbbbX.....
..XXXXbbbXXXX..
...XbbbbbbbX...
....XbbbbbX....
.....XbbbX.....
......XbX......
.......X.......
"""

COLOURS = {  # B, G, R, A
    "X": (0x20, 0x20, 0x20, 0xFF),
    "o": (0xFF, 0xFF, 0xFF, 0xFF),
    "b": (0xD8, 0x8A, 0x2E, 0xFF),  # a calm blue
    ".": (0, 0, 0, 0),
}


def picture(art, size, left, top):
    rows = [line for line in art.strip("\n").split("\n")]
    pixels = [[COLOURS["."]] * size for _ in range(size)]
    for y, line in enumerate(rows):
        for x, ch in enumerate(line):
            pixels[top + y][left + x] = COLOURS[ch]
    return pixels


def dib(pixels):
    """A 32-bit bottom-up DIB with its AND mask, as icon and cursor files hold them."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes(p) for row in reversed(pixels) for p in row)
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for x, p in enumerate(row):
            if p[3] == 0:
                bits |= 1 << (size - 1 - x)
        mask += bits.to_bytes(size // 8, "big")
    return header + colour + mask


def write(path, kind, pixels, hot):
    body = dib(pixels)
    size = len(pixels)
    with open(path, "wb") as out:
        out.write(struct.pack("<HHH", 0, kind, 1))
        first, second = hot if kind == 2 else (1, 32)  # cursor: hot spot; icon: planes, bits
        out.write(struct.pack("<BBBBHHII", size, size, 0, 0, first, second, len(body), 22))
        out.write(body)


write("HAND-M.CUR", 2, picture(HAND, 32, 6, 2), (6 + 5, 2 + 0))
write("drag.ico", 1, picture(DRAG, 32, 8, 8), None)
