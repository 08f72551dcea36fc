#!/usr/bin/env python3
"""Writes the framework tests' toolbar strip: three 16 by 15 images, 16 colours."""
import struct
import sys

WIDTH, HEIGHT, IMAGES = 16, 15, 3
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def pixel(x, y):
    image, u = divmod(x, WIDTH)
    inside = 3 <= u <= 12 and 3 <= y <= 11
    return (9 + image * 3) if inside else 7  # a coloured square on the button face


def main(path):
    width = WIDTH * IMAGES
    row_bytes = (width // 2 + 3) & ~3
    rows = b""
    for y in reversed(range(HEIGHT)):  # bottom-up
        row = bytearray(row_bytes)
        for x in range(0, width, 2):
            row[x // 2] = (pixel(x, y) << 4) | pixel(x + 1, y)
        rows += bytes(row)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, width, HEIGHT, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
    offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(file_header + header + palette + rows)


if __name__ == "__main__":
    main(sys.argv[1])
