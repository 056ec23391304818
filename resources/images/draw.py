#!/usr/bin/env python3
"""Draws the program's images and writes them as PNG files beside this script.

Standard library only. The output is deterministic: running the script again
rewrites byte-identical files (for a given zlib build).

  toolbar.png        160 x 15, ten 16 x 15 button images on a light grey ground
  toolbar@2x.png     320 x 30, the same ten images for screens at twice the density
  app-icon-N.png     application icon, N in 16 24 32 48 64 128 256, transparent
  doc-icon-32.png    document icon, 16 colours, transparent
  doc-icon-16.png
  doc-icon-64.png    the 32-pixel design at twice the density
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# The classic 16-colour palette. One character per colour in the pixel maps;
# ' ' is the transparent ground of the icons.
PALETTE16 = {
    'k': (0, 0, 0),          # black
    'r': (128, 0, 0),        # dark red
    'g': (0, 128, 0),        # dark green
    'o': (128, 128, 0),      # dark yellow
    'n': (0, 0, 128),        # navy
    'p': (128, 0, 128),      # purple
    't': (0, 128, 128),      # teal
    '.': (192, 192, 192),    # light grey (toolbar ground = button face)
    'd': (128, 128, 128),    # dark grey
    'R': (255, 0, 0),        # red
    'G': (0, 255, 0),        # green
    'Y': (255, 255, 0),      # yellow
    'B': (0, 0, 255),        # blue
    'M': (255, 0, 255),      # magenta
    'C': (0, 255, 255),      # cyan
    'w': (255, 255, 255),    # white
}


# --------------------------------------------------------------------------
# PNG writing
# --------------------------------------------------------------------------

def _chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xffffffff)


def write_png(path, width, height, pixels):
    """Writes rows of (r, g, b, a) tuples.

    Images with at most 256 distinct colours are stored indexed with a tRNS
    chunk, others as RGBA."""
    assert len(pixels) == height and all(len(row) == width for row in pixels)
    colours = sorted(set(px for row in pixels for px in row))
    raw = bytearray()
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        for row in pixels:
            raw.append(0)
            raw.extend(index[px] for px in row)
        header = struct.pack('>IIBBBBB', width, height, 8, 3, 0, 0, 0)
        chunks = [_chunk(b'IHDR', header),
                  _chunk(b'PLTE', b''.join(bytes(c[:3]) for c in colours)),
                  _chunk(b'tRNS', bytes(c[3] for c in colours).rstrip(b'\xff'))]
    else:
        for row in pixels:
            raw.append(0)
            for px in row:
                raw.extend(px)
        header = struct.pack('>IIBBBBB', width, height, 8, 6, 0, 0, 0)
        chunks = [_chunk(b'IHDR', header)]
    chunks.append(_chunk(b'IDAT', zlib.compress(bytes(raw), 9)))
    chunks.append(_chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + b''.join(chunks))


def write_rgb_png(path, width, height, pixels):
    """Writes an opaque truecolour (colour type 2) PNG."""
    raw = bytearray()
    for row in pixels:
        raw.append(0)
        for px in row:
            raw.extend(px)
    header = struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)
    data = (b'\x89PNG\r\n\x1a\n' + _chunk(b'IHDR', header)
            + _chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + _chunk(b'IEND', b''))
    with open(path, 'wb') as f:
        f.write(data)


def decode_map(rows, width, height, transparent=False):
    """Turns a character pixel map into rows of colour tuples."""
    assert len(rows) == height, rows
    out = []
    for row in rows:
        assert len(row) == width, repr(row)
        line = []
        for ch in row:
            if ch == ' ':
                assert transparent
                line.append((0, 0, 0, 0))
            else:
                rgb = PALETTE16[ch]
                line.append(rgb + (255,) if transparent else rgb)
        out.append(line)
    return out


# --------------------------------------------------------------------------
# Toolbar: ten 16 x 15 buttons, classic 16-colour pixel art
# --------------------------------------------------------------------------

TOOLBAR = [
    # 0: blank page with a dog-ear
    [
        "................",
        "...kkkkkkk......",
        "...kwwwwwkk.....",
        "...kwwwwwkwk....",
        "...kwwwwwkwwk...",
        "...kwwwwwkkkkk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kwwwwwwwwwk..",
        "...kkkkkkkkkkk..",
        "................",
    ],
    # 1: opening folder
    [
        "................",
        "................",
        "..kkkk..........",
        ".kYwYwk.........",
        ".kwYwYwkkkkkk...",
        ".kYwYwYwYwYwk...",
        ".kwYwYkkkkkkkkkk",
        ".kYwYkYYYYYYYYok",
        ".kwYkYYYYYYYYYk.",
        ".kYkYYYYYYYYYok.",
        ".kwkYYYYYYYYYk..",
        ".kkYYYYYYYYYok..",
        ".kkkkkkkkkkkk...",
        "................",
        "................",
    ],
    # 2: diskette
    [
        "................",
        ".kkkkkkkkkkkkkk.",
        ".knkwwwwwwwwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwddddddwknk.",
        ".knkwwwwwwwwknk.",
        ".knkwddddwwwknk.",
        ".knkwwwwwwwwknk.",
        ".knnkkkkkkkknnk.",
        ".knnnnnnnnnnnnk.",
        ".knnkkkkkkkknnk.",
        ".knnk..kk..knnk.",
        ".knnk..kk..knnk.",
        "..knk......knnk.",
        "...kkkkkkkkkkkk.",
    ],
    # 3: scissors
    [
        "...kd......dk...",
        "...kd......dk...",
        "....kd....dk....",
        "....kd....dk....",
        ".....kd..dk.....",
        ".....kd..dk.....",
        "......kddk......",
        ".......kk.......",
        "......kddk......",
        "..RRRkk..kkRRR..",
        ".RR..RR..RR..RR.",
        ".R....R..R....R.",
        ".RR..RR..RR..RR.",
        "..RRRR....RRRR..",
        "................",
    ],
    # 4: two overlapping pages
    [
        "kkkkkkkk........",
        "kwwwwwkwk.......",
        "kwnnnnkwwk......",
        "kwwwwwkkkkk.....",
        "kwnnnnnnnwk.....",
        "kwwwwwkkkkkkk...",
        "kwnnnnkwwwwwkk..",
        "kwwwwwkwnnnnkwk.",
        "kwnnnnkwwwwwkkkk",
        "kwwwwwkwnnnnnnwk",
        "kkkkkkkwwwwwwwwk",
        ".......wnnnnnnwk",
        ".......kwwwwwwwk",
        ".......kwnnnnnwk",
        ".......kkkkkkkkk",
    ],
    # 5: clipboard holding a page
    [
        ".....kkkk.......",
        "..kkkkwwkkkk....",
        ".kookwddwkook...",
        ".koookkkkoook...",
        ".koooooooooook..",
        ".kooookkkkkkk...",
        ".kooookwwwwwkk..",
        ".kooookwnnnnkwk.",
        ".kooookwwwwwkkkk",
        ".kooookwnnnnnnwk",
        ".kooookwwwwwwwwk",
        ".kooookwnnnnnnwk",
        ".kooookwwwwwwwwk",
        "..kkkkkwnnnnnnwk",
        ".......kkkkkkkkk",
    ],
    # 6: printer
    [
        "................",
        "....kkkkkkkk....",
        "....kwwwwwwk....",
        "....kwkkkkwk....",
        "....kwwwwwwk....",
        "...kkwkkkwkkk...",
        "..kwwwwwwwwwwk..",
        ".kwwwwwwwwwwdk..",
        "kkkkkkkkkkkkdk..",
        "kw.........kdk..",
        "kw......GG.kk...",
        "kw.........kk...",
        "kddddddddddkk...",
        "kkkkkkkkkkkkk...",
        "................",
    ],
    # 7: question mark
    [
        "....kkkkkk......",
        "...kYYYYYYk.....",
        "..kYYkkkkYYk....",
        "..kYYk..kYYk....",
        "...kk...kYYk....",
        ".......kYYk.....",
        "......kYYk......",
        ".....kYYk.......",
        ".....kYYk.......",
        "......kk........",
        "................",
        "......kk........",
        ".....kYYk.......",
        ".....kYYk.......",
        "......kk........",
    ],
]


def arrow_map(pointing_left):
    """A red arrow with a black outline, drawn from a filled outline."""
    w, h = 16, 15
    mid = 7
    inside = set()
    for x in range(w):
        for y in range(h):
            if 1 <= x <= 7:
                half = x - 1
            elif 8 <= x <= 14:
                half = 2
            else:
                continue
            if abs(y - mid) <= half:
                inside.add((x, y))
    rows = []
    for y in range(h):
        row = ''
        for x in range(w):
            if (x, y) not in inside:
                row += '.'
            elif all(n in inside for n in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1))):
                row += 'R'
            else:
                row += 'k'
        rows.append(row if pointing_left else row[::-1])
    return rows


def double_map(rows):
    """The same pixel map at twice the density: edges that step diagonally are
    smoothed (each pixel becomes four, a corner taking the colour of the two
    neighbours that meet there, as in the Scale2x rule), and the navy and grey
    text lines on white paper become hairlines, one fine row with paper below."""
    h, w = len(rows), len(rows[0])

    def at(x, y, default):
        return rows[y][x] if 0 <= x < w and 0 <= y < h else default

    out = [[' '] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = rows[y][x]
            a, b, c, d = at(x, y - 1, p), at(x + 1, y, p), at(x - 1, y, p), at(x, y + 1, p)
            tl = a if c == a and c != d and a != b else p
            tr = b if a == b and a != c and b != d else p
            bl = c if d == c and d != b and c != a else p
            br = d if b == d and b != a and d != c else p
            if p in 'nd' and a == 'w' and d == 'w':
                bl = br = 'w'
            out[2 * y][2 * x], out[2 * y][2 * x + 1] = tl, tr
            out[2 * y + 1][2 * x], out[2 * y + 1][2 * x + 1] = bl, br
    return [''.join(row) for row in out]


def draw_toolbar():
    maps = TOOLBAR + [arrow_map(True), arrow_map(False)]
    assert len(maps) == 10
    for scale, name in ((1, 'toolbar.png'), (2, 'toolbar@2x.png')):
        scaled = maps if scale == 1 else [double_map(m) for m in maps]
        w, h = 16 * scale, 15 * scale
        tiles = [decode_map(m, w, h) for m in scaled]
        rows = [sum((tile[y] for tile in tiles), []) for y in range(h)]
        write_rgb_png(os.path.join(HERE, name), 10 * w, h, rows)


# --------------------------------------------------------------------------
# Document icon: dog-eared page carrying "DOC", 16 colours
# --------------------------------------------------------------------------

DOC_32 = [
    "                                ",
    "                                ",
    "    kkkkkkkkkkkkkkkkkk          ",
    "    kwwwwwwwwwwwwwwwwkk         ",
    "    kwwwwwwwwwwwwwwwwkwk        ",
    "    kwwwwwwwwwwwwwwwwkwwk       ",
    "    kwwwwwwwwwwwwwwwwkwwwk      ",
    "    kwwwwwwwwwwwwwwwwkwwwwk     ",
    "    kwwwwwwwwwwwwwwwwkwwwwwk    ",
    "    kwwwwwwwwwwwwwwwwkkkkkkkk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwnnnnwwwwnnnwwwwnnnnwwk   ",
    "    kwwnnwnnwwnnwnnwwnnwwnwwk   ",
    "    kwwnnwwnnwnnwnnwwnnwwwwwk   ",
    "    kwwnnwwnnwnnwnnwwnnwwwwwk   ",
    "    kwwnnwwnnwnnwnnwwnnwwwwwk   ",
    "    kwwnnwnnwwnnwnnwwnnwwnwwk   ",
    "    kwwnnnnwwwwnnnwwwwnnnnwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwddddddddddddddddddwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwddddddddddddddddwwwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwddddddddddddddddddwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwddddddddddddwwwwwwwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kwwwwwwwwwwwwwwwwwwwwwwwk   ",
    "    kkkkkkkkkkkkkkkkkkkkkkkkk   ",
    "                                ",
]

DOC_16 = [
    "                ",
    " kkkkkkkkkkk    ",
    " kwwwwwwwwwkk   ",
    " kwwwwwwwwwkwk  ",
    " kwwwwwwwwwkkkk ",
    " kwwwwwwwwwwwwk ",
    " kwnnwwnnnwnnwk ",
    " kwnwnwnwnwnwwk ",
    " kwnwnwnwnwnwwk ",
    " kwnwnwnwnwnwwk ",
    " kwnnwwnnnwnnwk ",
    " kwwwwwwwwwwwwk ",
    " kwddddddddddwk ",
    " kwwwwwwwwwwwwk ",
    " kkkkkkkkkkkkkk ",
    "                ",
]


def draw_doc_icons():
    for size, rows in ((32, DOC_32), (16, DOC_16), (64, double_map(DOC_32))):
        pixels = decode_map(rows, size, size, transparent=True)
        write_png(os.path.join(HERE, 'doc-icon-%d.png' % size), size, size, pixels)


# --------------------------------------------------------------------------
# Application icon: a stack of pages under a magnifying glass, drawn from
# shapes given on a 32-unit grid and rasterised at any size with supersampling
# --------------------------------------------------------------------------

SUPERSAMPLE = 4

INK = (38, 48, 62, 255)             # outlines
SHEET_BACK = (214, 222, 232, 255)   # pages further back
SHEET_MID = (234, 239, 245, 255)
SHEET = (255, 255, 255, 255)
BAND = (46, 110, 206, 255)          # title bands, front to back
BAND_MID = (36, 160, 120, 255)
BAND_BACK = (236, 142, 44, 255)
TEXT = (132, 146, 162, 255)         # text lines
RIM = (30, 52, 80, 255)
GLASS = (150, 210, 255, 140)
GLINT = (255, 255, 255, 200)
HANDLE = (150, 82, 34, 255)
HANDLE_DARK = (92, 48, 18, 255)


class Canvas:
    """An RGBA canvas (straight alpha, floats) painted by pixel coverage."""

    def __init__(self, size):
        self.size = size
        self.px = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]

    def paint(self, x, y, colour, cover):
        a = colour[3] / 255.0 * cover
        if a <= 0:
            return
        r, g, b, da = self.px[y][x]
        out_a = a + da * (1 - a)
        mix = lambda s, d: (s * a + d * da * (1 - a)) / out_a
        self.px[y][x] = (mix(colour[0], r), mix(colour[1], g), mix(colour[2], b), out_a)

    def rect(self, x0, y0, x1, y1, colour):
        """Fills an axis-aligned rectangle given in pixels, exact area coverage."""
        for y in range(max(0, int(math.floor(y0))), min(self.size, int(math.ceil(y1)))):
            cy = min(y + 1, y1) - max(y, y0)
            for x in range(max(0, int(math.floor(x0))), min(self.size, int(math.ceil(x1)))):
                cx = min(x + 1, x1) - max(x, x0)
                self.paint(x, y, colour, cx * cy)

    def shape(self, bbox, inside, colour):
        """Fills the region where inside(x, y) holds, sampled N x N per pixel."""
        x0, y0, x1, y1 = bbox
        n = SUPERSAMPLE
        offs = [(i + 0.5) / n for i in range(n)]
        for y in range(max(0, int(math.floor(y0))), min(self.size, int(math.ceil(y1)))):
            for x in range(max(0, int(math.floor(x0))), min(self.size, int(math.ceil(x1)))):
                hits = sum(1 for oy in offs for ox in offs if inside(x + ox, y + oy))
                if hits:
                    self.paint(x, y, colour, hits / (n * n))

    def result(self):
        out = []
        for row in self.px:
            line = []
            for r, g, b, a in row:
                if a <= 0.002:
                    line.append((0, 0, 0, 0))
                else:
                    line.append((int(round(r)), int(round(g)), int(round(b)), int(round(a * 255))))
            out.append(line)
        return out


def draw_app_icon(size):
    c = Canvas(size)
    k = size / 32.0
    snap = lambda u: math.floor(u * k + 0.5)      # unit -> whole pixel, keeps edges crisp
    line = max(1, round(size / 40.0))             # outline width in pixels

    def sheet(x0, y0, x1, y1, fill):
        X0, Y0, X1, Y1 = snap(x0), snap(y0), snap(x1), snap(y1)
        c.rect(X0, Y0, X1, Y1, INK)
        c.rect(X0 + line, Y0 + line, X1 - line, Y1 - line, fill)
        return X0 + line, Y0 + line, X1 - line, Y1 - line

    # Three pages, back to front, each with a coloured title band; the middle
    # one is left out at small sizes where it would only add outline pixels.
    pages = [((12, 1, 30, 22), SHEET_BACK, BAND_BACK),
             ((8, 3, 26, 25), SHEET_MID, BAND_MID),
             ((3, 6, 21, 29), SHEET, BAND)]
    if size < 24:
        pages.pop(1)
    for (x0, y0, x1, y1), fill, band in pages:
        ix0, iy0, ix1, iy1 = sheet(x0, y0, x1, y1, fill)
        c.rect(ix0, iy0, ix1, snap(y0 + 4), band)

    # Text lines on the front page; fewer of them where pixels are scarce.
    lines = ((13, 18), (16, 15), (19, 18), (22, 12), (25, 16))
    if size < 32:
        lines = ((14, 16), (19, 12), (24, 14))
    for y, x1 in lines:
        c.rect(snap(5), snap(y), snap(x1), snap(y) + max(1, round(k * 1.2)), TEXT)

    # Magnifying glass over the lower right corner of the stack.
    # Centred on a pixel corner so the ring comes out symmetric.
    cx, cy = snap(19.5), snap(18.5)
    r_out, r_in = 7.0 * k, 5.0 * k
    # The handle starts under the rim so its rounded end stays out of the glass.
    hx0, hy0, hx1, hy1 = 24.7 * k, 23.7 * k, 29.6 * k, 28.6 * k
    hw = 2.2 * k

    def capsule(px, py, width):
        dx, dy = hx1 - hx0, hy1 - hy0
        t = max(0.0, min(1.0, ((px - hx0) * dx + (py - hy0) * dy) / (dx * dx + dy * dy)))
        return math.hypot(px - (hx0 + t * dx), py - (hy0 + t * dy)) <= width

    hb = (hx0 - hw - 1, hy0 - hw - 1, hx1 + hw + 1, hy1 + hw + 1)
    c.shape(hb, lambda x, y: capsule(x, y, hw), HANDLE_DARK)
    c.shape(hb, lambda x, y: capsule(x, y, hw - max(1.0, 0.9 * k)), HANDLE)

    lb = (cx - r_out - 1, cy - r_out - 1, cx + r_out + 1, cy + r_out + 1)
    c.shape(lb, lambda x, y: r_in <= math.hypot(x - cx, y - cy) <= r_out, RIM)
    c.shape(lb, lambda x, y: math.hypot(x - cx, y - cy) < r_in, GLASS)

    def glint(x, y):
        d = math.hypot(x - cx, y - cy)
        ang = math.degrees(math.atan2(y - cy, x - cx))
        return 0.45 * r_in <= d <= 0.75 * r_in and -165 <= ang <= -105

    c.shape(lb, glint, GLINT)
    return c.result()


def draw_app_icons():
    for size in (16, 24, 32, 48, 64, 128, 256):
        pixels = draw_app_icon(size)
        write_png(os.path.join(HERE, 'app-icon-%d.png' % size), size, size, pixels)


def main():
    draw_toolbar()
    draw_doc_icons()
    draw_app_icons()


if __name__ == '__main__':
    main()
