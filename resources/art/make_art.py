#!/usr/bin/env python3
"""Writes Ruvelto's bitmaps: the toolbar strip and the two icons.

Standard library only, deterministic output.  Run from anywhere:

    python3 resources/art/make_art.py

Outputs (next to this folder's parent):
    toolbar.bmp   24-bit, 13 images of 16x15 side by side; RGB(192,192,192)
                  is the background and the transparency mask colour.
    ruvelto.ico   program icon, 32x32 and 16x16 (32-bit with alpha, plus
                  24-bit with an AND mask for displays without alpha).
    document.ico  document icon, same sizes and depths.

Every picture is a grid of letters, one letter per colour, so the pixels are
exactly what is written here.
"""

import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)

MASK = (192, 192, 192)

# ---------------------------------------------------------------------------
# Toolbar
# ---------------------------------------------------------------------------

TB_W, TB_H = 16, 15

TB_PALETTE = {
    '.': MASK,
    'k': (0, 0, 0),
    'w': (255, 255, 255),
    'g': (128, 128, 128),
    'L': (224, 224, 224),
    'y': (255, 232, 112),   # folder front
    'o': (224, 176, 40),    # folder back
    'b': (0, 64, 216),      # blue
    'n': (0, 0, 128),       # navy
    'd': (64, 120, 232),    # light blue
    'e': (0, 200, 0),       # bright green
    'G': (0, 112, 0),       # dark green
    'r': (208, 0, 0),       # red
    'm': (168, 104, 40),    # clipboard brown
    'c': (0, 160, 160),     # teal
    's': (96, 96, 96),      # dark grey
}

TB_NEW = [
    "................",
    "...kkkkkkkk.....",
    "...kwwwwwwkk....",
    "...kwwwwwwkwk...",
    "...kwwwwwwkwwk..",
    "...kwwwwwwkkkkk.",
    "...kwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "...kwwwwwwwwwwk.",
    "...kkkkkkkkkkkk.",
    "................",
]

TB_OPEN = [
    "................",
    "................",
    ".kkkk...........",
    "kowook..........",
    "koooookkkkkkk...",
    "kooooooooooook..",
    "kooooooooooook..",
    "kooookkkkkkkkkkk",
    "koookyyyyyyyyyyk",
    "kookyyyyyyyyyyk.",
    "kookyyyyyyyyyyk.",
    "kokyyyyyyyyyyk..",
    "kokyyyyyyyyyyk..",
    "kkkkkkkkkkkkk...",
    "................",
]

TB_SAVE = [
    "................",
    ".kkkkkkkkkkkkkk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwggggggwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbkwggggggwkbk.",
    ".kbkwwwwwwwwkbk.",
    ".kbbkkkkkkkkbbk.",
    ".kbbbbbbbbbbbbk.",
    ".kbbLLLLLLLLbbk.",
    ".kbbLLsssLLLbbk.",
    ".kbbLLsssLLLbbk.",
    "..kkkkkkkkkkkkk.",
    "................",
]

TB_CUT = [
    "................",
    "...gs......sg...",
    "...gs......sg...",
    "....gs....sg....",
    "....gs....sg....",
    ".....gs..sg.....",
    ".....gs..sg.....",
    "......gssg......",
    ".......kk.......",
    "......gssg......",
    ".....rr..rr.....",
    "..rrrrr..rrrrr..",
    ".rr..rr..rr..rr.",
    ".rr..rr..rr..rr.",
    "..rrrr....rrrr..",
]

TB_COPY = [
    ".kkkkkkkk.......",
    ".kwwwwwwk.......",
    ".kwnnnnwk.......",
    ".kwwwwwwk.......",
    ".kwnnnnwk.......",
    ".kwwwwwkkkkkkkk.",
    ".kwnnnnkwwwwwwk.",
    ".kwwwwwkwnnnnwk.",
    ".kwnnnnkwwwwwwk.",
    ".kwwwwwkwnnnnwk.",
    ".kkkkkkkwwwwwwk.",
    ".......kwnnnnwk.",
    ".......kwwwwwwk.",
    ".......kwnnnwwk.",
    ".......kkkkkkkk.",
]

TB_PASTE = [
    ".....kkkkk......",
    ".kkkkkgwgkkkkk..",
    "kmmmkgwwwgkmmmk.",
    "kmmmkkkkkkkmmmk.",
    "kmmmmmmmmmmmmmk.",
    "kmmmmmmkkkkkkkkk",
    "kmmmmmmkwwwwwwwk",
    "kmmmmmmkwnnnnnwk",
    "kmmmmmmkwwwwwwwk",
    "kmmmmmmkwnnnnnwk",
    "kmmmmmmkwwwwwwwk",
    "kmmmmmmkwnnnnwwk",
    "kmmmmmmkwwwwwwwk",
    ".kkkkkkkkkkkkkkk",
    "................",
]

