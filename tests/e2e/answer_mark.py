"""Prints the mark that covers the question ("cross" or "circle") and the
number of pixels in the green of the right slot after a miss.

    answer_mark.py SCREEN.xwd
"""

import sys

from screens import GREEN, RED, count, load


def main():
    screen = load(sys.argv[1])
    print("cross" if count(screen, RED) > 50 else "circle", count(screen, GREEN))


if __name__ == "__main__":
    main()
