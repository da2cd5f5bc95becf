#!/usr/bin/env python3
# The committed pictures as the resource script names them: size, depth and background of each,
# the version the About picture was rendered for, and each tab digit centred where it is seen.
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
for pattern, width, height, (centre_x2, centre_y2) in TABS:
    for k in range(1, 9):
        rows = load(pattern.format(k))[3]
        ink = [(x, y) for y, row in enumerate(rows) for x, c in enumerate(row)
               if sum(abs(v - 192) for v in c) > 90]
        xs, ys = [x for x, _ in ink] or [0], [y for _, y in ink] or [0]
        if (abs(min(xs) + max(xs) + 1 - centre_x2) > 3 or abs(min(ys) + max(ys) + 1 - centre_y2) > 3
                or max(ys) - min(ys) < 18):
            failures.append(f"{pattern.format(k)}: digit at x {min(xs)}..{max(xs)}, y {min(ys)}..{max(ys)}")
if (resources / "bitmaps" / "about.version").read_text() != version + "\n":
    failures.append("the About picture shows another version: run scripts/render-art.sh")
print("\n".join(failures) or f"{len(PICTURES)} pictures checked")
sys.exit(1 if failures else 0)
