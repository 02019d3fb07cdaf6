"""Compares the screens taken before an answer key, 0.3 s and 0.9 s after it.

    judge_screens.py BEFORE.xwd EARLY.xwd LATE.xwd [SLOT]

Prints one line: the mark that covers the question ("circle", "cross" or
"unclear"), the panel's place and the pixel counts; then one line per
problem, if any. SLOT is the slot 0 to 4 that must have turned orange.
"""

import sys

from PIL import ImageChops

from screens import ORANGE, RED, RING, count, load


def main():
    before, early, late = (load(path) for path in sys.argv[1:4])
    problems = []
    reds = count(early, RED)
    rings = count(early, RING) - count(before, RING)
    oranges = count(early, ORANGE) - count(before, ORANGE)
    if reds > 5000:
        mark = "cross"
    elif reds < 50 and rings > 5000:
        mark = "circle"
    else:
        mark = "unclear"
        problems.append("neither mark: %d red pixels, %d more ring-blue ones" % (reds, rings))
    if oranges < 3000:
        problems.append("no slot turned orange (%d more orange pixels)" % oranges)
    if ImageChops.difference(early, late).getbbox() is not None:
        problems.append("the screen changed during the result display")
    # The panel is the only thing on the black screen.
    left, top, right, bottom = before.getbbox()
    if (right - left, bottom - top) != (640, 480):
        problems.append("the panel is %dx%d at %d,%d" % (right - left, bottom - top, left, top))
    # The slot that turned orange: the five slots are 40 pixels apart, the
    # first 288 pixels below the panel's top; their right part stays clear of
    # the marks and of the sample set's short choices.
    picked = -1
    for slot in range(5):
        y = top + 288 + 40 * slot
        box = (left + 470, y - 6, left + 600, y + 7)
        if count(early.crop(box), ORANGE) - count(before.crop(box), ORANGE) > 500:
            picked = slot if picked == -1 else -2
    if len(sys.argv) > 4 and picked != int(sys.argv[4]):
        problems.append("slot %d turned orange, not slot %s" % (picked, sys.argv[4]))
    print(mark, "panel=%d,%d" % (left, top),
          "red=%d ring=%+d orange=%+d slot=%d" % (reds, rings, oranges, picked))
    for problem in problems:
        print(problem)


if __name__ == "__main__":
    main()
