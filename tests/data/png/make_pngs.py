#!/usr/bin/env python3
"""Writes the small PNG files the raster tests load from disk and link in as resources.

Run from this folder; the output is deterministic.
  rgba_32x16.png      32 x 16 RGBA, pixel (x, y) = (r 8x, g 16y, b 4(x+y), a 255-4x)
  corrupt_idat.png    the same image with its deflate data damaged (CRC recomputed)
  short_idat.png      the same image with its IDAT cut in half (CRC recomputed), then IEND
  tiny.bin            4 bytes: too short to be a PNG
and the seeds of the PNG fuzzer (fuzz/corpus/raster_png_fuzzer): small images of every colour
type, one interlaced, one with a transparency table, one cut short.
"""
import os
import struct
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, rows, colour=6, depth=8, idat=None, extra=b"", interlace=0):
    raw = b"".join(b"\0" + r for r in rows)
    data = zlib.compress(raw, 9) if idat is None else idat(zlib.compress(raw, 9))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace))
            + extra + chunk(b"IDAT", data) + chunk(b"IEND", b""))


def adam7(width, height, pixel):
    """Rows of the seven interlace passes of an 8-bit image; pixel(x, y) gives its bytes."""
    rows = []
    for x0, y0, dx, dy in ((0, 0, 8, 8), (4, 0, 8, 8), (0, 4, 4, 8), (2, 0, 4, 4), (0, 2, 2, 4),
                           (1, 0, 2, 2), (0, 1, 1, 2)):
        xs = range(x0, width, dx)
        if not xs:
            continue
        rows += [b"".join(pixel(x, y) for x in xs) for y in range(y0, height, dy)]
    return rows


def rgba_rows():
    return [bytes(v for x in range(32) for v in (8 * x, 16 * y, 4 * (x + y), 255 - 4 * x))
            for y in range(16)]


def damage(data):
    b = bytearray(data)
    for i in range(2, len(b) - 4, 7):  # keep the zlib header, ruin the blocks
        b[i] ^= 0x5A
    return bytes(b)


with open("rgba_32x16.png", "wb") as f:
    f.write(png(32, 16, rgba_rows()))
with open("corrupt_idat.png", "wb") as f:
    f.write(png(32, 16, rgba_rows(), idat=damage))
with open("short_idat.png", "wb") as f:
    f.write(png(32, 16, rgba_rows(), idat=lambda d: d[: len(d) // 2]))
with open("tiny.bin", "wb") as f:
    f.write(b"\x89PNG")

seeds = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "fuzz", "corpus",
                     "raster_png_fuzzer")
os.makedirs(seeds, exist_ok=True)
seed_files = {
    "grey1.png": png(8, 2, [b"\xa5", b"\x3c"], colour=0, depth=1),
    "grey_alpha8.png": png(2, 2, [b"\x10\x80\x20\xff", b"\x30\x00\x40\x7f"], colour=4),
    "rgb16.png": png(1, 2, [bytes(range(6)), bytes(range(6, 12))], colour=2, depth=16),
    "palette2_trns.png": png(4, 1, [b"\x1b"], colour=3, depth=2,
                             extra=chunk(b"PLTE", bytes(range(12))) + chunk(b"tRNS", b"\x00\x80")),
    "rgba_interlaced.png": png(5, 5, adam7(5, 5, lambda x, y: bytes((x * 50, y * 50, 9, 255 - x))),
                               interlace=1),
    "rgba_cut.png": png(32, 16, rgba_rows())[:200],
}
for name, data in seed_files.items():
    with open(os.path.join(seeds, name), "wb") as f:
        f.write(data)
