"""Measures the show's panel on a screen taken with `xwd`, drawn at a whole
display factor.

    panel_size.py SCREEN.xwd FACTOR PANEL.bmp PANEL@2x.png

Prints "panel=LEFT,TOP picture=WIDTHxHEIGHT text=ROWS": the panel picture's
place and size on the screen and the height of the question's first line of
text in pixels. Then one line per problem, if any: the panel is not wholly on
the screen, or the parts of the picture that no control covers differ from
the picture drawn for that factor (the one made for twice the size above 1).
"""

import sys

from PIL import Image

from screens import load


def first_line_rows(area):
    """Counts the rows of the first run of rows that hold dark text pixels."""
    grey = area.convert("L")
    width, height = grey.size
    pixels = grey.load()
    rows = [any(pixels[x, y] < 96 for x in range(width)) for y in range(height)]
    if True not in rows:
        return 0
    start = rows.index(True)
    end = start
    while end < height and rows[end]:
        end += 1
    return end - start


def main():
    screen = load(sys.argv[1])
    factor = int(sys.argv[2])
    picture = Image.open(sys.argv[3] if factor == 1 else sys.argv[4]).convert("RGB")
    if factor > 2:
        picture = picture.resize((640 * factor, 480 * factor), Image.BICUBIC)
    problems = []
    # The panel is the only thing on the black screen.
    box = screen.getbbox()
    if box is None:
        print("panel=none picture=0x0 text=0")
        print("nothing but black on the screen")
        sys.exit(0)
    left, top, right, bottom = box
    if (right - left, bottom - top) != (640 * factor, 480 * factor):
        problems.append("the panel is %dx%d at %d,%d: not wholly on the screen"
                        % (right - left, bottom - top, left, top))
    # Parts of the picture that no control covers, in design pixels.
    if factor <= 2:
        for part in ((8, 4, 210, 56), (20, 270, 58, 470), (620, 100, 640, 470)):
            scaled = tuple(n * factor for n in part)
            want = picture.crop(scaled)
            got = screen.crop((scaled[0] + left, scaled[1] + top, scaled[2] + left, scaled[3] + top))
            if list(want.getdata()) != list(got.getdata()):
                problems.append("panel part %s differs from the picture at %dx" % (part, factor))
    # The question area, inside its white box: lblDoc at (24, 72) of the
    # picture, 593 x 161 design pixels; the question number line at its foot
    # is left out.
    area = screen.crop((left + 24 * factor, top + 72 * factor, left + 617 * factor, top + 210 * factor))
    print("panel=%d,%d picture=%dx%d text=%d" % (left, top, right - left, bottom - top, first_line_rows(area)))
    for problem in problems:
        print(problem)


if __name__ == "__main__":
    main()