TB_UNDO = [
    "................",
    ".....n..........",
    "....ndn.........",
    "...ndbnnnnn.....",
    "..ndbbdddddnn...",
    ".ndbbbbbbbbddn..",
    "ndbbbbbbbbbbbdn.",
    ".nbbbbnnnnnbbbn.",
    "..nbbbn....nbbdn",
    "...nbbn....nbbbn",
    "....nbn....nbbbn",
    ".....n....ndbbn.",
    ".........ndbbn..",
    "..........nnn...",
    "................",
]

TB_RUN = [
    "................",
    "...G............",
    "...GGG..........",
    "...GeeG.........",
    "...GeeeGG.......",
    "...GeeeeeGG.....",
    "...GeeeeeeeGG...",
    "...GeeeeeeeeeGG.",
    "...GeeeeeeeGG...",
    "...GeeeeeGG.....",
    "...GeeeGG.......",
    "...GeeG.........",
    "...GGG..........",
    "...G............",
    "................",
]

TB_RUN_WSCRIPT = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "kbbbbbbbbbbwkwkk",
    "kbbbbbbbbbbkwkwk",
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwwwwwGwwwwwwwwk",
    "kwwwwwGGGwwwwwwk",
    "kwwwwwGeeGGwwwwk",
    "kwwwwwGeeeeGwwwk",
    "kwwwwwGeeGGwwwwk",
    "kwwwwwGGGwwwwwwk",
    "kwwwwwGwwwwwwwwk",
    "kwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
]

TB_RUN_CSCRIPT = [
    "................",
    "kkkkkkkkkkkkkkkk",
    "kbbbbbbbbbbwkwkk",
    "kbbbbbbbbbbkwkwk",
    "kkkkkkkkkkkkkkkk",
    "kkkkkkkkkkkkkkkk",
    "kkwkkkkkkkkekkkk",
    "kkkwkkkkkkkeekkk",
    "kkkkwkkkkkkeeekk",
    "kkkwkkkkkkkeekkk",
    "kkwkkwwwkkkekkkk",
    "kkkkkkkkkkkkkkkk",
    "kgggggggggggggkk",
    "kkkkkkkkkkkkkkkk",
    "................",
]

TB_PRINT = [
    "................",
    "....kkkkkkkk....",
    "....kwwwwwwk....",
    "....kwnnnnwk....",
    "....kwwwwwwk....",
    "..kkkkkkkkkkkk..",
    ".kLLLLLLLLLLLLk.",
    ".kLLLLLLLLLeeLk.",
    ".kLLLLLLLLLLLLk.",
    ".kggggggggggggk.",
    ".kgkkkkkkkkkkgk.",
    ".kkkwwwwwwwwkkk.",
    "...kwnnnnnnwk...",
    "...kwwwwwwwwk...",
    "...kkkkkkkkkk...",
]

TB_ABOUT = [
    ".....nnnnnn.....",
    "...nnbbbbbbnn...",
    "..nbbbbwwbbbbn..",
    ".nbbbbbwwbbbbbn.",
    ".nbbbbbbbbbbbbn.",
    "nbbbbbwwwbbbbbbn",
    "nbbbbbbwwbbbbbbn",
    "nbbbbbbwwbbbbbbn",
    "nbbbbbbwwbbbbbbn",
    "nbbbbbbwwbbbbbbn",
    ".nbbbbbwwbbbbbn.",
    ".nbbbbwwwwbbbbn.",
    "..nbbbbbbbbbbn..",
    "...nnbbbbbbnn...",
    ".....nnnnnn.....",
]


def mirrored(grid):
    return [row[::-1] for row in grid]


# Order is the toolbar's button order; resource code indexes into it.
TOOLBAR = [
    ("new", TB_NEW),
    ("open", TB_OPEN),
    ("save", TB_SAVE),
    ("cut", TB_CUT),
    ("copy", TB_COPY),
    ("paste", TB_PASTE),
    ("undo", TB_UNDO),
    ("redo", mirrored(TB_UNDO)),
    ("run", TB_RUN),
    ("run_wscript", TB_RUN_WSCRIPT),
    ("run_cscript", TB_RUN_CSCRIPT),
    ("print", TB_PRINT),
    ("about", TB_ABOUT),
]


