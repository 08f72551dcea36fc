#!/usr/bin/python3
"""Draws velk's icons and toolbar strip and writes them as 16-colour .ico / .bmp.

Run from anywhere: python3 app/art/gen_art.py [OUTPUT_DIR]  (default: this folder).
The output is deterministic, so the committed images can be checked against it.

Every picture uses the standard 16-colour palette below. In icons, pixels left as
None are transparent (mask bit set). In the toolbar strip, the background is
silver (192, 192, 192), the colour toolbars treat as the button face, so no
picture uses silver for its own pixels.
"""
import math
import os
import struct
import sys

PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE = range(8, 16)


class Canvas:
    """A grid of palette indices; None marks a transparent pixel.

    Pictures are drawn in design units of the 96-dpi size; a canvas with a
    scale of 1.5 or 2 draws the same design at 144 or 192 dpi, each shape
    rasterised at that size: circles keep their roundness, lines their whole
    pixels."""

    def __init__(self, width, height, background=None, scale=1):
        self.scale = scale
        self.width = math.floor(width * scale + 0.5)
        self.height = math.floor(height * scale + 0.5)
        self.pixels = [[background] * self.width for _ in range(self.height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def span(self, a0, a1):
        """The pixels covered by design units a0 to a1, both inclusive."""
        p0 = math.floor(a0 * self.scale + 1e-9)
        p1 = math.ceil((a1 + 1) * self.scale - 1e-9) - 1
        return p0, max(p0, p1)

    def put(self, x, y, colour):
        self.fill(x, y, x, y, colour)

    def fill(self, x0, y0, x1, y1, colour):
        """Fills the rectangle with corners (x0, y0) and (x1, y1), both inclusive."""
        px0, px1 = self.span(x0, x1)
        py0, py1 = self.span(y0, y1)
        for y in range(py0, py1 + 1):
            for x in range(px0, px1 + 1):
                self.set(x, y, colour)

    def frame(self, x0, y0, x1, y1, colour):
        """A border of whole pixels: one at 96 dpi and 144 dpi, two at 192."""
        px0, px1 = self.span(x0, x1)
        py0, py1 = self.span(y0, y1)
        t = max(1, int(self.scale))
        for y in range(py0, py1 + 1):
            for x in range(px0, px1 + 1):
                if x < px0 + t or x > px1 - t or y < py0 + t or y > py1 - t:
                    self.set(x, y, colour)

    def box(self, x0, y0, x1, y1, border, inside):
        self.fill(x0, y0, x1, y1, inside)
        self.frame(x0, y0, x1, y1, border)

    def ring(self, cx, cy, r_in, r_out, colour, gap=None):
        """Pixels whose centre lies between the two radii; gap is an (a0, a1)
        range of angles in degrees (0 = right, counter-clockwise, y up) left out."""
        s = self.scale
        for y in range(self.height):
            for x in range(self.width):
                # The pixel's centre in design units.
                u, v = (x + 0.5) / s - 0.5, (y + 0.5) / s - 0.5
                d = math.hypot(u - cx, v - cy)
                if not r_in <= d <= r_out:
                    continue
                if gap is not None:
                    angle = math.degrees(math.atan2(cy - v, u - cx)) % 360
                    if gap[0] <= angle <= gap[1]:
                        continue
                self.set(x, y, colour)

    def rows(self, x0, y0, art, legend):
        """Copies a small picture given as text rows; characters map via legend,
        and characters not in it leave the pixel alone."""
        for dy, line in enumerate(art):
            for dx, ch in enumerate(line):
                if ch in legend:
                    self.put(x0 + dx, y0 + dy, legend[ch])

    def paste(self, other, x0, y0):
        """Copies another canvas of the same scale, its corner at design (x0, y0)."""
        px0, py0 = self.span(x0, x0)[0], self.span(y0, y0)[0]
        for y in range(other.height):
            for x in range(other.width):
                self.set(px0 + x, py0 + y, other.pixels[y][x])


# --- Toolbar images, 16 by 15, in button order ---------------------------------

def tool_canvas(scale):
    return Canvas(16, 15, SILVER, scale)


def draw_open(scale=1):
    c = tool_canvas(scale)
    art = [
        ".kkkk...........",
        "koooook.........",
        "kooooookkkkkkk..",
        "koooooooooooook.",
        "kooookkkkkkkkkkk",
        "koookyyyyyyyyyk.",
        "kookyyyyyyyyyk..",
        "kokyyyyyyyyyk...",
        "kkyyyyyyyyyk....",
        "kkkkkkkkkkk.....",
    ]
    c.rows(0, 3, art, {"k": BLACK, "o": OLIVE, "y": YELLOW})
    return c


def draw_copy_rows(scale=1):
    c = tool_canvas(scale)
    for x0, y0 in ((0, 1), (6, 4)):
        c.box(x0, y0, x0 + 8, y0 + 10, BLACK, WHITE)
        for y in range(y0 + 2, y0 + 10, 2):
            c.fill(x0 + 2, y, x0 + 6, y, NAVY)
    return c


def draw_find(scale=1):
    c = tool_canvas(scale)
    c.ring(6, 6, 0, 4.2, AQUA)
    c.put(4, 4, WHITE)
    c.put(5, 4, WHITE)
    c.put(4, 5, WHITE)
    c.ring(6, 6, 4.2, 5.6, BLACK)
    for i in range(5):
        c.fill(10 + i, 10 + i, 11 + i, 10 + i, MAROON)
        c.put(10 + i, 11 + i, MAROON)
    return c


def draw_refresh(scale=1):
    c = tool_canvas(scale)
    # A circular arrow, open at the upper right; its head on the right points up,
    # the way the arc runs (clockwise).
    c.ring(7.5, 7.5, 3.6, 6.2, GREEN, gap=(20, 85))
    head = [
        "...k...",
        "..kkk..",
        ".kkkkk.",
        "kkkkkkk",
    ]
    c.rows(9, 2, head, {"k": GREEN})
    return c


def draw_about(scale=1):
    c = tool_canvas(scale)
    c.ring(7.5, 7, 0, 6.6, NAVY)
    glyph = [
        ".ww.",
        ".ww.",
        "....",
        "www.",
        ".ww.",
        ".ww.",
        ".ww.",
        ".ww.",
        "wwww",
    ]
    c.rows(6, 2, glyph, {"w": WHITE})
    return c


def small_window(c, x0, y0, x1, y1):
    c.box(x0, y0, x1, y1, BLACK, WHITE)
    c.fill(x0 + 1, y0 + 1, x1 - 1, y0 + 2, NAVY)


def draw_tile_horizontal(scale=1):
    c = tool_canvas(scale)
    small_window(c, 1, 0, 14, 6)
    small_window(c, 1, 8, 14, 14)
    return c


def draw_tile_vertical(scale=1):
    c = tool_canvas(scale)
    small_window(c, 0, 1, 7, 13)
    small_window(c, 8, 1, 15, 13)
    return c


def draw_interpret(scale=1):
    """A globe: every file read as the world's software reads it."""
    c = tool_canvas(scale)
    c.ring(7.5, 7.5, 0, 6.6, AQUA)
    c.fill(2, 7, 13, 7, NAVY)
    c.fill(7, 2, 8, 13, NAVY)
    c.fill(3, 4, 12, 4, NAVY)
    c.fill(3, 10, 12, 10, NAVY)
    c.ring(7.5, 7.5, 5.8, 7.0, NAVY)
    return c


TOOLBAR_ORDER = [draw_open, draw_copy_rows, draw_find, draw_refresh,
                 draw_about, draw_tile_horizontal, draw_tile_vertical, draw_interpret]


def draw_toolbar(scale=1):
    strip = Canvas(16 * len(TOOLBAR_ORDER), 15, SILVER, scale)
    for i, draw in enumerate(TOOLBAR_ORDER):
        strip.paste(draw(scale), 16 * i, 0)
    return strip


# --- Icons ------------------------------------------------------------------------

def draw_main_icon():
    """A film sheet of nine image slices on a lattice: the program's icon."""
    c = Canvas(32, 32)
    c.box(1, 1, 30, 30, GREY, BLACK)
    c.frame(2, 2, 29, 29, SILVER)
    for k in range(3):
        cell = 3 + 9 * k
        c.fill(cell + 8, 3, cell + 8, 28, SILVER)
        c.fill(3, cell + 8, 28, cell + 8, SILVER)
    for row in range(3):
        for col in range(3):
            cx, cy = 6.5 + 9 * col, 6.5 + 9 * row
            c.ring(cx, cy, 0, 3.4, GREY)
            c.ring(cx, cy, 0, 2.0, SILVER)
            c.ring(cx, cy, 0, 0.8, WHITE)
    # The middle slice is the one being looked at.
    c.frame(11, 11, 20, 20, YELLOW)
    return c


def draw_document_icon():
    """A page of element rows: tag, box icon and value lines."""
    c = Canvas(32, 32)
    page = [
        "kkkkkkkkkkkkkkkkkkkk......",
        "kwwwwwwwwwwwwwwwwwwkdk....",
        "kwwwwwwwwwwwwwwwwwwkwdk...",
        "kwwwwwwwwwwwwwwwwwwkwwdk..",
        "kwwwwwwwwwwwwwwwwwwkwwwdk.",
        "kwwwwwwwwwwwwwwwwwwkkkkkkk",
    ]
    c.rows(3, 1, page, {"k": BLACK, "w": WHITE, "d": GREY})
    c.box(3, 6, 28, 30, BLACK, WHITE)
    c.fill(4, 6, 27, 6, WHITE)
    c.fill(4, 3, 21, 5, NAVY)
    for i, y in enumerate(range(9, 29, 3)):
        if i % 2:
            c.fill(4, y - 1, 27, y + 1, SILVER)
        indent = 2 if i in (2, 3, 4) else 0
        c.fill(6, y, 9, y, TEAL)
        if i in (1, 4):
            c.frame(11 + indent - 1, y - 1, 13 + indent - 1, y + 1, GREY)
        c.fill(15 + indent, y, 25, y, BLACK if i % 3 else NAVY)
    return c


def row_box(with_plus, scale=1):
    c = Canvas(16, 16, None, scale)
    c.frame(4, 4, 12, 12, GREY)
    c.fill(6, 8, 10, 8, BLACK)
    if with_plus:
        c.fill(8, 6, 8, 10, BLACK)
    return c


# --- File formats -----------------------------------------------------------------

def palette_bytes():
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)


def colour_rows(canvas):
    """4-bit rows, bottom-up, each padded to a multiple of 4 bytes."""
    out = bytearray()
    for y in reversed(range(canvas.height)):
        line = [p or 0 for p in canvas.pixels[y]]
        if len(line) % 2:
            line.append(0)
        row = bytes((line[i] << 4) | line[i + 1] for i in range(0, len(line), 2))
        out += row + b"\0" * (-len(row) % 4)
    return bytes(out)


def mask_rows(canvas):
    """1-bit AND mask, bottom-up, padded to 4 bytes: 1 where transparent."""
    out = bytearray()
    for y in reversed(range(canvas.height)):
        bits = [1 if p is None else 0 for p in canvas.pixels[y]]
        bits += [0] * (-len(bits) % 8)
        row = bytes(int("".join(map(str, bits[i:i + 8])), 2)
                    for i in range(0, len(bits), 8))
        out += row + b"\0" * (-len(row) % 4)
    return bytes(out)


def info_header(width, height, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0,
                       image_size, 0, 0, 16, 0)


def bmp_bytes(canvas):
    pixels = colour_rows(canvas)
    offset = 14 + 40 + 64
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return header + info_header(canvas.width, canvas.height, len(pixels)) + \
        palette_bytes() + pixels


def ico_bytes(canvas):
    xor, mask = colour_rows(canvas), mask_rows(canvas)
    # In an icon the height counts the colour rows and the mask rows together.
    image = info_header(canvas.width, 2 * canvas.height, len(xor) + len(mask)) + \
        palette_bytes() + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", canvas.width, canvas.height, 16, 0, 1, 4,
                        len(image), 6 + 16)
    return directory + entry + image


