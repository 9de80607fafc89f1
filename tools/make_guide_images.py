#!/usr/bin/env python3
"""Draws the user guide's pictures (guide/images/*.gif). Standard library only."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'guide', 'images')


def gif(path, width, height, palette, pixels):
    """Writes an 8-bit GIF89a. LZW is emitted with a clear code every 250 pixels, so every code
    stays 9 bits wide: larger than needed, but simple and valid."""
    assert len(palette) <= 256
    pal = bytearray()
    for rgb in palette + [(0, 0, 0)] * (256 - len(palette)):
        pal += bytes(rgb)
    codes = []
    clear, end = 256, 257
    for i in range(0, len(pixels), 250):
        codes.append(clear)
        codes.extend(pixels[i:i + 250])
    codes.append(end)
    bits, nbits, data = 0, 0, bytearray()
    for c in codes:
        bits |= c << nbits
        nbits += 9
        while nbits >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        data.append(bits & 0xFF)
    out = bytearray(b'GIF89a')
    out += width.to_bytes(2, 'little') + height.to_bytes(2, 'little') + bytes([0xF7, 0, 0]) + pal
    out += b',' + bytes(4) + width.to_bytes(2, 'little') + height.to_bytes(2, 'little') + b'\x00'
    out += b'\x08'
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    out += b'\x00;'
    with open(path, 'wb') as f:
        f.write(out)


def canvas(w, h, fill=0):
    return [[fill] * w for _ in range(h)]


def rect(c, x0, y0, x1, y1, colour):
    for y in range(max(0, y0), min(len(c), y1)):
        for x in range(max(0, x0), min(len(c[0]), x1)):
            c[y][x] = colour


def flat(c):
    return [p for row in c for p in row]


def logo():
    # white, navy, sky, light grey, orange
    pal = [(255, 255, 255), (31, 78, 121), (110, 168, 220), (220, 226, 234), (240, 150, 40)]
    w, h = 96, 48
    c = canvas(w, h)
    rect(c, 4, 6, 40, 42, 1)       # a closed book
    rect(c, 8, 10, 36, 38, 2)
    rect(c, 20, 10, 22, 38, 1)
    rect(c, 42, 22, 46, 26, 4)     # an arrow from the book to the browser
    for i in range(10):
        rect(c, 46 + i, 22 - (9 - i) // 2, 47 + i, 26 + (9 - i) // 2, 4)
    rect(c, 58, 6, 92, 42, 3)      # a browser window
    rect(c, 58, 6, 92, 12, 1)
    rect(c, 60, 14, 70, 40, 2)
    rect(c, 72, 14, 90, 16, 1)
    for y in range(19, 40, 4):
        rect(c, 72, y, 88, y + 1, 1)
    gif(os.path.join(OUT, 'logo.gif'), w, h, pal, flat(c))


def layout():
    pal = [(255, 255, 255), (31, 78, 121), (110, 168, 220), (200, 210, 222), (90, 90, 90)]
    w, h = 240, 150
    c = canvas(w, h)
    rect(c, 0, 0, w, h, 4)
    rect(c, 1, 1, w - 1, h - 1, 0)
    rect(c, 1, 1, w - 1, 22, 1)     # header bar
    for i, x in enumerate((6, 46, 86)):
        rect(c, x, 8, x + 36, 22, 2 if i == 0 else 3)
    for x in (170, 186, 202, 218):  # buttons
        rect(c, x, 6, x + 12, 18, 0)
    rect(c, 1, 22, 70, h - 1, 3)    # navigation pane
    for y in range(30, 130, 10):
        rect(c, 8 + (y // 10 % 3) * 6, y, 60, y + 4, 1)
    rect(c, 70, 22, 71, h - 1, 4)
    for y in range(32, 140, 8):     # topic text
        rect(c, 80, y, 230 - (y * 7) % 50, y + 3, 4)
    gif(os.path.join(OUT, 'layout.gif'), w, h, pal, flat(c))


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    logo()
    layout()
