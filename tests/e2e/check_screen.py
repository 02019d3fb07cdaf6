"""Checks the screen of a starting show: 1024 x 768, black around the panel,
and the panel picture at the panel frame's place where no control covers it.
With a second screen's size, the X screen holds that screen right of the
show's, and it must be black all over.

    check_screen.py PANEL.bmp SCREEN.xwd [WIDTHxHEIGHT]

Prints the problems and ends with status 1 when there are any.
"""

import sys

from PIL import Image

from screens import load


def main():
    panel = Image.open(sys.argv[1]).convert("RGB")
    screen = load(sys.argv[2])
    problems = []
    if len(sys.argv) > 3:
        width, height = (int(n) for n in sys.argv[3].split("x"))
        if screen.crop((1024, 0, 1024 + width, height)).getextrema() != ((0, 0),) * 3:
            problems.append("the second screen is not black all over")
        screen = screen.crop((0, 0, 1024, 768))
    if screen.size != (1024, 768):
        problems.append("screen is %dx%d" % screen.size)
    # The black surround, away from the panel.
    for point in ((1023, 0), (0, 767), (1023, 767), (900, 400), (400, 700)):
        if screen.getpixel(point) != (0, 0, 0):
            problems.append("not black at %s: %s" % (point, screen.getpixel(point)))
    # The panel picture lies at the panel frame's place (48, 24) plus its own
    # offset (0, 8); parts that no control covers must show it unchanged.
    left, top = 48, 32
    for box in ((8, 4, 210, 56), (20, 270, 58, 470), (620, 100, 640, 470)):
        want = panel.crop(box)
        got = screen.crop((box[0] + left, box[1] + top, box[2] + left, box[3] + top))
        if list(want.getdata()) != list(got.getdata()):
            problems.append("panel part %s differs" % (box,))
    if problems:
        print("\n".join(problems))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
