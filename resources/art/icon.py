#!/usr/bin/env python3
"""Packs the program icon: for each size, a 16-colour and a 256-colour image with a mask,
then any PNG images as they are (the 256-pixel image that Windows takes PNG-compressed).

usage: icon.py OUT.ico SIZE COLOURS16.bmp COLOURS256.bmp MASK.gray [SIZE ...] [IMAGE.png ...]

COLOURS16.bmp holds at most 15 colours and COLOURS256.bmp at most 255 (any uncompressed
palette bitmap of 1, 4 or 8 bits per pixel); MASK.gray is SIZE*SIZE bytes, 0 where the icon
is transparent. Palette entry 0 of every image is black, the colour that transparent pixels
must carry so that the screen shows through them.
"""
import struct
import sys


def read_palette_bitmap(path):
    """(width, height, palette as (r, g, b) list, rows of palette indices from the top)."""
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"icon.py: {path} is not a bitmap")
    offset = struct.unpack_from("<I", data, 10)[0]
    (header_size, width, height, _planes, bits, compression, _image_size, _xres, _yres,
     colours_used, _important) = struct.unpack_from("<IiiHHIIiiII", data, 14)
    if bits not in (1, 4, 8) or compression != 0:
        sys.exit(f"icon.py: {path} has {bits} bits per pixel, compression {compression}")
    count = colours_used or (1 << bits)
    base = 14 + header_size
    palette = [(data[base + 4 * i + 2], data[base + 4 * i + 1], data[base + 4 * i])
               for i in range(count)]
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        stored = abs(height) - 1 - y if height > 0 else y
        row_bytes = data[offset + stored * stride: offset + (stored + 1) * stride]
        row = []
        for x in range(width):
            bit = x * bits
            byte = row_bytes[bit // 8]
            row.append((byte >> (8 - bits - bit % 8)) & ((1 << bits) - 1))
        rows.append(row)
    return width, abs(height), palette, rows


def icon_image(size, bitmap_path, mask, bits):
    width, height, palette, rows = read_palette_bitmap(bitmap_path)
    if (width, height) != (size, size):
        sys.exit(f"icon.py: {bitmap_path} is {width}x{height}, not {size}x{size}")
    # Only the colours that opaque pixels use, after black for the transparent ones.
    used = sorted({rows[y][x] for y in range(size) for x in range(size) if mask[y * size + x]})
    if len(used) + 1 > (1 << bits):
        sys.exit(f"icon.py: {bitmap_path} uses {len(used)} colours, too many for {bits} bits")
    new_index = {old: i + 1 for i, old in enumerate(used)}
    colours = [(0, 0, 0)] + [palette[old] for old in used]
    colours += [(0, 0, 0)] * ((1 << bits) - len(colours))

    xor_stride = (size * bits + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # bottom row first
        xor_row, and_row = bytearray(xor_stride), bytearray(and_stride)
        for x in range(size):
            opaque = mask[y * size + x] != 0
            index = new_index[rows[y][x]] if opaque else 0
            bit = x * bits
            xor_row[bit // 8] |= index << (8 - bits - bit % 8)
            if not opaque:
                and_row[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(bytes(xor_row))
        and_rows.append(bytes(and_row))
    pixels = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, len(pixels), 0, 0, 0, 0)
    palette_bytes = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
    return header + palette_bytes + pixels


def png_image(path):
    """(size, bits, data) of a square PNG image, stored unchanged."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        sys.exit(f"icon.py: {path} is not a PNG image")
    width, height, depth, colour_type = struct.unpack_from(">IIBB", data, 16)
    if width != height or width > 256 or (depth, colour_type) != (8, 6):
        sys.exit(f"icon.py: {path} is not a square 32-bit RGBA PNG of at most 256 pixels")
    return width, 32, data


def main():
    args = sys.argv[1:]
    pngs = [a for a in args[1:] if a.endswith(".png")]
    groups = [a for a in args[1:] if not a.endswith(".png")]
    if len(args) < 2 or len(groups) % 4:
        sys.exit(__doc__)
    out_path = args[0]
    images = []  # (size, bits, data)
    for i in range(0, len(groups), 4):
        size = int(groups[i])
        mask = open(groups[i + 3], "rb").read()
        if len(mask) != size * size:
            sys.exit(f"icon.py: mask {groups[i + 3]} has {len(mask)} bytes, not {size * size}")
        images.append((size, 4, icon_image(size, groups[i + 1], mask, 4)))
        images.append((size, 8, icon_image(size, groups[i + 2], mask, 8)))
    images += [png_image(path) for path in pngs]

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colour_count = 16 if bits == 4 else 0
        side = size % 256  # 256 is written as 0
        directory += struct.pack("<BBBBHHII", side, side, colour_count, 0, 1, bits, len(data),
                                 offset)
        offset += len(data)
    with open(out_path, "wb") as out:
        out.write(directory)
        for _size, _bits, data in images:
            out.write(data)


if __name__ == "__main__":
    main()
