#!/usr/bin/env python3
"""Draws Norva's icons and writes them as .ico files beside this script.

norva.ico       program icon (16 and 32 pixels): a memory chip
tasktray00.ico  tray icon, normal (16, 20, 24 and 32 pixels, the small-icon
                sizes up to 192 DPI): the green chip
tasktray01.ico  tray icon, cleaning (the same sizes): the chip in orange with
                a broom sweeping across it

Each image is stored twice: 32-bit with alpha for current systems and
8-bit with a palette for the older ones, which pick the form they can show.
Run it again after changing a picture; the .ico files are committed.
"""
import os
import struct

CLEAR = None


def blank(size):
    return [[CLEAR] * size for _ in range(size)]


def rect(img, x0, y0, x1, y1, colour):
    """Fills the rectangle with inclusive corners."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            if 0 <= x < len(img) and 0 <= y < len(img):
                img[y][x] = colour


def line(img, x0, y0, x1, y1, colour, pen=1):
    """A line drawn with a square pen of pen x pen pixels (its top left on the line)."""
    steps = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        rect(img, x, y, x + pen - 1, y + pen - 1, colour)


def scaler(size):
    """p(v): where v of the 16-pixel drawing lies at this size (rounded)."""
    return lambda v: int(v * size / 16 + 0.5)


def chip(size, body, light, dark, pin):
    """A memory chip seen from above: body, pins top and bottom, a notch."""
    p = scaler(size)
    img = blank(size)
    # pins
    for i in range(4):
        x = 3 + i * 3
        rect(img, p(x), p(1), p(x + 1) - 1, p(3) - 1, pin)
        rect(img, p(x), p(13), p(x + 1) - 1, p(15) - 1, pin)
    # body with a lit top-left edge and a dark bottom-right edge
    rect(img, p(1), p(3), p(15) - 1, p(13) - 1, body)
    rect(img, p(1), p(3), p(15) - 1, p(4) - 1, light)
    rect(img, p(1), p(3), p(2) - 1, p(13) - 1, light)
    rect(img, p(1), p(12), p(15) - 1, p(13) - 1, dark)
    rect(img, p(14), p(3), p(15) - 1, p(13) - 1, dark)
    # the notch marking pin 1
    rect(img, p(1), p(7), p(2) - 1, p(9) - 1, dark)
    # two memory cells
    rect(img, p(4), p(6), p(7) - 1, p(10) - 1, dark)
    rect(img, p(9), p(6), p(12) - 1, p(10) - 1, dark)
    return img


def broom(img, handle, bristle):
    """A broom lying across the chip, from the top right to the bottom left."""
    size = len(img)
    p = scaler(size)
    pen = p(1)
    line(img, p(15) - pen, 0, p(7) - pen + 1, p(7) + pen - 1, handle, pen)
    line(img, p(15) - pen, p(1), p(7) - pen + 1, p(8) + pen - 1, handle, pen)
    # bristles fanning out at the lower left
    for i in range(5):
        line(img, p(7), p(8), p(i * 2), p(15) - pen, bristle, pen)
        line(img, p(8) - pen, p(8), p(1 + i * 2), p(15) - pen, bristle, pen)
    # sweep marks
    rect(img, p(11), p(11), p(15) - 1, p(12) - 1, bristle)
    rect(img, p(12), p(13), p(15) - 1, p(14) - 1, bristle)


GREEN = ((0x1E, 0x8C, 0x3C), (0x5F, 0xD0, 0x7A), (0x0B, 0x4A, 0x1E))
ORANGE = ((0xE0, 0x70, 0x10), (0xFF, 0xB0, 0x50), (0x80, 0x38, 0x00))
PIN = (0xD8, 0xB0, 0x40)
HANDLE = (0xFF, 0xFF, 0xFF)
BRISTLE = (0xFF, 0xF0, 0x60)


def normal(size):
    return chip(size, *GREEN, PIN)


def cleaning(size):
    img = chip(size, *ORANGE, PIN)
    broom(img, HANDLE, BRISTLE)
    return img


def and_mask(img):
    size = len(img)
    row_bytes = ((size + 31) // 32) * 4
    out = b""
    for y in reversed(range(size)):
        bits = bytearray(row_bytes)
        for x in range(size):
            if img[y][x] is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += bytes(bits)
    return out


def header(size, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def image32(img):
    size = len(img)
    data = header(size, 32, 0)
    for y in reversed(range(size)):
        for x in range(size):
            c = img[y][x]
            data += struct.pack("BBBB", 0, 0, 0, 0) if c is CLEAR else struct.pack(
                "BBBB", c[2], c[1], c[0], 255)
    return data + and_mask(img)


def image8(img):
    size = len(img)
    palette = [(0, 0, 0)]
    for row in img:
        for c in row:
            if c is not CLEAR and c not in palette:
                palette.append(c)
    assert len(palette) <= 256
    data = header(size, 8, 256)
    for i in range(256):
        r, g, b = palette[i] if i < len(palette) else (0, 0, 0)
        data += struct.pack("BBBB", b, g, r, 0)
    row_bytes = ((size + 3) // 4) * 4
    for y in reversed(range(size)):
        row = bytearray(row_bytes)
        for x in range(size):
            c = img[y][x]
            row[x] = 0 if c is CLEAR else palette.index(c)
        data += bytes(row)
    return data + and_mask(img)


def write_ico(path, images):
    """images: list of (pixels, bits)."""
    blobs = [(len(img), bits, image32(img) if bits == 32 else image8(img)) for img, bits in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, bits, blob in blobs:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    for _, _, blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_ico(os.path.join(here, "norva.ico"),
              [(normal(32), 32), (normal(16), 32), (normal(32), 8), (normal(16), 8)])
    # The tray's small-icon sizes at 96, 120, 144 and 192 pixels per inch.
    for name, draw in (("tasktray00.ico", normal), ("tasktray01.ico", cleaning)):
        write_ico(os.path.join(here, name),
                  [(draw(16), 32), (draw(16), 8)] + [(draw(n), 32) for n in (20, 24, 32)])


if __name__ == "__main__":
    main()
