#!/usr/bin/env python3
"""Draws the program's icon (16x16 and 32x32) and its pointing-hand pointer (32x32, hot spot 12,1)
as 16-colour .ico and .cur files. Usage: make_images.py ICON_OUT CURSOR_OUT"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255),
    (255, 255, 255),
]
BLACK, OLIVE, SILVER, GREY, LIME, YELLOW, WHITE, GREEN = 0, 3, 7, 8, 10, 11, 15, 2
CLEAR = None


def canvas(size):
    return [[CLEAR] * size for _ in range(size)]


def fill(pixels, left, top, right, bottom, colour):
    """Fills the rectangle from (left, top) to (right, bottom), both inclusive."""
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            pixels[y][x] = colour


def outline(pixels, colour):
    """Gives every clear pixel next to a drawn one the colour: a one-pixel border round the shapes."""
    size = len(pixels)
    edge = []
    for y in range(size):
        for x in range(size):
            if pixels[y][x] is not CLEAR:
                continue
            near = [(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1) if dx or dy]
            if any(0 <= nx < size and 0 <= ny < size and pixels[ny][nx] is not CLEAR for nx, ny in near):
                edge.append((x, y))
    for x, y in edge:
        pixels[y][x] = colour


def archive_icon(size):
    """A yellow archive box with a green arrow leaving it: files coming out of a BIF."""
    s = size / 32
    p = canvas(size)

    def box(l, t, r, b, c):
        fill(p, int(l * s), int(t * s), int((r + 1) * s) - 1, int((b + 1) * s) - 1, c)

    box(3, 13, 23, 29, YELLOW)   # front
    box(24, 13, 28, 29, OLIVE)   # side
    box(3, 10, 28, 12, SILVER)   # lid
    box(3, 19, 23, 20, OLIVE)    # band
    box(11, 17, 15, 22, WHITE)   # label
    # A green arrow pointing up out of the box: head rows widen downwards, then the shaft.
    for row in range(max(2, int(5 * s))):
        half = row + (0 if size > 16 else 0)
        y = int(1 * s) + row
        for x in range(int(15.5 * s) - half, int(16.5 * s) + half):
            if 0 <= x < size:
                p[y][x] = LIME
    box(14, 5, 17, 9, LIME)
    outline(p, BLACK)
    return p


def pointing_hand():
    """A white hand with its index finger up; the fingertip's outline is the hot spot (12, 1)."""
    p = canvas(32)
    fill(p, 11, 2, 13, 16, WHITE)    # index finger
    fill(p, 15, 8, 17, 16, WHITE)    # middle finger
    fill(p, 19, 9, 21, 16, WHITE)    # ring finger
    fill(p, 23, 11, 25, 16, WHITE)   # little finger
    fill(p, 11, 16, 25, 24, WHITE)   # palm
    fill(p, 7, 16, 10, 19, WHITE)    # thumb
    fill(p, 9, 20, 10, 22, WHITE)
    fill(p, 13, 25, 24, 29, WHITE)   # wrist
    outline(p, BLACK)
    # Knuckle gaps: the outline between fingers already separates them; close the palm's edge.
    for x in (14, 18, 22):
        for y in range(9, 16):
            if p[y][x] is WHITE:
                p[y][x] = BLACK
    return p


def dib(pixels):
    """The image as an icon resource stores it: header, palette, 4-bit colours, 1-bit mask, bottom-up."""
    size = len(pixels)
    colour_row = ((size * 4 + 31) // 32) * 4
    mask_row = ((size + 31) // 32) * 4
    colours = bytearray()
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(colour_row)
        bits = bytearray(mask_row)
        for x in range(size):
            index = pixels[y][x]
            if index is CLEAR:
                bits[x // 8] |= 0x80 >> (x % 8)
                index = 0
            row[x // 2] |= index << (4 if x % 2 == 0 else 0)
        colours += row
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(colours) + len(mask), 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + bytes(colours) + bytes(mask)


def icon_file(kind, images):
    """kind 1 is an icon, 2 a cursor; images are (pixels, hot_x, hot_y)."""
    data = struct.pack('<HHH', 0, kind, len(images))
    offset = 6 + 16 * len(images)
    bodies = []
    for pixels, hot_x, hot_y in images:
        body = dib(pixels)
        size = len(pixels)
        planes, bits = (1, 4) if kind == 1 else (hot_x, hot_y)
        data += struct.pack('<BBBBHHII', size % 256, size % 256, 16, 0, planes, bits, len(body), offset)
        offset += len(body)
        bodies.append(body)
    return data + b''.join(bodies)


def main():
    icon_path, cursor_path = sys.argv[1], sys.argv[2]
    with open(icon_path, 'wb') as out:
        out.write(icon_file(1, [(archive_icon(32), 0, 0), (archive_icon(16), 0, 0)]))
    with open(cursor_path, 'wb') as out:
        out.write(icon_file(2, [(pointing_hand(), 12, 1)]))


if __name__ == '__main__':
    main()
