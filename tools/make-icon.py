#!/usr/bin/env python3
"""Draws Tavi's program icon and writes it as a 256-colour .ico file.

The picture: a blue globe with its meridians (the network), and a round white badge at the
lower right with two opposed arrows (switching between places). It is designed on a 32 x 32
grid and drawn again for every size that Windows asks for at 100 to 200 % scaling (the
small icon of the title bar and the notification area, 16 to 32 pixels, and the large one,
32 to 64), so that no size is a stretched copy of another. Drawn with 8 x 8 samples per
pixel; a pixel is opaque when at least half of its samples are covered, and takes the
average colour of the covered samples, so edges stay clean on any background.

    tools/make-icon.py [output.ico]      (default: src/app/tavi.ico)
"""
import math
import os
import struct
import sys

DESIGN = 32
SIZES = (16, 20, 24, 32, 40, 48, 64)
SAMPLES = 8


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def globe(x, y):
    """Colour of the globe at (x, y), or None outside it."""
    cx, cy, r = 14.0, 14.0, 12.5
    dx, dy = x - cx, y - cy
    d = math.hypot(dx, dy)
    if d > r:
        return None
    if d > r - 1.1:
        return (16, 52, 120)  # rim
    # Light from the upper left.
    light = (-(dx + dy) / (2 * r)) * 0.5 + 0.5
    base = mix((20, 80, 170), (110, 180, 245), light)
    # Meridians: ellipses of shrinking width; parallels: horizontal circles.
    line = (225, 240, 255)
    for k in (0.0, 0.5, 0.85):
        w = r * k
        if w < 0.5:
            if abs(dx) < 0.55:
                return mix(base, line, 0.8)
            continue
        inside = 1 - (dy / r) ** 2
        if inside > 0 and abs(abs(dx) - w * math.sqrt(inside)) < 0.55:
            return mix(base, line, 0.7)
    for py in (-0.5, 0.0, 0.5):
        if abs(dy - py * r) < 0.5:
            return mix(base, line, 0.7)
    return base


def arrow(x, y, y0, direction):
    """An arrow along y = y0 from x 19.5 to 29, head on the side of direction (+1 right)."""
    left, right, half = 19.6, 28.4, 0.9
    head = 3.2
    tip = right if direction > 0 else left
    base_x = tip - direction * head
    # Head: a triangle from base_x to tip.
    along = (x - base_x) * direction
    if 0 <= along <= head and abs(y - y0) <= (head - along) * 0.95:
        return True
    # Shaft.
    lo, hi = sorted((left if direction > 0 else right, base_x))
    return lo <= x <= hi and abs(y - y0) <= half


def badge(x, y):
    """Colour of the switching badge at (x, y), or None outside it."""
    cx, cy, r = 24.0, 24.0, 7.6
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    if d > r - 1.0:
        return (90, 90, 90)
    if arrow(x, y, 21.8, +1):
        return (230, 120, 20)  # orange, to the right
    if arrow(x, y, 26.2, -1):
        return (40, 150, 60)  # green, to the left
    return (252, 252, 248)


def sample(x, y):
    colour = badge(x, y)
    if colour is None:
        colour = globe(x, y)
    return colour


def render(size):
    scale = DESIGN / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            covered = []
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = sample((px + (sx + 0.5) / SAMPLES) * scale,
                               (py + (sy + 0.5) / SAMPLES) * scale)
                    if c is not None:
                        covered.append(c)
            if len(covered) * 2 < SAMPLES * SAMPLES:
                row.append(None)
            else:
                n = len(covered)
                row.append(tuple(int(round(sum(c[i] for c in covered) / n)) for i in range(3)))
        pixels.append(row)
    return pixels


def quantise(pixels):
    """Palette of at most 255 colours (index 0 stays black for transparent pixels)."""
    bits = 8
    while True:
        shift = 8 - bits
        def key(c):
            return tuple((v >> shift) << shift for v in c)
        colours = sorted({key(c) for row in pixels for c in row if c is not None})
        if len(colours) <= 255:
            break
        bits -= 1
    palette = [(0, 0, 0)] + colours
    index = {c: i for i, c in enumerate(palette)}
    indices = [[0 if c is None else index[key(c)] for c in row] for row in pixels]
    return palette, indices


def bitmap(pixels):
    """One image of the file: a bitmap header, the palette, the colours and the AND mask,
    each row of both padded to four bytes."""
    size = len(pixels)
    palette, indices = quantise(pixels)
    palette += [(0, 0, 0)] * (256 - len(palette))
    pad = bytes(-size % 4)
    xor = b"".join(bytes(indices[y]) + pad for y in reversed(range(size)))
    mask_bytes = (size + 31) // 32 * 4
    and_rows = []
    for y in reversed(range(size)):
        bits = 0
        for x in range(size):
            if pixels[y][x] is None:
                bits |= 1 << (mask_bytes * 8 - 1 - x)
        and_rows.append(bits.to_bytes(mask_bytes, "big"))
    mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, len(xor) + len(mask),
                         0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + colours + xor + mask


def write_ico(path, images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for pixels, data in images:
        size = len(pixels)
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(data for _, data in images))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "app", "tavi.ico")
    images = []
    for size in SIZES:
        pixels = render(size)
        images.append((pixels, bitmap(pixels)))
    write_ico(path, images)
    print("Icon written to", path)


if __name__ == "__main__":
    main()
