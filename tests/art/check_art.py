#!/usr/bin/env python3
# The committed pictures as the resource script names them, in every set: size, depth and
# background of each, the version the About picture was rendered for, each tab digit centred
# where it is seen, and the icon's images.
#   check_art.py RESOURCES_DIR PROJECT_VERSION
import re
import struct
import sys
from collections import Counter
from pathlib import Path

resources, version = Path(sys.argv[1]), sys.argv[2]
GREY = (192, 192, 192)
# name: width, height, bits per pixel, background
PICTURES = {"cgpasplash": (400, 279, 8, GREY), "about": (400, 279, 8, GREY),
            "twin": (100, 300, 8, GREY), "graduate": (76, 100, 8, GREY),
            "picture1": (41, 40, 24, GREY), "picture2": (38, 38, 24, GREY),
            "diploma": (100, 100, 8, GREY), "good": (180, 203, 8, GREY),
            "bad": (180, 203, 8, GREY), "normal": (180, 202, 8, (194, 194, 194))}
# Tab looks: name pattern, size, and twice the centre of the digit as seen on screen (the hover
# picture shares its top left corner with the selected one, so its digit sits at that centre).
TABS = [("pic{}", 27, 34, (27, 34)), ("pic{}click", 30, 40, (30, 40)), ("mouse{}", 35, 36, (27, 34))]
for pattern, width, height, _ in TABS:
    PICTURES.update({pattern.format(k): (width, height, 8, GREY) for k in range(1, 9)})
# The sets, each drawn for the dialog base units of its scale: a picture is its 100 % size
# times those units over 6 x 13, halves rounded up.
SETS = {"": (6, 13), "_125": (8, 16), "_150": (9, 20), "_200": (12, 26)}


def scaled(size, units):
    return tuple((2 * v * u + n) // (2 * n) for v, u, n in zip(size, units, (6, 13)))


PICTURES = {name + suffix: scaled(look[:2], units) + look[2:]
            for suffix, units in SETS.items() for name, look in PICTURES.items()}
failures = []


def load(name):
    data = (resources / "bitmaps" / f"{name}.bmp").read_bytes()
    size, offset = struct.unpack_from("<I4xI", data, 2)
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if data[:2] != b"BM" or size != len(data) or compression != 0 or bits not in (8, 24):
        failures.append(f"{name}: not an uncompressed 8- or 24-bit bitmap")
        return width, height, bits, []
    palette = [tuple(data[at:at + 3][::-1]) for at in range(54, offset, 4)]
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        at = offset + stride * (abs(height) - 1 - y if height > 0 else y)
        rows.append([palette[data[at + x]] if bits == 8 else tuple(data[at + 3 * x:at + 3 * x + 3][::-1])
                     for x in range(width)])
    return width, abs(height), bits, rows


script = (resources / "gradewick.rc").read_text()
named = dict(re.findall(r'^\s*(\w+)\s+BITMAP\s+"bitmaps/([^"]+)\.bmp"', script, re.M))
if sorted(named.values()) != sorted(PICTURES) or any(k.lower() != v for k, v in named.items()):
    failures.append(f"the resource script names {sorted(named.values())}")
for name, (width, height, bits, background) in PICTURES.items():
    got = load(name)
    if got[:3] != (width, height, bits):
        failures.append(f"{name}: {got[:3]}, expected {(width, height, bits)}")
        continue
    rows = got[3]
    corners = {rows[0][0], rows[0][-1], rows[-1][0], rows[-1][-1]}
    commonest = Counter(c for row in rows for c in row).most_common(1)[0][0]
    if corners != {background} or commonest != background:
        failures.append(f"{name}: background {corners} / {commonest}, expected {background}")
for (pattern, width, height, centre2), suffix in [(t, s) for t in TABS for s in SETS]:
    centre_x2, centre_y2 = scaled(centre2, SETS[suffix])
    for k in range(1, 9):
        rows = load(pattern.format(k) + suffix)[3]
        ink = [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row)
               if sum(abs(v - 192) for v in c) > 90]
        xs, ys = [x for x, _ in ink] or [0], [y for _, y in ink] or [0]
        slack_x, slack_y = 3 * SETS[suffix][0] / 6, 3 * SETS[suffix][1] / 13  # 3 at 100 %, scaled
        if (abs(min(xs) + max(xs) + 1 - centre_x2) > slack_x or abs(min(ys) + max(ys) + 1 - centre_y2) > slack_y
                or max(ys) - min(ys) < 18):
            failures.append(f"{pattern.format(k)}{suffix}: digit at x {min(xs)}..{max(xs)}, y {min(ys)}..{max(ys)}")
icon = (resources / "gradewick.ico").read_bytes()  # 16 to 64 pixels in 16 and 256 colours, 256 in PNG
if [struct.unpack_from("<BBBxHH", icon, 6 + 16 * i) for i in range(struct.unpack_from("<H", icon, 4)[0])] != [
        (size, size, 16 * (bits == 4), 1, bits) for size in (16, 20, 24, 32, 40, 48, 64) for bits in (4, 8)] + [(0, 0, 0, 1, 32)]:
    failures.append("the icon does not hold its 15 images")
if (resources / "bitmaps" / "about.version").read_text() != version + "\n":
    failures.append("the About picture shows another version: run scripts/render-art.sh")
print("\n".join(failures) or f"{len(PICTURES)} pictures checked")
sys.exit(1 if failures else 0)
