#!/usr/bin/env python3
"""Draws the pictures of the site and writes them as GIF files.

  output/runtime/wh_0.gif .. wh_10.gif        tree lines, embedded in the module
  host/icons/chm_icon1.gif .. chm_icon42.gif  contents icons, embedded in the host
  host/whtemplates-src/images/<set>/*.gif     the 17 images of each template set

Python 3 standard library only; the output is committed. Run from anywhere:
  python3 tools/gen_images.py [--sheet contact-sheet.png]
"""

import math
import os
import struct
import sys
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# ---------------------------------------------------------------------------------------------
# GIF89a writer


def _lzw(indices, min_code_size):
    """Variable-length LZW as GIF wants it, codes packed least significant bit first."""
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    acc = 0
    nbits = 0

    def emit(code, size):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    def reset():
        return {(i,): i for i in range(clear)}, eoi + 1, min_code_size + 1

    table, next_code, size = reset()
    emit(clear, size)
    w = (indices[0],)
    for k in indices[1:]:
        wk = w + (k,)
        if wk in table:
            w = wk
            continue
        emit(table[w], size)
        # The decoder widens its codes one entry behind us: widen when the next free code no
        # longer fits, before it is assigned.
        if next_code >= (1 << size) and size < 12:
            size += 1
        if next_code < 4096:
            table[wk] = next_code
            next_code += 1
        else:
            emit(clear, size)
            table, next_code, size = reset()
        w = (k,)
    emit(table[w], size)
    emit(eoi, size)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_bytes(img):
    """GIF89a of an Image; None pixels are transparent (palette entry 0)."""
    colours = []
    seen = {}
    has_transparent = any(p is None for p in img.px)
    if has_transparent:
        colours.append((255, 255, 255))
    for p in img.px:
        if p is not None and p not in seen:
            seen[p] = len(colours)
            colours.append(p)
    if len(colours) > 256:
        raise ValueError("more than 256 colours")
    bits = 1
    while (1 << bits) < len(colours):
        bits += 1
    colours += [(0, 0, 0)] * ((1 << bits) - len(colours))
    indices = [0 if p is None else seen[p] for p in img.px]

    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", img.w, img.h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for c in colours:
        data += bytes(c)
    if has_transparent:
        data += bytes([0x21, 0xF9, 4, 0x01, 0, 0, 0, 0])
    data += b"\x2c" + struct.pack("<HHHHB", 0, 0, img.w, img.h, 0)
    min_code_size = max(2, bits)
    data.append(min_code_size)
    lzw = _lzw(indices, min_code_size)
    for i in range(0, len(lzw), 255):
        chunk = lzw[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data += b"\x00\x3b"
    return bytes(data)


# ---------------------------------------------------------------------------------------------
# Drawing


def rgb(text):
    text = text.lstrip("#")
    return (int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16))


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)


