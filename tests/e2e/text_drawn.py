"""Tells drawn text from boxes on a show's first screen: the panel picture at
its designed place (48, 32), with the question and the five choices over it.

    text_drawn.py PANEL.bmp SCREEN.xwd

Every pixel that differs from the panel picture is ink. The ink falls into
lines, and each line into pieces at its blank columns. A line of text has
pieces of many shapes; a font without the characters draws the same box (or
nothing) for each of them. Prints "lines=N" (the lines with four pieces or
more of which most differ) and ends with status 1 when fewer than six, the
question and the five choices, are such lines.
"""

import sys

from PIL import Image, ImageChops

from screens import load

LEFT, TOP = 48, 32


def pieces(mask, top, bottom):
    """The column runs with ink between the rows, each as (ink, width, height)."""
    width = mask.width
    columns = [any(mask.getpixel((x, y)) for y in range(top, bottom)) for x in range(width)]
    found, start = [], None
    for x in range(width + 1):
        inked = x < width and columns[x]
        if inked and start is None:
            start = x
        elif not inked and start is not None:
            box = mask.crop((start, top, x, bottom))
            rows = [y for y in range(box.height) if any(box.getpixel((i, y)) for i in range(box.width))]
            ink = box.histogram()[255]
            found.append((ink, x - start, rows[-1] - rows[0] + 1))
            start = None
    return found


def shapes(found):
    """How many shapes the pieces have: alike within a pixel and a tenth of the ink."""
    kinds = []
    for ink, width, height in found:
        if not any(abs(width - w) <= 1 and abs(height - h) <= 1 and abs(ink - i) <= max(2, i // 10)
                   for i, w, h in kinds):
            kinds.append((ink, width, height))
    return len(kinds)


def main():
    panel = Image.open(sys.argv[1]).convert("RGB")
    screen = load(sys.argv[2]).crop((LEFT, TOP, LEFT + panel.width, TOP + panel.height))
    difference = ImageChops.difference(screen, panel).convert("L")
    mask = difference.point(lambda value: 255 if value > 60 else 0)
    rows = [any(mask.getpixel((x, y)) for x in range(mask.width)) for y in range(mask.height)]
    text_lines, start = 0, None
    for y in range(mask.height + 1):
        inked = y < mask.height and rows[y]
        if inked and start is None:
            start = y
        elif not inked and start is not None:
            found = pieces(mask, start, y)
            if len(found) >= 4 and shapes(found) * 10 >= len(found) * 6:
                text_lines += 1
            start = None
    print("lines=%d" % text_lines)
    sys.exit(0 if text_lines >= 6 else 1)


if __name__ == "__main__":
    main()
