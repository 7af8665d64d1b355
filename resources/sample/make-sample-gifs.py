#!/usr/bin/env python3
"""Draws the six sample pictures image.0.gif ... image.5.gif that Quorvin serves from this
folder: small, quiet 88 x 31 banners in soft colours, one pattern each. Run it here to
draw them again; it needs nothing but Python."""

import struct

WIDTH, HEIGHT = 88, 31

# (background, foreground) per picture, as RGB.
PALETTES = [
    ((0xEE, 0xF4, 0xFA), (0x9C, 0xB8, 0xD6)),
    ((0xF4, 0xF7, 0xEC), (0xA9, 0xC4, 0x8F)),
    ((0xFB, 0xF3, 0xE8), (0xE0, 0xB4, 0x86)),
    ((0xF6, 0xEE, 0xF6), (0xC7, 0xA4, 0xCC)),
    ((0xEE, 0xF7, 0xF5), (0x8E, 0xC9, 0xBD)),
    ((0xF5, 0xF5, 0xF5), (0xBB, 0xBB, 0xBB)),
]


def pattern(kind, x, y):
    """1 where the foreground colour goes."""
    if kind == 0:  # soft stripes
        return int((x + y) % 12 < 4)
    if kind == 1:  # dots
        return int(x % 8 in (3, 4) and y % 8 in (3, 4))
    if kind == 2:  # waves
        return int(abs((x % 16) - 8) // 2 == y % 8 // 2)
    if kind == 3:  # checks
        return int((x // 6 + y // 6) % 2 == 0)
    if kind == 4:  # hills
        return int(y > 20 - abs((x % 30) - 15) // 2)
    return int(x in (0, WIDTH - 1) or y in (0, HEIGHT - 1))  # a plain frame


def lzw_codes(pixels):
    """Minimal-code-size 2 LZW data without compression: a clear code before every few
    literal codes keeps every code 3 bits wide, which any decoder accepts."""
    clear, end = 4, 5
    codes = []
    for i, value in enumerate(pixels):
        if i % 2 == 0:
            codes.append(clear)
        codes.append(value)
    codes.append(end)
    data, bits, count = bytearray(), 0, 0
    for code in codes:
        bits |= code << count
        count += 3
        while count >= 8:
            data.append(bits & 0xFF)
            bits >>= 8
            count -= 8
    if count:
        data.append(bits & 0xFF)
    return bytes(data)


def gif(kind):
    background, foreground = PALETTES[kind]
    palette = bytes(background + foreground + (0, 0, 0) + (0xFF, 0xFF, 0xFF))
    pixels = [pattern(kind, x, y) for y in range(HEIGHT) for x in range(WIDTH)]
    data = lzw_codes(pixels)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    return (b"GIF89a" + struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF1, 0, 0) + palette
            + b"," + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)
            + b"\x02" + blocks + b"\x00;")


if __name__ == "__main__":
    for kind in range(6):
        with open(f"image.{kind}.gif", "wb") as out:
            out.write(gif(kind))