class Image:
    def __init__(self, w=16, h=16):
        self.w, self.h = w, h
        self.px = [None] * (w * h)

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def get(self, x, y):
        return self.px[y * self.w + x]

    def fill(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def frame(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.set(x, y0, c)
            self.set(x, y1, c)
        for y in range(y0, y1 + 1):
            self.set(x0, y, c)
            self.set(x1, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def disc(self, cx, cy, r, fill, outline=None):
        """Pixels whose centre lies within r of (cx, cy); an outline ring one pixel wide."""
        for y in range(self.h):
            for x in range(self.w):
                d = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                if d <= r:
                    self.set(x, y, outline if (outline is not None and d > r - 1.0) else fill)

    def poly(self, pts, c):
        """Fills the pixels whose centres lie inside the polygon (even-odd rule)."""
        n = len(pts)
        for y in range(self.h):
            py = y + 0.5
            for x in range(self.w):
                px = x + 0.5
                inside = False
                for i in range(n):
                    (x0, y0), (x1, y1) = pts[i], pts[(i + 1) % n]
                    if (y0 > py) != (y1 > py) and px < x0 + (py - y0) * (x1 - x0) / (y1 - y0):
                        inside = not inside
                if inside:
                    self.set(x, y, c)

    def art(self, rows, colours, x0=0, y0=0):
        """Draws character art; '.' leaves the pixel as it is."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch != ".":
                    self.set(x0 + dx, y0 + dy, colours[ch])

    def outline_shape(self, c):
        """Draws c on every empty pixel next (4-neighbour) to a drawn one."""
        add = []
        for y in range(self.h):
            for x in range(self.w):
                if self.get(x, y) is not None:
                    continue
                for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                    if 0 <= nx < self.w and 0 <= ny < self.h and self.get(nx, ny) is not None:
                        add.append((x, y))
                        break
        for x, y in add:
            self.set(x, y, c)

    def paste(self, other, x0, y0):
        for y in range(other.h):
            for x in range(other.w):
                p = other.get(x, y)
                if p is not None:
                    self.set(x0 + x, y0 + y, p)

    def recolour(self, mapping):
        self.px = [mapping.get(p, p) for p in self.px]
        return self


# ---------------------------------------------------------------------------------------------
# Tree lines: 16 x 16, dotted grey lines in column 5 and row 8, expander box over columns 1-9 and
# rows 4-12. Dots fall where column + row is odd, so lines of stacked images join up.

LINE_GREY = (128, 128, 128)


def tree_image(up, down, right, box=None):
    img = Image()

    def dot(x, y):
        if (x + y) % 2 == 1:
            img.set(x, y, LINE_GREY)

    in_box = (lambda x, y: 1 <= x <= 9 and 4 <= y <= 12) if box else (lambda x, y: False)
    if up:
        for y in range(0, 9):
            if not in_box(5, y):
                dot(5, y)
    if down:
        for y in range(8, 16):
            if not in_box(5, y):
                dot(5, y)
    if right:
        for x in range(5, 16):
            if not in_box(x, 8):
                dot(x, 8)
    if box:
        img.frame(1, 4, 9, 12, LINE_GREY)
        for x in range(3, 8):
            img.set(x, 8, BLACK)
        if box == "plus":
            for y in range(6, 11):
                img.set(5, y, BLACK)
    return img


TREE_IMAGES = [
    tree_image(False, False, False),                # wh_0  empty
    tree_image(True, True, False),                  # wh_1  vertical line
    tree_image(True, True, True),                   # wh_2  T on its side
    tree_image(True, False, True),                  # wh_3  last entry
    tree_image(False, True, True),                  # wh_4  first at the top
    tree_image(True, True, True, "plus"),           # wh_5
    tree_image(True, False, True, "plus"),          # wh_6
    tree_image(False, True, True, "plus"),          # wh_7
    tree_image(True, True, True, "minus"),          # wh_8
    tree_image(True, False, True, "minus"),         # wh_9
    tree_image(False, True, True, "minus"),         # wh_10
]

# ---------------------------------------------------------------------------------------------
# Contents icons

BOOK_CLOSED = [
    "................",
    "..KKKKKKKKKKKK..",
    "..KDCCCCCCCCCK..",
    "..KDCLLLLLLLCK..",
    "..KDCCCCCCCCCK..",
    "..KDCLLLLLLCCK..",
    "..KDCCCCCCCCCK..",
    "..KDCCCCCCCCCK..",
    "..KDCCCCCCCCCK..",
    "..KDCCCCCCCCCK..",
    "..KDCCCCCCCCCK..",
    "..KDCCCCCCCCCK..",
    "..KDKKKKKKKKKKK.",
    "..KDWWWWWWWWWWK.",
    "...KKKKKKKKKKKK.",
    "................",
]

BOOK_OPEN = [
    "................",
    "................",
    ".KKKK......KKKK.",
    "KWWWWKK..KKWWWWK",
    "KWLLLWWKKWWLLLWK",
    "KWWWWWWKKWWWWWWK",
    "KWLLLLWKKWLLLLWK",
    "KWWWWWWKKWWWWWWK",
    "KWLLLWWKKWWLLLWK",
    "KWWWWWWKKWWWWWWK",
    "KWWWWWWKKWWWWWWK",
    "KCCKKKKKKKKKKCCK",
    "KCCCCCCCCCCCCCCK",
    ".KKKKKKKKKKKKKK.",
    "................",
    "................",
]

FOLDER_CLOSED = [
    "................",
    "................",
    "..KKKKK.........",
    ".KLLLLLK........",
    ".KLCCCCCKKKKKKK.",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KLCCCCCCCCCCCDK",
    ".KDDDDDDDDDDDDDK",
    "..KKKKKKKKKKKKK.",
    "................",
]

FOLDER_OPEN = [
    "................",
    "................",
    ".KKKKK..........",
    "KDDDDDK.........",
    "KDDDDDDKKKKKKK..",
    "KDDDDDDDDDDDDDK.",
    "KDDKKKKKKKKKKKKK",
    "KDKLLLLLLLLLLLLK",
    "KDKLCCCCCCCCCCK.",
    "KKLCCCCCCCCCCCK.",
    "KKLCCCCCCCCCCK..",
    "KLCCCCCCCCCCCK..",
    "KLCCCCCCCCCCK...",
    "KKKKKKKKKKKKK...",
    "................",
    "................",
]

PAGE = [
    "................",
    "..KKKKKKKK......",
    "..KWWWWWWKK.....",
    "..KWWWWWWKWK....",
    "..KWLLLLWKKKK...",
    "..KWWWWWWWWWK...",
    "..KWLLLLLLLWK...",
    "..KWWWWWWWWWK...",
    "..KWLLLLLLLWK...",
    "..KWWWWWWWWWK...",
    "..KWLLLLLLLWK...",
    "..KWWWWWWWWWK...",
    "..KWLLLLLLLWK...",
    "..KWWWWWWWWWK...",
    "..KKKKKKKKKKK...",
    "................",
]

# Small signs laid over the bottom right of a page or book (8 x 8, drawn at column 8, row 8).
SIGNS = {
    "question": ["..KKKK..", ".KBBBBK.", "KBWWWBBK", "KBBBWBBK", "KBBWBBBK", "KBBBBBBK",
                 ".KBWBBK.", "..KKKK.."],
    "exclaim": ["...KK...", "..KYYK..", "..KKYK..", ".KYKYYK.", ".KYKYYK.", "KYYYYYYK",
                "KYYKYYYK", "KKKKKKKK"],
    "arrow": ["....K...", "....KK..", "KKKKKGK.", "KGGGGGGK", "KGGGGGGK", "KKKKKGK.",
              "....KK..", "....K..."],
    "globe": ["..KKKK..", ".KBGGBK.", "KBGGGBBK", "KBBGBBGK", "KBBBBGGK", "KGBBBGBK",
              ".KGBBBK.", "..KKKK.."],
    "picture": ["KKKKKKKK", "KSSSSYSK", "KSSSSSSK", "KSSGSSSK", "KSGGGSSK", "KGGGGGGK",
                "KGGGGGGK", "KKKKKKKK"],
    "note": ["....KK..", "....KRK.", "....K.RK", "....K...", "..KKK...", ".KRRK...",
             ".KRRK...", "..KK...."],
    "pencil": [".....KK.", "....KRRK", "...KYKRK", "..KYYYK.", ".KYYYK..", "KWYYK...",
               "KKWK....", "KKK....."],
    "check": [".......K", "......KG", ".....KGK", "K...KGK.", "GK.KGK..", "KGKGK...",
              ".KGK....", "..K....."],
    "cross": ["KK....KK", "KRK..KRK", ".KRKKRK.", "..KRRK..", "..KRRK..", ".KRKKRK.",
              "KRK..KRK", "KK....KK"],
    "star": ["...KK...", "...KYK..", "KKKYYKKK", "KYYYYYYK", ".KYYYYK.", ".KYKKYK.",
             "KYK..KYK", "KK....KK"],
    "info": ["..KKKK..", ".KBWBBK.", "KBBBBBBK", "KBBWWBBK", "KBBBWBBK", "KBBBWBBK",
             ".KBWWWK.", "..KKKK.."],
}

SIGN_COLOURS = {
    "K": BLACK, "W": WHITE, "B": rgb("2060C0"), "Y": rgb("F8D020"), "G": rgb("30A030"),
    "R": rgb("D02020"), "S": rgb("A0D0F8"),
}


def shape(rows, cover, light=None, dark=None):
    img = Image()
    colours = {
        "K": BLACK, "W": WHITE, "C": cover,
        "L": light if light is not None else mix(cover, WHITE, 0.55),
        "D": dark if dark is not None else mix(cover, BLACK, 0.45),
    }
    if rows is PAGE:
        colours["L"] = rgb("9098A8")
    img.art(rows, colours)
    return img


def with_sign(img, sign):
    img.art(SIGNS[sign], SIGN_COLOURS, 8, 8)
    return img


def page(sign=None):
    img = shape(PAGE, WHITE)
    return with_sign(img, sign) if sign else img


def big_sign(draw):
    img = Image()
    draw(img)
    return img


def icon_question(img):
    img.disc(8, 8, 7.5, rgb("2E6BD0"), rgb("10306A"))
    img.art(["..WWW.", ".WW.WW", "....WW", "...WW.", "..WW..", "......", "..WW..", "..WW.."],
            {"W": WHITE}, 5, 4)


def icon_info(img):
    img.disc(8, 8, 7.5, rgb("2E6BD0"), rgb("10306A"))
    img.art(["WW", "WW", "..", "WW", "WW", "WW", "WW", "WW"], {"W": WHITE}, 7, 3)
    img.fill(6, 11, 9, 11, WHITE)


def icon_warning(img):
    img.poly([(8, 0.5), (15.5, 15), (0.5, 15)], BLACK)
    img.poly([(8, 2.6), (14, 14), (2, 14)], rgb("F8D020"))
    img.fill(7, 5, 8, 10, BLACK)
    img.fill(7, 12, 8, 13, BLACK)


def icon_stop(img):
    img.disc(8, 8, 7.5, rgb("D02020"), rgb("701010"))
    img.fill(3, 7, 12, 8, WHITE)


def icon_globe(img):
    img.disc(8, 8, 7.5, rgb("3A7EDB"), rgb("103A7A"))
    land = rgb("3AA040")
    img.art(["..GGG.....", ".GGGGG....", "GGGGGG..GG", ".GGGG..GGG", "..GG...GGG", "..GGG..GG.",
             "...GG.....", "....G....."], {"G": land}, 3, 3)


def icon_bulb(img):
    img.disc(8, 6.5, 5.5, rgb("FFF070"), BLACK)
    img.set(6, 4, WHITE)
    img.set(6, 5, WHITE)
    img.set(7, 4, WHITE)
    img.fill(6, 12, 9, 14, rgb("A0A0A0"))
    img.frame(5, 12, 10, 14, BLACK)
    img.set(7, 15, BLACK)
    img.set(8, 15, BLACK)


def icon_key(img):
    gold = rgb("E0B020")
    img.disc(5, 5, 4.5, gold, BLACK)
    img.disc(4.5, 4.5, 1.2, None)
    img.set(4, 4, None)
    img.line(7, 7, 14, 14, BLACK)
    img.line(8, 7, 15, 14, gold)
    img.line(8, 8, 14, 14, gold)
    img.line(9, 7, 15, 13, BLACK)
    img.line(11, 12, 13, 10, BLACK)
    img.line(13, 14, 15, 12, BLACK)


def icon_magnifier(img):
    img.disc(6.5, 6.5, 6, rgb("C8E4FF"), BLACK)
    img.set(4, 4, WHITE)
    img.set(5, 4, WHITE)
    img.set(4, 5, WHITE)
    for d in range(4):
        img.fill(10 + d, 11 + d, 11 + d, 12 + d, rgb("604020"))
    img.line(11, 10, 15, 14, BLACK)
    img.line(10, 11, 14, 15, BLACK)


def icon_envelope(img):
    img.fill(0, 3, 15, 12, WHITE)
    img.frame(0, 3, 15, 12, BLACK)
    img.line(1, 4, 7, 9, rgb("707070"))
    img.line(14, 4, 8, 9, rgb("707070"))


def icon_gear(img):
    steel = rgb("8890A0")
    for y in range(16):
        for x in range(16):
            dx, dy = x + 0.5 - 8, y + 0.5 - 8
            r = math.hypot(dx, dy)
            a = math.atan2(dy, dx)
            tooth = 0.5 + 0.5 * math.cos(8 * a)
            outer = 5.4 + 2.4 * (1 if tooth > 0.5 else 0)
            if r <= outer:
                img.set(x, y, steel)
    img.outline_shape(BLACK)
    img.disc(8, 8, 2.4, None)
    for y in range(16):
        for x in range(16):
            if img.get(x, y) is None and math.hypot(x + 0.5 - 8, y + 0.5 - 8) < 3.4:
                img.set(x, y, BLACK)
    img.disc(8, 8, 2.2, None)


def icon_house(img):
    img.poly([(8, 1), (15.5, 8.5), (0.5, 8.5)], rgb("C03020"))
    img.line(8, 1, 0, 9, BLACK)
    img.line(8, 1, 16, 9, BLACK)
    img.fill(2, 8, 13, 14, rgb("F0E0B0"))
    img.frame(2, 8, 13, 14, BLACK)
    img.fill(6, 10, 8, 14, rgb("805020"))
    img.frame(6, 10, 8, 14, BLACK)
    img.fill(10, 10, 11, 11, rgb("80C0F0"))


def icon_star(img):
    pts = []
    for i in range(10):
        a = -math.pi / 2 + i * math.pi / 5
        r = 7.8 if i % 2 == 0 else 3.3
        pts.append((8 + r * math.cos(a), 8.6 + r * math.sin(a)))
    img.poly(pts, rgb("F8D020"))
    img.outline_shape(rgb("806000"))


def icon_flag(img):
    img.fill(2, 1, 3, 15, rgb("604020"))
    img.poly([(4, 1.5), (14.5, 1.5), (11, 5), (14.5, 9), (4, 9)], rgb("D02020"))
    img.line(4, 1, 14, 1, BLACK)
    img.line(4, 9, 14, 9, BLACK)


def icon_clock(img):
    img.disc(8, 8, 7.5, WHITE, BLACK)
    for a in range(12):
        ang = a * math.pi / 6
        img.set(int(8 + 5.6 * math.cos(ang)), int(8 + 5.6 * math.sin(ang)), GREY)
    img.line(8, 8, 8, 3, BLACK)
    img.line(8, 8, 11, 10, rgb("D02020"))


def icon_person(img):
    skin = rgb("F0C090")
    img.disc(8, 4.5, 3.5, skin, BLACK)
    img.poly([(2, 15.5), (3, 10), (6, 8.5), (10, 8.5), (13, 10), (14, 15.5)], rgb("3060C0"))
    img.line(3, 10, 2, 15, BLACK)
    img.line(13, 10, 14, 15, BLACK)
    img.line(6, 8, 10, 8, BLACK)
    img.line(2, 15, 14, 15, BLACK)


def icon_arrow(img, left=False):
    pts = [(1, 5.5), (8, 5.5), (8, 1.5), (15, 8), (8, 14.5), (8, 10.5), (1, 10.5)]
    if left:
        pts = [(16 - x, y) for x, y in pts]
    img.poly(pts, rgb("30A030"))
    img.outline_shape(rgb("105010"))


def icon_disk(img):
    img.fill(1, 1, 14, 14, rgb("3050A0"))
    img.frame(1, 1, 14, 14, BLACK)
    img.fill(4, 2, 11, 6, rgb("D0D0D0"))
    img.fill(8, 3, 9, 5, rgb("3050A0"))
    img.fill(3, 9, 12, 14, WHITE)
    img.line(4, 11, 11, 11, GREY)


def icon_printer(img):
    img.fill(4, 1, 11, 6, WHITE)
    img.frame(4, 1, 11, 6, BLACK)
    img.fill(1, 6, 14, 12, rgb("B0B0B8"))
    img.frame(1, 6, 14, 12, BLACK)
    img.set(12, 8, rgb("30C030"))
    img.fill(4, 10, 11, 15, WHITE)
    img.frame(4, 10, 11, 15, BLACK)
    img.line(5, 12, 10, 12, GREY)


def icon_lock(img):
    for y in range(1, 8):
        for x in range(3, 13):
            r = math.hypot(x + 0.5 - 8, y + 0.5 - 7)
            if 3.0 <= r <= 5.0 and y < 8:
                img.set(x, y, rgb("606070"))
    img.fill(2, 7, 13, 15, rgb("E0B020"))
    img.frame(2, 7, 13, 15, BLACK)
    img.fill(7, 9, 8, 12, BLACK)


def icon(draw):
    return big_sign(draw)


def contents_icons():
    blue, red, yellow, green, purple = (rgb("3068C8"), rgb("C83030"), rgb("F0C040"),
                                        rgb("50A040"), rgb("8050B0"))
    icons = [
        shape(BOOK_CLOSED, blue), shape(BOOK_OPEN, blue),                         # 1, 2
        shape(BOOK_CLOSED, red), shape(BOOK_OPEN, red),                           # 3, 4
        shape(FOLDER_CLOSED, yellow), shape(FOLDER_OPEN, yellow),                 # 5, 6
        shape(FOLDER_CLOSED, green), shape(FOLDER_OPEN, green),                   # 7, 8
        with_sign(shape(BOOK_CLOSED, purple), "star"),                            # 9
        with_sign(shape(BOOK_OPEN, purple), "star"),                              # 10
        page(),                                                                   # 11
        page("question"), page("exclaim"), page("arrow"), page("globe"),          # 12-15
        page("picture"), page("note"), page("pencil"), page("check"),             # 16-19
        page("cross"), page("star"), page("info"),                                # 20-22
        icon(icon_question), icon(icon_info), icon(icon_warning), icon(icon_stop),  # 23-26
        icon(icon_globe), icon(icon_bulb), icon(icon_key), icon(icon_magnifier),    # 27-30
        icon(icon_envelope), icon(icon_gear), icon(icon_house), icon(icon_star),    # 31-34
        icon(icon_flag), icon(icon_clock), icon(icon_person),                       # 35-37
        icon(icon_arrow), icon(lambda i: icon_arrow(i, True)),                      # 38, 39
        icon(icon_disk), icon(icon_printer), icon(icon_lock),                       # 40-42
    ]
    assert len(icons) == 42
    return icons


# ---------------------------------------------------------------------------------------------
# Template sets: one drawing per picture, coloured and framed by the set.

SETS = {
    # bar gradient top/bottom, glyph colour, glyph shade, button plate (None: no plate), books
    "general": dict(bar=("F4F4F4", "D4D4D4"), glyph="404040", shade="909090", plate=None,
                    books=("707880", "C8A040")),
    "default": dict(bar=("EEF3FB", "C4D4EE"), glyph="1E4E9C", shade="7CA0D8", plate=None,
                    books=("3068C8", "F0C040")),
    "xpblue": dict(bar=("8EB4EE", "245EDB"), glyph="FFFFFF", shade="1A3E8C", plate=("5A8CE8", "1C4CB8"),
                   books=("2C5CC8", "F0C040")),
    "xpgreen": dict(bar=("D4DEB4", "8FA46A"), glyph="FFFFFF", shade="4E6030", plate=("A8BC78", "6E8446"),
                    books=("6E8C3C", "E8C858")),
    "xpsilver": dict(bar=("FAFAFC", "BEBDCF"), glyph="3C3C58", shade="9896B0", plate=("F0F0F6", "B4B2C8"),
                     books=("8A88A8", "D8C070")),
}

GLYPHS = {
    "home": [
        "......KK......",
        ".....KSSK.....",
        "....KSSSSK....",
        "...KSSSSSSK...",
        "..KSSSSSSSSK..",
        ".KSSSSSSSSSSK.",
        "KKKSSSSSSSSKKK",
        "..KSSSSSSSSK..",
        "..KSSKKKSSSK..",
        "..KSSK.KSSSK..",
        "..KSSK.KSSSK..",
        "..KSSK.KSSSK..",
        "..KKKKKKKKKK..",
    ],
    "prev": [
        "......KK.....",
        ".....KSK.....",
        "....KSSK.....",
        "...KSSSKKKKKK",
        "..KSSSSSSSSSK",
        ".KSSSSSSSSSSK",
        "KSSSSSSSSSSSK",
        ".KSSSSSSSSSSK",
        "..KSSSSSSSSSK",
        "...KSSSKKKKKK",
        "....KSSK.....",
        ".....KSK.....",
        "......KK.....",
    ],
    "print": [
        "...KKKKKKKK...",
        "...KWWWWWWK...",
        "...KWWWWWWK...",
        "...KWWWWWWK...",
        "KKKKKKKKKKKKKK",
        "KSSSSSSSSSSSSK",
        "KSSSSSSSSSSGSK",
        "KSSSSSSSSSSSSK",
        "KSSKKKKKKKKSSK",
        "KKKKWWWWWWKKKK",
        "...KWWWWWWK...",
        "...KWWWWWWK...",
        "...KKKKKKKK...",
    ],
    "hide": [
        "....KK...KK",
        "...KSK..KSK",
        "..KSSK.KSSK",
        ".KSSSKKSSSK",
        "KSSSSKSSSSK",
        ".KSSSKKSSSK",
        "..KSSK.KSSK",
        "...KSK..KSK",
        "....KK...KK",
    ],
}

# Two arrows, right above left.
_SYNC_ARROW = [
    "........KK..",
    "KKKKKKKKSSK.",
    "KSSSSSSSSSSK",
    "KKKKKKKKSSK.",
    "........KK..",
]
GLYPHS["sync"] = _SYNC_ARROW + ["............"] + [r[::-1] for r in _SYNC_ARROW]


def flip(rows):
    return [r[::-1] for r in rows]


def button_image(set_vals, glyph_rows, size):
    img = Image(size, size)
    glyph = rgb(set_vals["glyph"])
    shade = rgb(set_vals["shade"])
    plate = set_vals["plate"]
    if plate:
        top, bottom = rgb(plate[0]), rgb(plate[1])
        for y in range(1, size - 1):
            c = mix(top, bottom, (y - 1) / (size - 3))
            for x in range(1, size - 1):
                img.set(x, y, c)
        # Rounded corners: leave the corner pixels of the plate out.
        edge = mix(bottom, BLACK, 0.3)
        img.frame(1, 1, size - 2, size - 2, edge)
        for x, y in ((1, 1), (size - 2, 1), (1, size - 2), (size - 2, size - 2)):
            img.set(x, y, None)
    gh, gw = len(glyph_rows), len(glyph_rows[0])
    x0, y0 = (size - gw) // 2, (size - gh) // 2
    img.art(glyph_rows, {"K": shade, "S": glyph, "W": WHITE if plate is None else mix(glyph, shade, 0.2),
                         "G": rgb("30C030")}, x0, y0)
    return img


def set_images(name):
    v = SETS[name]
    out = {}
    bg = Image(8, 32)
    top, bottom = rgb(v["bar"][0]), rgb(v["bar"][1])
    for y in range(32):
        c = mix(top, bottom, y / 31)
        for x in range(8):
            bg.set(x, y, c)
    out["wh_bg.gif"] = bg
    out["wh_home.gif"] = button_image(v, GLYPHS["home"], 20)
    out["wh_prev.gif"] = button_image(v, GLYPHS["prev"], 20)
    out["wh_next.gif"] = button_image(v, flip(GLYPHS["prev"]), 20)
    out["wh_print.gif"] = button_image(v, GLYPHS["print"], 20)
    out["wht_hide.gif"] = button_image(v, GLYPHS["hide"], 16)
    small_arrow = [r[1:] for r in GLYPHS["prev"][2:11]]
    out["wht_prev.gif"] = button_image(v, small_arrow, 16)
    out["wht_next.gif"] = button_image(v, flip(small_arrow), 16)
    out["wht_sync.gif"] = button_image(v, GLYPHS["sync"], 16)
    book, folder = rgb(v["books"][0]), rgb(v["books"][1])
    pairs = [(BOOK_CLOSED, BOOK_OPEN, book), (BOOK_CLOSED, BOOK_OPEN, mix(book, rgb("C03030"), 0.7)),
             (FOLDER_CLOSED, FOLDER_OPEN, folder), (FOLDER_CLOSED, FOLDER_OPEN, mix(folder, rgb("40A040"), 0.7))]
    for i, (closed, opened, colour) in enumerate(pairs):
        out["%d.gif" % (2 * i + 1)] = shape(closed, colour)
        out["%d.gif" % (2 * i + 2)] = shape(opened, colour)
    return out


# ---------------------------------------------------------------------------------------------
# Output


def write(path, img):
    full = os.path.join(ROOT, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(gif_bytes(img))


def png_bytes(w, h, rows):
    raw = b"".join(b"\x00" + bytes(r) for r in rows)

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def contact_sheet(path, groups, scale=4):
    """Every picture on a chequered ground, one group per row, for looking at."""
    cell = 34 * scale
    cols = max(len(g) for g in groups)
    w, h = cols * cell, len(groups) * cell
    pixels = [[(200, 200, 200) if ((x // 8 + y // 8) % 2) else (235, 235, 235) for x in range(w)]
              for y in range(h)]
    for gy, group in enumerate(groups):
        for gx, img in enumerate(group):
            for y in range(img.h):
                for x in range(img.w):
                    p = img.get(x, y)
                    if p is None:
                        continue
                    for sy in range(scale):
                        for sx in range(scale):
                            pixels[gy * cell + y * scale + sy][gx * cell + x * scale + sx] = p
    rows = [[c for p in row for c in p] for row in pixels]
    with open(path, "wb") as f:
        f.write(png_bytes(w, h, rows))


def main(argv):
    for i, img in enumerate(TREE_IMAGES):
        write("output/runtime/wh_%d.gif" % i, img)
    icons = contents_icons()
    for i, img in enumerate(icons):
        write("host/icons/chm_icon%d.gif" % (i + 1), img)
    sheets = [TREE_IMAGES, icons[:21], icons[21:]]
    for name in SETS:
        images = set_images(name)
        for file_name, img in images.items():
            write("host/whtemplates-src/images/%s/%s" % (name, file_name), img)
        sheets.append(list(images.values()))
    if len(argv) == 3 and argv[1] == "--sheet":
        contact_sheet(argv[2], sheets)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
