#!/usr/bin/env python3
"""Writes the program's icon and banner bitmaps: plain artwork of our own.

make-artwork.py OUT_DIR
"""
import os
import struct
import sys

BLUE = (0x1f, 0x4e, 0x9a)
LIGHT = (0xd8, 0xe6, 0xf7)
WHITE = (0xff, 0xff, 0xff)
ORANGE = (0xf0, 0x8a, 0x24)


def bmp24(width, height, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y from the top."""
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54) + header + data


def icon_image(size):
    """One 32-bit icon image (XOR bitmap with alpha, then an empty AND mask)."""
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            border = x in (0, size - 1) or y in (0, size - 1)
            # a "V" drawn in white on the blue tile, over an orange baseline
            v = abs(x - size // 2) * 2 in range(size - 2 * y - 3, size - 2 * y + 3) and y < size * 3 // 4
            base = y >= size * 13 // 16 and not border
            r, g, b = WHITE if v else ORANGE if base else (0x10, 0x30, 0x70) if border else BLUE
            xor += bytes((b, g, r, 0xff))
    mask_stride = ((size + 31) // 32) * 4
    mask = b"\0" * (mask_stride * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + mask


def ico(sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def banner(x, y, width, height):
    t = x / max(width - 1, 1)
    return tuple(int(a + (b - a) * t) for a, b in zip(BLUE, LIGHT))


def stripes(x, y, width, height):
    return ORANGE if (x // 6) % 2 == 0 else WHITE


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        "app.ico": ico([32, 16]),
        "banner143.bmp": bmp24(236, 30, lambda x, y: banner(x, y, 236, 30)),
        "logo129.bmp": bmp24(142, 30, lambda x, y: WHITE if 4 < y < 26 and 8 < x < 134 and (x + y) % 9 else BLUE),
        "band130.bmp": bmp24(142, 13, lambda x, y: stripes(x, y, 142, 13)),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
