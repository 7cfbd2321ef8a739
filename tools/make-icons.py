#!/usr/bin/env python3
"""Draws the programs' icons: 48 x 48 pixels, 24 bits per pixel, one image
per .ico file. frame/calculator.ico serves Quorvit, Lumbrane and Tessovar;
determinant/zelcombe.ico is Zelcombe's own. Run from the repository root."""
import struct
import sys

SIZE = 48


def blank(top, bottom):
    """A vertical gradient from colour top to colour bottom."""
    rows = []
    for y in range(SIZE):
        t = y / (SIZE - 1)
        c = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        rows.append([c] * SIZE)
    return rows


def fill(img, x0, y0, x1, y1, colour):
    for y in range(y0, y1):
        for x in range(x0, x1):
            img[y][x] = colour


def bracket_matrix(img, ink, left, right):
    """Two square brackets with a 2 x 2 grid of small blocks between them."""
    fill(img, left, 8, left + 3, 40, ink)
    fill(img, left, 8, left + 7, 11, ink)
    fill(img, left, 37, left + 7, 40, ink)
    fill(img, right - 3, 8, right, 40, ink)
    fill(img, right - 7, 8, right, 11, ink)
    fill(img, right - 7, 37, right, 40, ink)
    for gx in (left + 9, right - 17):
        for gy in (13, 27):
            fill(img, gx, gy, gx + 8, gy + 3, ink)  # numerator
            fill(img, gx, gy + 4, gx + 8, gy + 5, ink)  # fraction bar
            fill(img, gx, gy + 6, gx + 8, gy + 9, ink)  # denominator


def determinant_bars(img, ink):
    fill(img, 6, 6, 10, 42, ink)
    fill(img, 38, 6, 42, 42, ink)
    for gy in (12, 22, 32):
        fill(img, 14, gy, 34, gy + 2, ink)
        fill(img, 22, gy + 3, 26, gy + 5, ink)


def write_ico(path, img):
    xor = bytearray()
    for row in reversed(img):  # bottom-up, blue-green-red
        for r, g, b in row:
            xor += bytes((b, g, r))
    and_mask = bytes(8 * SIZE)  # fully opaque; rows padded to 32 bits
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, 2 * SIZE, 1, 24, 0,
                         len(xor) + len(and_mask), 0, 0, 0, 0)
    image = header + bytes(xor) + and_mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(directory + entry + image)


def main():
    calculator = blank((40, 90, 170), (20, 40, 100))
    bracket_matrix(calculator, (255, 255, 255), 4, 44)
    write_ico('frame/calculator.ico', calculator)

    zelcombe = blank((30, 140, 90), (10, 70, 40))
    determinant_bars(zelcombe, (255, 240, 200))
    write_ico('determinant/zelcombe.ico', zelcombe)
    return 0


if __name__ == '__main__':
    sys.exit(main())
