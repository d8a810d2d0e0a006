"""pixels.py colours|ink WINDOW X Y WIDTH HEIGHT: reads a box of a window's pixels from the X
server, as they are on the screen.
  colours  the box's two commonest colours, background then text, as RRGGBB
  ink      WIDTHxHEIGHT of what is drawn in the box: every pixel not of its background"""

import collections
import sys

from Xlib import X, display


def pixels(window, x, y, width, height):
    image = display.Display().create_resource_object("window", window).get_image(
        x, y, width, height, X.ZPixmap, 0xFFFFFFFF)
    data = image.data  # 32 bits a pixel, blue first
    return [[tuple(data[(row * width + col) * 4 + i] for i in (2, 1, 0))
             for col in range(width)] for row in range(height)]


def main():
    command, window, *box = sys.argv[1:]
    rows = pixels(int(window, 0), *map(int, box))
    counts = collections.Counter(p for row in rows for p in row).most_common()
    background = counts[0][0]
    if command == "colours":
        text = counts[1][0] if len(counts) > 1 else background
        print(" ".join("%02x%02x%02x" % colour for colour in (background, text)))
    else:
        inked = [(r, c) for r, row in enumerate(rows) for c, p in enumerate(row) if p != background]
        if not inked:
            print("0x0")
            return
        height = max(r for r, _ in inked) - min(r for r, _ in inked) + 1
        width = max(c for _, c in inked) - min(c for _, c in inked) + 1
        print(f"{width}x{height}")


main()
