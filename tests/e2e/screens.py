"""Screens taken with `xwd` and the colours the end-to-end checks look for."""

import os
import sys

from PIL import ImageChops

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from xwdtopng import read_xwd  # noqa: E402

# The cross is drawn in pure red, which nothing else on the panel uses; the
# circle in one blue (20, 70, 220); the picked slot turns orange (255, 128, 0)
# and, after a miss with the answer shown, the right one green.
# Each is a range per channel: red, green, blue.
RED = ((201, 255), (0, 79), (0, 79))
RING = ((9, 31), (59, 81), (209, 231))
ORANGE = ((231, 255), (101, 159), (0, 39))
# The right slot after a miss, with 正解を表示する on: (128, 224, 128).
GREEN = ((113, 143), (209, 239), (113, 143))


def load(path):
    """Reads an XWD dump into an RGB image."""
    with open(path, "rb") as dump:
        return read_xwd(dump.read())


def count(image, ranges):
    """Counts the pixels whose red, green and blue lie in the three ranges."""
    masks = [band.point([255 if low <= value <= high else 0 for value in range(256)])
             for band, (low, high) in zip(image.split(), ranges)]
    mask = ImageChops.darker(ImageChops.darker(masks[0], masks[1]), masks[2])
    return mask.histogram()[255]
