"""Prints "cross" when the screen shows the cross (drawn in pure red), else
"circle".

    screen_mark.py SCREEN.xwd
"""

import sys

from screens import RED, count, load


def main():
    print("cross" if count(load(sys.argv[1]), RED) > 50 else "circle")


if __name__ == "__main__":
    main()
