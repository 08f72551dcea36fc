#!/usr/bin/env python3
"""Writes the command bar tests' image strip: 16-colour BMP, three 16x15 images.

Image k is a square of one pure colour (red, green, blue) on the light grey that
toolbar strips use for transparent pixels, so a test can tell drawn image pixels
from the ones that must let the background show through.
"""
import struct
import sys

IMAGE_W, IMAGE_H = 16, 15
GREY, RED, GREEN, BLUE = 7, 9, 10, 12  # indexes into the standard 16-colour palette
SQUARE_COLOURS = [RED, GREEN, BLUE]
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def colour_at(x, y):
    image, u = divmod(x, IMAGE_W)
    in_square = 4 <= u < 12 and 4 <= y < 11
    return SQUARE_COLOURS[image] if in_square else GREY


def bmp_bytes():
    width = IMAGE_W * len(SQUARE_COLOURS)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for y in range(IMAGE_H - 1, -1, -1):  # rows are stored bottom-up
        row = bytearray(stride)
        for x in range(width):
            row[x // 2] |= colour_at(x, y) << (0 if x % 2 else 4)
        pixels += row
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, width, IMAGE_H, 1, 4, 0, len(pixels), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + palette + bytes(pixels)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(bmp_bytes())
