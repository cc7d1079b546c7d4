#!/usr/bin/env python3
"""Draws the palette logo's thirty animation frames and the tag tree's button pictures.

The logo is a small blue globe with green land and a white grid of meridians and parallels; frame Wk
shows it turned by k/30 of a full turn, so the frames played W29, W28, ..., W1, W30 spin
it once every 1.5 seconds. The tree bar gets an insert arrow and a plus and a minus box.
Run from the repository root; writes src/app/logo/W1.png .. W30.png, insert.png,
expand.png and collapse.png.
"""
import math
import os
import struct
import zlib

OUT = os.path.join("src", "app", "logo")
FRAMES = 30
SIZE = 40
SAMPLES = 4  # per axis, for smooth edges


def write_png(path, pixels):
    height, width = len(pixels), len(pixels[0])
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in row) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


# Land masses as (longitude, latitude, radius) in radians, so the turning shows.
LAND = [(0.0, 0.5, 0.55), (0.5, -0.2, 0.45), (2.3, 0.3, 0.7), (2.0, -0.6, 0.35), (4.2, 0.1, 0.5)]


def on_land(longitude, latitude):
    for lon, lat, radius in LAND:
        cos_d = (math.sin(lat) * math.sin(latitude)
                 + math.cos(lat) * math.cos(latitude) * math.cos(longitude - lon))
        if math.acos(max(-1.0, min(1.0, cos_d))) < radius:
            return True
    return False


def globe_sample(x, y, turn):
    """Colour (r, g, b, a) of one sample point; (x, y) from the centre, radius 1."""
    d2 = x * x + y * y
    if d2 > 1.0:
        return None
    z = math.sqrt(1.0 - d2)
    longitude = math.atan2(x, z) + turn
    latitude = math.asin(max(-1.0, min(1.0, -y)))
    light = 0.35 + 0.65 * max(0.0, 0.45 * -x + 0.55 * -y + 0.7 * z)
    step = math.pi / 6
    on_meridian = abs(((longitude + step / 2) % step) - step / 2) < 0.09 / max(z, 0.25)
    on_parallel = abs(((latitude + step / 2) % step) - step / 2) < 0.08
    if d2 > 0.88:
        base = (20, 40, 110)
    elif on_land(longitude, latitude):
        base = (60, 170, 70)
    elif on_meridian or on_parallel:
        base = (235, 240, 255)
    else:
        base = (40, 110, 210)
    return tuple(int(min(255, c * light + 30 * (1 - light))) for c in base) + (255,)


def draw_frame(k):
    turn = 2 * math.pi * k / FRAMES
    pixels = []
    for py in range(SIZE):
        row = []
        for px in range(SIZE):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = ((px + (sx + 0.5) / SAMPLES) - SIZE / 2) / (SIZE / 2 - 1.5)
                    y = ((py + (sy + 0.5) / SAMPLES) - SIZE / 2) / (SIZE / 2 - 1.5)
                    c = globe_sample(x, y, turn)
                    if c:
                        for i in range(3):
                            acc[i] += c[i]
                        acc[3] += 1
            n = acc[3]
            if n == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((acc[0] // n, acc[1] // n, acc[2] // n, 255 * n // (SAMPLES * SAMPLES)))
        pixels.append(row)
    return pixels


def draw_box(sign):
    """A 16 x 16 box with a plus or a minus, as on tree branches."""
    size = 16
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    for i in range(2, 14):
        for j in range(2, 14):
            edge = i in (2, 13) or j in (2, 13)
            pixels[i][j] = (90, 90, 90, 255) if edge else (255, 255, 255, 255)
    for j in range(5, 11):
        pixels[7][j] = pixels[8][j] = (20, 60, 160, 255)
        if sign == "+":
            pixels[j][7] = pixels[j][8] = (20, 60, 160, 255)
    return pixels


def draw_insert():
    """A 16 x 16 arrow pointing right into a bracket, for "insert"."""
    size = 16
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    green = (30, 140, 50, 255)
    for j in range(1, 8):
        pixels[7][j] = pixels[8][j] = green
    for d in range(0, 5):  # the head narrows by one row on each side per column
        for i in range(3 + d, 13 - d):
            pixels[i][7 + d] = green
    for i in range(2, 14):
        pixels[i][14] = (60, 60, 60, 255)
    pixels[2][13] = pixels[13][13] = (60, 60, 60, 255)
    return pixels


def main():
    os.makedirs(OUT, exist_ok=True)
    for k in range(1, FRAMES + 1):
        write_png(os.path.join(OUT, "W%d.png" % k), draw_frame(k))
    write_png(os.path.join(OUT, "expand.png"), draw_box("+"))
    write_png(os.path.join(OUT, "collapse.png"), draw_box("-"))
    write_png(os.path.join(OUT, "insert.png"), draw_insert())


if __name__ == "__main__":
    main()
