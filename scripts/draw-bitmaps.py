#!/usr/bin/env python3
"""Draws the program's bitmaps into resources/bitmaps/ as PNG files.

Every bitmap is 16 x 16 pixels (the icon 32 x 32) on a magenta (255, 0, 255) background, which
the program makes transparent. Shapes are rasterised at pixel centres without smoothing (a mask
is all or nothing) and get a 1-pixel dark outline.

    scripts/draw-bitmaps.py              write the PNG files
    scripts/draw-bitmaps.py --sheet F    also write an enlarged contact sheet to F
"""

import math
import os
import struct
import sys
import zlib

MAGENTA = (255, 0, 255)
OUTLINE = (40, 40, 48)

GREEN = (46, 160, 56)
RED = (214, 40, 40)
BLUE = (48, 110, 210)
YELLOW = (240, 196, 60)
GREY = (150, 150, 158)
WHITE = (250, 250, 250)
ORANGE = (238, 128, 30)
DARK_GREY = (96, 96, 104)
SKY = (90, 170, 235)
BROWN = (150, 100, 50)


# --- PNG output -------------------------------------------------------------------------------

def png_bytes(pixels):
    height = len(pixels)
    width = len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)  # 8-bit RGB
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# --- shapes: predicates on a pixel centre -------------------------------------------------------

def polygon(*points):
    def inside(x, y):
        hit = False
        n = len(points)
        for i in range(n):
            (x1, y1), (x2, y2) = points[i], points[(i + 1) % n]
            if (y1 > y) != (y2 > y):
                cross = x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                if x < cross:
                    hit = not hit
        return hit
    return inside


def rect(x0, y0, x1, y1):
    """Pixels x0..x1, y0..y1 inclusive."""
    return lambda x, y: x0 <= x - 0.5 <= x1 and y0 <= y - 0.5 <= y1


