#!/usr/bin/env python3
"""Draws the six sketches on the frame generator's buttons as 64x64 PNG files.

Each sketch is a page split into its frames: menus in pale blue, the main frame white
with a few grey lines of text. Run from the repository root; writes
src/dialogs/frames/layout1.png .. layout6.png.
"""
import struct
import zlib

SIZE = 64
PAGE = (2, 2, 61, 61)  # left, top, right, bottom (inclusive)
EDGE = (64, 64, 64)
MENU = (200, 220, 240)
MAIN = (255, 255, 255)
TEXT = (170, 170, 170)

# Frames per layout: (left, top, right, bottom, kind), edges shared between neighbours.
LAYOUTS = {
    1: [(2, 2, 20, 61, "menu"), (20, 2, 61, 61, "main")],
    2: [(2, 2, 43, 61, "main"), (43, 2, 61, 61, "menu")],
    3: [(2, 2, 61, 15, "menu"), (2, 15, 61, 61, "main")],
    4: [(2, 2, 61, 45, "main"), (2, 45, 61, 61, "menu")],
    5: [(2, 2, 20, 61, "menu"), (20, 2, 61, 20, "menu"), (20, 20, 61, 61, "main")],
    6: [(2, 2, 20, 22, "menu"), (2, 22, 20, 61, "menu"), (20, 2, 61, 61, "main")],
}


def draw(frames):
    pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]

    def fill(l, t, r, b, colour):
        for y in range(t, b + 1):
            for x in range(l, r + 1):
                pixels[y][x] = colour + (255,)

    for l, t, r, b, kind in frames:
        fill(l, t, r, b, MENU if kind == "menu" else MAIN)
        if kind == "main":
            for y in range(t + 6, b - 3, 6):
                fill(l + 5, y, r - 5 - (y * 7) % 11, y + 1, TEXT)
        else:
            for y in range(t + 5, b - 3, 5):
                fill(l + 3, y, min(r - 3, l + 12), y, EDGE)
    for l, t, r, b, _ in frames:
        fill(l, t, r, t, EDGE)
        fill(l, b, r, b, EDGE)
        fill(l, t, l, b, EDGE)
        fill(r, t, r, b, EDGE)
    return pixels


def png(pixels):
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


for number, frames in LAYOUTS.items():
    with open(f"src/dialogs/frames/layout{number}.png", "wb") as out:
        out.write(png(draw(frames)))
