#!/usr/bin/env python3
"""Draws the application icon (a drive with a sweep mark) and writes it as a multi-size .ico.

Run it again only when the design changes; its output is committed under src/resources/.
"""
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 256)
SUPER = 4  # supersampling per axis for smooth edges


def inside_round_rect(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def shade(u, v):
    """Colour (r, g, b, a) of the point (u, v) in the unit square."""
    if not inside_round_rect(u, v, 0.03, 0.03, 0.97, 0.97, 0.22):
        return (0, 0, 0, 0)
    # Accent background, a little lighter at the top.
    t = v
    r, g, b = int(37 + 30 * (1 - t)), int(99 + 40 * (1 - t)), int(235 + 10 * (1 - t))
    # Drive body.
    if inside_round_rect(u, v, 0.18, 0.42, 0.82, 0.74, 0.07):
        r, g, b = 255, 255, 255
        if (u - 0.70) ** 2 + (v - 0.58) ** 2 <= 0.045 ** 2:
            r, g, b = 34, 197, 94
    # Sweep arc above the drive.
    d = ((u - 0.5) ** 2 + (v - 0.50) ** 2) ** 0.5
    if 0.26 <= d <= 0.33 and v < 0.36:
        r, g, b = 220, 235, 255
    return (r, g, b, 255)


def render(size):
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    u = (x + (sx + 0.5) / SUPER) / size
                    v = (y + (sy + 0.5) / SUPER) / size
                    c = shade(u, v)
                    a = c[3] / 255.0
                    acc[0] += c[0] * a
                    acc[1] += c[1] * a
                    acc[2] += c[2] * a
                    acc[3] += c[3]
            n = SUPER * SUPER
            alpha = acc[3] / n
            if alpha > 0:
                scale = 255.0 / acc[3] * 1.0
                rgb = [min(255, int(round(acc[i] * scale))) for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((rgb[0], rgb[1], rgb[2], int(round(alpha))))
        pixels.append(row)
    return pixels


def png(size, pixels):
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(size, pixels):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    mask_row = ((size + 31) // 32) * 4
    mask = b"\x00" * (mask_row * size)
    return header + xor + mask


def main(out):
    images = []
    for size in SIZES:
        pixels = render(size)
        images.append((size, png(size, pixels) if size >= 256 else dib(size, pixels)))
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in images:
        dim = 0 if size >= 256 else size
        data += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for _, blob in images:
        data += blob
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "purvex.ico")