def disc(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def segment(x1, y1, x2, y2, width):
    def inside(x, y):
        dx, dy = x2 - x1, y2 - y1
        t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
        return math.hypot(x - x1 - t * dx, y - y1 - t * dy) <= width / 2
    return inside


def arc(cx, cy, r, width, start, end):
    """A band of the given width around a circle, from angle start to end (degrees,
    counter-clockwise, 0 = east, y pointing up as on paper)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if abs(d - r) > width / 2:
            return False
        a = math.degrees(math.atan2(cy - y, x - cx)) % 360
        s, e = start % 360, end % 360
        return s <= a <= e if s <= e else a >= s or a <= e
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


# --- drawing ----------------------------------------------------------------------------------

class Canvas:
    def __init__(self, size=16):
        self.size = size
        self.px = [[MAGENTA] * size for _ in range(size)]

    def cells(self, shape):
        return {(x, y) for y in range(self.size) for x in range(self.size)
                if shape(x + 0.5, y + 0.5)}

    def fill(self, shape, colour, outline=OUTLINE, shade=True):
        """Fills the shape (lighter at the top when shade) and rings it with the outline."""
        cells = self.cells(shape)
        if outline is not None:
            for (x, y) in cells:
                for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                    nx, ny = x + dx, y + dy
                    if 0 <= nx < self.size and 0 <= ny < self.size and (nx, ny) not in cells:
                        self.px[ny][nx] = outline
        if not cells:
            return
        top = min(y for _, y in cells)
        bottom = max(y for _, y in cells)
        for (x, y) in cells:
            c = colour
            if shade and bottom > top:
                k = 0.35 * (1 - (y - top) / (bottom - top))
                c = tuple(int(v + (255 - v) * k) for v in colour)
            self.px[y][x] = c

    def dots(self, colour, *cells):
        for x, y in cells:
            self.px[y][x] = colour

    def line(self, x0, y0, x1, y1, colour):
        """A 1-pixel line between pixel cells (inclusive), Bresenham."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.px[y0][x0] = colour
            if (x0, y0) == (x1, y1):
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy


def up_arrow(c, colour, x=8.0, top=1.5, bottom=14.5, head=6.5, half=6.0, shaft=2.0):
    c.fill(union(polygon((x, top), (x + half, head), (x - half, head)),
                 rect(int(x - shaft), int(head) - 1, int(x + shaft) - 1, int(bottom) - 1)), colour)


def mirrored(c):
    c.px.reverse()


def folder(c, colour=YELLOW, y0=4, y1=14):
    c.fill(union(rect(1, y0, 6, y1), rect(1, y0 + 1, 14, y1)), colour)
    c.line(2, y0 + 2, 13, y0 + 2, tuple(int(v * 0.8) for v in colour))


# --- the bitmaps ------------------------------------------------------------------------------

def plus(c):
    c.fill(union(rect(6, 2, 9, 13), rect(2, 6, 13, 9)), GREEN)


def minus_(c):
    c.fill(rect(2, 6, 13, 9), RED)


def tick(c):
    c.fill(polygon((1.5, 8.5), (4.5, 5.5), (6.5, 8.0), (12.0, 1.5), (14.8, 4.2), (6.5, 14.0)),
           GREEN)


def cross(c):
    c.fill(union(segment(3.5, 3.5, 12.5, 12.5, 3.6), segment(12.5, 3.5, 3.5, 12.5, 3.6)), RED)


def recycled(c):
    # A waste bin with its lid: the rule is only flagged deleted and can come back.
    c.fill(polygon((3, 5), (13, 5), (12, 15), (4, 15)), GREY)
    c.fill(rect(2, 2, 13, 3), DARK_GREY, shade=False)
    c.fill(rect(6, 1, 9, 1), DARK_GREY, shade=False)
    for x in (6, 8, 10):
        c.line(x, 7, x, 13, DARK_GREY)


def up(c):
    up_arrow(c, BLUE)


def down(c):
    up_arrow(c, BLUE)
    mirrored(c)


def undo(c):
    # A hook turning back to the left, ending in an arrow head.
    c.fill(union(arc(8.5, 9.0, 4.5, 3.0, -90, 90), rect(4, 12, 8, 14), rect(5, 3, 8, 5)), ORANGE,
           shade=False)
    c.fill(polygon((0.8, 4.5), (6.0, -0.4), (6.0, 9.4)), ORANGE, shade=False)


def filter_(c):
    c.fill(polygon((1.0, 2.0), (15.0, 2.0), (9.5, 8.5), (9.5, 14.5), (6.5, 12.5), (6.5, 8.5)),
           SKY)


def select_all(c):
    for y in (1, 9):
        c.fill(rect(1, y, 5, y + 4), WHITE, shade=False)
        c.dots(GREEN, (2, y + 2), (3, y + 3), (4, y + 2), (5, y + 1))
        c.fill(rect(8, y + 2, 14, y + 2), DARK_GREY, outline=None)
    c.fill(rect(8, 4 + 1, 12, 5), GREY, outline=None)
    c.fill(rect(8, 12 + 1, 12, 13), GREY, outline=None)


def sort_bars(c, growing_down):
    lengths = (2, 4, 6) if growing_down else (6, 4, 2)
    for i, n in enumerate(lengths):
        y = 2 + i * 5
        c.fill(rect(8, y, 8 + n, y + 1), DARK_GREY, outline=None, shade=False)


def sort_up(c):
    up_arrow(c, GREEN, x=4.0, half=4.0, shaft=1.0, head=5.5)
    sort_bars(c, growing_down=False)


def sort_down(c):
    up_arrow(c, GREEN, x=4.0, half=4.0, shaft=1.0, head=5.5)
    c.px.reverse()
    sort_bars(c, growing_down=True)


def globe(c):
    c.fill(disc(8, 8, 6.6), SKY)
    land = (GREEN)
    c.fill(union(polygon((4, 4), (8, 3), (8, 7), (6, 9), (4, 7)),
                 polygon((9, 9), (13, 8), (12, 13), (10, 13))), land, outline=None)
    c.fill(union(ellipse(8, 8, 2.6, 6.2)), BLUE, outline=None, shade=False)
    c.fill(minus(ellipse(8, 8, 2.6, 6.2), ellipse(8, 8, 1.6, 5.2)), BLUE, outline=None,
           shade=False)
    c.fill(ellipse(8, 8, 1.6, 5.2), SKY, outline=None, shade=False)
    c.line(2, 8, 13, 8, BLUE)


def refresh(c):
    # Two halves of a circle chasing each other.
    c.fill(union(arc(8, 8, 5.2, 2.4, 50, 170), arc(8, 8, 5.2, 2.4, 230, 350)), GREEN,
           shade=False)
    c.fill(polygon((10.0, 9.5), (15.9, 9.5), (13.0, 5.0)), GREEN, shade=False)
    c.fill(polygon((0.1, 6.5), (6.0, 6.5), (3.0, 11.0)), GREEN, shade=False)


def attach(c):
    # A paper clip: three nested loops of a wire.
    wire = union(arc(8, 5, 3.5, 1.2, 0, 180), segment(4.5, 5, 4.5, 11.5, 1.2),
                 arc(7.5, 11.5, 3.0, 1.2, 180, 360), segment(10.5, 11.5, 10.5, 6, 1.2),
                 arc(9, 6, 1.5, 1.2, 0, 180), segment(7.5, 6, 7.5, 11, 1.2),
                 segment(11.5, 5, 11.5, 9, 1.2))
    c.fill(wire, (64, 64, 76), outline=None, shade=False)


def tools(c):
    # A wrench lying diagonally.
    c.fill(union(segment(4, 12, 10, 6, 2.6), minus(disc(11.0, 5.0, 3.6),
                                                  polygon((11, 5), (16, 0), (16, 5)))), GREY)
    c.fill(disc(3.5, 12.5, 2.2), GREY)


def compress(c):
    # A packed archive box pressed from above and below.
    c.fill(rect(3, 5, 12, 10), ORANGE)
    c.line(7, 5, 7, 10, BROWN)
    c.line(8, 5, 8, 10, WHITE)
    c.fill(polygon((8, 4.2), (4.5, 0.5), (11.5, 0.5)), BLUE, shade=False)
    c.fill(polygon((8, 11.8), (4.5, 15.5), (11.5, 15.5)), BLUE, shade=False)


def sync(c):
    c.fill(union(polygon((15.5, 4.5), (10.5, 0.5), (10.5, 8.5)), rect(1, 3, 11, 5)), GREEN,
           shade=False)
    c.fill(union(polygon((0.5, 11.5), (5.5, 7.5), (5.5, 15.5)), rect(5, 10, 14, 12)), BLUE,
           shade=False)


def opendoc(c):
    c.fill(union(rect(1, 3, 6, 13), rect(1, 4, 12, 13)), (200, 150, 40))
    c.fill(polygon((3.5, 7), (15.5, 7), (13.5, 14), (1.5, 14)), YELLOW)


def exit_(c):
    c.fill(rect(2, 1, 9, 14), BROWN)
    c.dots(YELLOW, (7, 8))
    c.fill(union(polygon((15.5, 8), (11.5, 4), (11.5, 12)), rect(6, 7, 12, 8)), RED, shade=False)


def flag(c):
    c.fill(rect(2, 1, 3, 14), DARK_GREY, shade=False)
    c.fill(polygon((4, 2), (14, 2), (11, 5.5), (14, 9), (4, 9)), RED)


def save(c):
    c.fill(polygon((1, 1), (13, 1), (15, 3), (15, 15), (1, 15)), BLUE)
    c.fill(rect(4, 2, 11, 6), WHITE, shade=False)
    c.fill(rect(9, 3, 10, 5), DARK_GREY, outline=None)
    c.fill(rect(4, 10, 11, 14), GREY, shade=False)


def move(c):
    folder(c, y0=5)
    c.fill(union(polygon((15.5, 5), (11, 0.5), (11, 9.5)), rect(3, 4, 11, 5)), GREEN, shade=False)


def properties(c):
    c.fill(rect(2, 1, 13, 14), WHITE, shade=False)
    c.fill(rect(3, 2, 12, 3), BLUE, outline=None, shade=False)
    for y in (6, 9, 12):
        c.line(4, y, 5, y, BLUE)
        c.line(7, y, 11, y, GREY)


def dralvo_icon(c):
    # Program icon, 32 x 32: a blue drive with two arrows going round.
    c.fill(polygon((3, 6), (29, 6), (31, 8), (31, 26), (29, 28), (3, 28), (1, 26), (1, 8)), BLUE)
    c.fill(union(arc(16, 17, 8.0, 3.4, 25, 165), arc(16, 17, 8.0, 3.4, 205, 345)), WHITE,
           shade=False)
    c.fill(polygon((18.5, 14.5), (29.5, 14.5), (24.0, 8.0)), WHITE, shade=False)
    c.fill(polygon((2.5, 19.5), (13.5, 19.5), (8.0, 26.0)), WHITE, shade=False)


BITMAPS = {
    "plus": plus, "minus": minus_, "tick": tick, "cross": cross, "recycled": recycled,
    "up": up, "down": down, "undo": undo, "filter": filter_, "select_all": select_all,
    "sort_up": sort_up, "sort_down": sort_down, "globe": globe, "refresh": refresh,
    "attach": attach, "tools": tools, "compress": compress, "sync": sync, "opendoc": opendoc,
    "exit": exit_, "flag": flag, "save": save, "move": move, "properties": properties,
}


def draw_all():
    images = {}
    for name, draw in BITMAPS.items():
        c = Canvas(16)
        draw(c)
        images[name] = c.px
    icon = Canvas(32)
    dralvo_icon(icon)
    images["dralvo_icon"] = icon.px
    return images


def contact_sheet(images, scale=4, columns=6):
    """All bitmaps enlarged (16-pixel ones 8 x) on a grey ground (transparent pixels shown light grey)."""
    cell = 32 * scale + 8
    rows = (len(images) + columns - 1) // columns
    sheet = [[(110, 110, 110)] * (columns * cell) for _ in range(rows * cell)]
    for i, px in enumerate(images.values()):
        ox, oy = (i % columns) * cell + 4, (i // columns) * cell + 4
        s = scale * 32 // len(px)
        for y, row in enumerate(px):
            for x, colour in enumerate(row):
                shown = (215, 215, 215) if colour == MAGENTA else colour
                for yy in range(s):
                    line = sheet[oy + y * s + yy]
                    for xx in range(s):
                        line[ox + x * s + xx] = shown
    return sheet


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "bitmaps")
    images = draw_all()
    for name, px in images.items():
        with open(os.path.join(root, name + ".png"), "wb") as f:
            f.write(png_bytes(px))
    if len(sys.argv) == 3 and sys.argv[1] == "--sheet":
        with open(sys.argv[2], "wb") as f:
            f.write(png_bytes(contact_sheet(images)))


if __name__ == "__main__":
    main()
