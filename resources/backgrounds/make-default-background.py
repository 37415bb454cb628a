#!/usr/bin/env python3
"""Draws the Advanced canvas's default picture: a 640 x 300 green backdrop
with a cloudy texture, lit from the upper centre. The texture is soft on
purpose: a fine grain or weave makes every PNG of the default template take
twice as long to deflate.

Deterministic (integer hashing, no random module), standard library only:
    resources/backgrounds/make-default-background.py resources/backgrounds/default-background.png
"""
import math
import struct
import sys
import zlib

WIDTH, HEIGHT = 640, 300


def lattice(ix, iy, seed):
    """A repeatable value in [0, 1) for one lattice point."""
    h = (ix * 374761393 + iy * 668265263 + seed * 2147483647) & 0xFFFFFFFF
    h = ((h ^ (h >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((h ^ (h >> 16)) & 0xFFFF) / 65536.0


def smooth_noise(x, y, cell, seed):
    """Value noise: lattice values blended with a smoothstep."""
    gx, gy = x / cell, y / cell
    ix, iy = int(math.floor(gx)), int(math.floor(gy))
    fx, fy = gx - ix, gy - iy
    sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
    top = lattice(ix, iy, seed) * (1 - sx) + lattice(ix + 1, iy, seed) * sx
    bottom = lattice(ix, iy + 1, seed) * (1 - sx) + lattice(ix + 1, iy + 1, seed) * sx
    return top * (1 - sy) + bottom * sy


def clouds(x, y):
    total, weight = 0.0, 0.0
    for octave, cell in enumerate((96, 48, 24, 12)):
        amplitude = 0.55 ** octave
        total += smooth_noise(x, y, cell, octave + 1) * amplitude
        weight += amplitude
    return total / weight


def pixel(x, y):
    # Vertical gradient from a fresh to a deep green.
    t = y / (HEIGHT - 1)
    red = 78 + (24 - 78) * t
    green = 160 + (88 - 160) * t
    blue = 84 + (44 - 84) * t
    # Light from the upper centre.
    dx, dy = (x - WIDTH * 0.5) / WIDTH, (y - HEIGHT * 0.2) / HEIGHT
    light = 1.0 + 0.22 * math.exp(-(dx * dx * 3.5 + dy * dy * 4.0))
    factor = light * (0.80 + 0.40 * clouds(x, y))
    return tuple(max(0, min(255, int(round(c * factor)))) for c in (red, green, blue))


def png_bytes():
    rows = bytearray()
    for y in range(HEIGHT):
        rows.append(0)
        for x in range(WIDTH):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", WIDTH, HEIGHT, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(rows), 9))
            + chunk(b"IEND", b""))


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: make-default-background.py OUTPUT.png")
    with open(sys.argv[1], "wb") as output:
        output.write(png_bytes())
