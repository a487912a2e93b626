#!/usr/bin/env python3
"""Draws the small flag pictures of the language folders (24 x 16, 24-bit BMP).

Run from anywhere: python3 tools/flags/makeflags.py
The output depends on nothing but this script, so the committed files can be
checked by running it again and comparing.
"""
import os
import struct

WIDTH, HEIGHT = 24, 16
FRAME = (128, 128, 128)


def bmp_bytes(pixels):
    """pixels[y][x] = (r, g, b), y = 0 at the top; BMP rows are stored bottom-up."""
    row_size = (WIDTH * 3 + 3) & ~3
    body = bytearray()
    for y in range(HEIGHT - 1, -1, -1):
        row = bytearray()
        for r, g, b in pixels[y]:
            row += bytes((b, g, r))
        row += b"\0" * (row_size - len(row))
        body += row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(body), 0, 0, header_size)
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(body),
                              2835, 2835, 0, 0)
    return file_header + info_header + bytes(body)


def framed(draw):
    pixels = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            edge = x in (0, WIDTH - 1) or y in (0, HEIGHT - 1)
            row.append(FRAME if edge else draw(x, y))
        pixels.append(row)
    return pixels


def english(x, y):
    blue, white, red = (0, 36, 125), (255, 255, 255), (200, 16, 46)
    cx, cy = x + 0.5, y + 0.5
    # Centre cross: white with a red core.
    dx, dy = abs(cx - WIDTH / 2), abs(cy - HEIGHT / 2)
    if dx < 1.5 or dy < 1.5:
        return red
    if dx < 2.5 or dy < 2.5:
        return white
    # Diagonals: perpendicular distance to both corner-to-corner lines.
    slope = HEIGHT / WIDTH
    norm = (1 + slope * slope) ** 0.5
    d = min(abs(cy - slope * cx), abs(cy - (HEIGHT - slope * cx))) / norm
    if d < 0.8:
        return red
    if d < 1.8:
        return white
    return blue


def russian(x, y):
    if y < 6:
        return (255, 255, 255)
    if y < 11:
        return (0, 57, 166)
    return (213, 43, 30)


def main():
    root = os.path.normpath(os.path.join(os.path.dirname(__file__), "..", ".."))
    for folder, draw in (("ENG", english), ("RUS", russian)):
        path = os.path.join(root, "data", "Languages", folder, "Flag.bmp")
        with open(path, "wb") as f:
            f.write(bmp_bytes(framed(draw)))
        print(path)


if __name__ == "__main__":
    main()