OUTPUTS = {
    "toolbar.bmp": (bmp_bytes, draw_toolbar),
    "mainframe.ico": (ico_bytes, draw_main_icon),
    "document.ico": (ico_bytes, draw_document_icon),
    "row_expanded.ico": (ico_bytes, lambda: row_box(False)),
    "row_collapsed.ico": (ico_bytes, lambda: row_box(True)),
    "row_leaf.ico": (ico_bytes, lambda: Canvas(16, 16)),
}
# The toolbar strip and the row icons again for 150 % and 200 % scaling (144 and
# 192 dpi), drawn at those sizes.
for percent, scale in ((150, 1.5), (200, 2)):
    OUTPUTS.update({
        "toolbar_%d.bmp" % percent: (bmp_bytes, lambda s=scale: draw_toolbar(s)),
        "row_expanded_%d.ico" % percent: (ico_bytes, lambda s=scale: row_box(False, s)),
        "row_collapsed_%d.ico" % percent: (ico_bytes, lambda s=scale: row_box(True, s)),
        "row_leaf_%d.ico" % percent: (ico_bytes, lambda s=scale: Canvas(16, 16, None, s)),
    })


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(
        os.path.abspath(__file__))
    os.makedirs(out_dir, exist_ok=True)
    for name, (encode, draw) in OUTPUTS.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(encode(draw()))


if __name__ == "__main__":
    main()