def check_grid(name, grid, w, h, palette):
    if len(grid) != h:
        raise ValueError("%s: %d rows, want %d" % (name, len(grid), h))
    for i, row in enumerate(grid):
        if len(row) != w:
            raise ValueError("%s row %d: %d columns, want %d" % (name, i, len(row), w))
        for ch in row:
            if ch not in palette:
                raise ValueError("%s row %d: unknown colour letter %r" % (name, i, ch))


def toolbar_pixels():
    width = TB_W * len(TOOLBAR)
    rows = [[MASK] * width for _ in range(TB_H)]
    for n, (name, grid) in enumerate(TOOLBAR):
        check_grid(name, grid, TB_W, TB_H, TB_PALETTE)
        for y, row in enumerate(grid):
            for x, ch in enumerate(row):
                rows[y][n * TB_W + x] = TB_PALETTE[ch]
    # The mask colour must only come from '.', or parts of a picture would vanish.
    for letter, colour in TB_PALETTE.items():
        if letter != '.' and colour == MASK:
            raise ValueError("colour %r equals the mask colour" % letter)
    return width, rows


def bmp24(width, rows):
    """A bottom-up 24-bit BMP file of rows of (r, g, b)."""
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        body += line
    info = struct.pack("<IiiHHIIiiII", 40, width, len(rows), 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return head + info + bytes(body)


# ---------------------------------------------------------------------------
# Icons
# ---------------------------------------------------------------------------

ICON_PALETTE = {
    '.': None,                   # transparent
    'k': (40, 40, 40),           # outline
    'g': (128, 128, 128),        # grey outline
    'w': (255, 255, 255),
    'L': (216, 216, 216),        # fold shadow
    'p': (250, 238, 196),        # parchment
    'P': (222, 196, 128),        # parchment shade
    'q': (170, 128, 60),         # parchment edge
    'b': (24, 80, 200),          # badge blue
    'B': (10, 40, 130),          # badge rim
    'd': (96, 150, 240),         # badge highlight
    'r': (200, 40, 40),          # code: keyword red
    'u': (30, 90, 210),          # code: blue
    'G': (30, 140, 40),          # code: comment green
    'm': (150, 40, 160),         # code: string purple
    'x': (80, 80, 80),           # code: plain text
    'z': (0, 0, 0, 72),          # drop shadow (translucent)
}

# Program icon: a script scroll with code on it and a blue "S" badge.
APP_32 = [
    "................................",
    "................................",
    "...qqqqqqqqqqqqqqqqqqqqqqqqq....",
    "..qPppppppppppppppppppppppppq...",
    "..qPqPPPPPPPPPPPPPPPPPPPPPPPq...",
    "..qPPPPPPPPPPPPPPPPPPPPPPPPPq...",
    "..qPPPPPPPPPPPPPPPPPPPPPPPPPq...",
    "...qqqqqqqqqqqqqqqqqqqqqqqqq....",
    "....qpppppppppppppppppppppq.....",
    "....qpprrrrpuuuuuuuuppppppq.....",
    "....qpppppppppppppppppppppq.....",
    "....qppppxxxxpmmmmmmpxxxppq.....",
    "....qpppppppppppppppppppppq.....",
    "....qppppxxxxxxxpxxxxxppppq.....",
    "....qppppppppppppppppBBBBpq.....",
    "....qpprrppppppppppBBdbbbBB.....",
    "....qppppppppppppBBdddbbbbbBB...",
    "....qppGGGGGGGGGBdddbbbbbbbbbB..",
    "....qpppppppppppBdbbbbbbbbbbbB..",
    "....qpprrrrpuuuBddbbbwwwwwbbbbB.",
    "....qppppppppppBdbbbwwbbbwwbbbB.",
    "....qppppxxxxppBdbbbwwbbbbbbbbB.",
    "....qppppppppppBbbbbbwwwwwbbbbB.",
    "....qppuuupppppBbbbbbbbbbwwbbbB.",
    "....qppppppppppBbbbbbbbbbwwbbbB.",
    "...qqqqqqqqqqqqBbbbbwwbbbwwbbbB.",
    "..qPppppppppppppBbbbbwwwwwbbbB..",
    "..qPqPPPPPPPPPPPBbbbbbbbbbbbbB..",
    "..qPPPPPPPPPPPPPPBBbbbbbbbbBB...",
    "..qPPPPPPPPPPPPPPPPBBbbbbBBPq...",
    "...qqqqqqqqqqqqqqqqqqBBBBqqq....",
    "................................",
]

APP_16 = [
    "................",
    "..qqqqqqqqqqqq..",
    ".qPpppppppppppq.",
    "..qqqqqqqqqqqq..",
    "..qppppppppppq..",
    "..qprrpuuuuppq..",
    "..qppppppppppq..",
    "..qppxxpmBBBBB..",
    "..qpppppBbbbbbB.",
    "..qpGGGBbbbwwwbB",
    "..qppppBbbwbbbbB",
    "..qppppBbbbwwbbB",
    "..qqqqqBbbbbbwbB",
    ".qPppppBbbwwwbbB",
    ".qPqPPPPBbbbbbB.",
    "..qqqqqqqBBBBB..",
]

# Document icon: a page with a folded corner and lines of coloured code.
DOC_32 = [
    "................................",
    "....ggggggggggggggggg...........",
    "....gwwwwwwwwwwwwwwwgg..........",
    "....gwwwwwwwwwwwwwwwgLg.........",
    "....gwwwwwwwwwwwwwwwgLLg........",
    "....gwwrrrrwuuuuuuwwgLLLg.......",
    "....gwwwwwwwwwwwwwwwgLLLLg......",
    "....gwwwwwwwwwwwwwwwggggggg.....",
    "....gwwwwxxxxwmmmmmmmmwxxwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwxxxxxxwxxxxxxxwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwuwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwGGGGGGGGGGGGGGwwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwrrrrwuuuuwxxxxxwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwxxxxxwmmmmmmmwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwwwxxxxxxxxxwwwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwxxxxwuuuuuwwwwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwuwwwwwwwwwwwwwwwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gwwrrrrrrwxxxxxxxxwwwwgz....",
    "....gwwwwwwwwwwwwwwwwwwwwwgz....",
    "....gggggggggggggggggggggggz....",
    "......zzzzzzzzzzzzzzzzzzzzzz....",
    "................................",
]

DOC_16 = [
    "..gggggggg......",
    "..gwwwwwwgg.....",
    "..gwwwwwwgLg....",
    "..gwrrwuugLLg...",
    "..gwwwwwwggggg..",
    "..gwwxxwmmmmwgz.",
    "..gwwwwwwwwwwgz.",
    "..gwGGGGGGwwwgz.",
    "..gwwwwwwwwwwgz.",
    "..gwrrwuuwxxwgz.",
    "..gwwwwwwwwwwgz.",
    "..gwwxxxwmmmwgz.",
    "..gwwwwwwwwwwgz.",
    "..gwrrrwxxxwwgz.",
    "..ggggggggggggz.",
    "....zzzzzzzzzzz.",
]


def icon_image(name, grid, size):
    """Rows of (r, g, b, a) from a letter grid."""
    check_grid(name, grid, size, size, ICON_PALETTE)
    out = []
    for row in grid:
        line = []
        for ch in row:
            colour = ICON_PALETTE[ch]
            if colour is None:
                colour = (0, 0, 0, 0)
            elif len(colour) == 3:
                colour = colour + (255,)
            line.append(colour)
        out.append(line)
    return out


def opaque(px):
    """Whether a pixel survives in images without an alpha channel."""
    return px[3] >= 128


def and_mask(pixels):
    """1 bit per pixel, rows padded to 32 bits; a set bit is transparent."""
    size = len(pixels)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, px in enumerate(row):
            if not opaque(px):
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bits
    return bytes(out)


def dib(pixels, bpp):
    """An icon image: BITMAPINFOHEADER (height doubled), XOR bitmap, AND mask.

    At 32 bits the colour is straight (not premultiplied) alpha; at 24 bits a
    pixel is either drawn or masked out, and masked pixels are black so that
    the XOR step leaves the screen untouched."""
    size = len(pixels)
    xor = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            if bpp == 32:
                line += bytes((b, g, r, a) if a else (0, 0, 0, 0))
            elif opaque((r, g, b, a)):
                line += bytes((b, g, r))
            else:
                line += b"\0\0\0"
        line += b"\0" * (-len(line) % 4)
        xor += line
    mask = and_mask(pixels)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                       len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + mask


def ico(images):
    """images: list of pixel grids; each is written at 32 and 24 bits."""
    entries = []
    for pixels in images:
        for bpp in (32, 24):
            entries.append((len(pixels), bpp, dib(pixels, bpp)))
    head = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    table = bytearray()
    data = bytearray()
    for size, bpp, blob in entries:
        table += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bpp,
                             len(blob), offset + len(data))
        data += blob
    return head + bytes(table) + bytes(data)


def write(name, data):
    path = os.path.join(OUT, name)
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (path, len(data)))


def main():
    width, rows = toolbar_pixels()
    write("toolbar.bmp", bmp24(width, rows))
    write("ruvelto.ico", ico([icon_image("app32", APP_32, 32),
                              icon_image("app16", APP_16, 16)]))
    write("document.ico", ico([icon_image("doc32", DOC_32, 32),
                               icon_image("doc16", DOC_16, 16)]))


if __name__ == "__main__":
    main()
