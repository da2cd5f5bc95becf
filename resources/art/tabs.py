#!/usr/bin/env python3
"""Writes the 24 semester tab pictures as SVG files into the folder given.

Every tab k has three looks, each a single bold digit:
  pic<k>.svg       27 x 34  selected: plain purple, centred
  pic<k>click.svg  30 x 40  unselected: yellow-green with a blue glow, centred
  mouse<k>.svg     35 x 36  under the pointer: blue with an orange glow

The hover picture shares its top left corner with the selected picture on screen but is
larger, so its digit stands where the selected picture's centre is, not in its own centre:
the digit lights up in place instead of jumping to the right.
"""
import pathlib
import sys

BACKGROUND = "#c0c0c0"
FONT = "font-family=\"DejaVu Sans\" font-weight=\"bold\""
FONT_SIZE = 27
# DejaVu Sans Bold digits stand 0.729 em tall on the baseline, so half of that below the
# picture's middle puts the digit's middle on the picture's middle.
DIGIT_HALF_HEIGHT = 0.729 * FONT_SIZE / 2

SELECTED_CENTRE = (27 / 2, 34 / 2)

LOOKS = {
    # name pattern: (width, height, fill, stroke, glow colour or None, digit centre or None)
    "pic{k}": (27, 34, "#5b1f9e", "#3b0f70", None, None),
    "pic{k}click": (30, 40, "#b4dc14", "#7fa300", "#1f5fff", None),
    "mouse{k}": (35, 36, "#1d4fd8", "#0b2f9a", "#ff8a00", SELECTED_CENTRE),
}


def glow_filter(colour):
    """A soft halo hugging the digit: its outline spread a little, blurred and made strong."""
    return f"""  <defs>
    <filter id="glow" x="-50%" y="-50%" width="200%" height="200%" color-interpolation-filters="sRGB">
      <feMorphology in="SourceAlpha" operator="dilate" radius="0.8" result="wide"/>
      <feGaussianBlur in="wide" stdDeviation="1.2"/>
      <feComponentTransfer result="soft"><feFuncA type="linear" slope="2.4"/></feComponentTransfer>
      <feFlood flood-color="{colour}"/>
      <feComposite in2="soft" operator="in"/>
      <feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>
    </filter>
  </defs>
"""


def tab_svg(digit, width, height, fill, stroke, glow, centre):
    centre_x, centre_y = centre if centre else (width / 2, height / 2)
    baseline = centre_y + DIGIT_HALF_HEIGHT
    defs = glow_filter(glow) if glow else ""
    filt = ' filter="url(#glow)"' if glow else ""
    return f"""<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" viewBox="0 0 {width} {height}">
{defs}  <rect width="{width}" height="{height}" fill="{BACKGROUND}"/>
  <text x="{centre_x}" y="{baseline:.2f}" {FONT} font-size="{FONT_SIZE}" text-anchor="middle"
        fill="{fill}" stroke="{stroke}" stroke-width="0.6" paint-order="stroke"{filt}>{digit}</text>
</svg>
"""


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: tabs.py OUTPUT_FOLDER")
    folder = pathlib.Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for k in range(1, 9):
        for pattern, look in LOOKS.items():
            (folder / (pattern.format(k=k) + ".svg")).write_text(tab_svg(k, *look))


if __name__ == "__main__":
    main()
