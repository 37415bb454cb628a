#!/usr/bin/python3
"""The Advanced job as a Pillow user would script it, for the side-by-side benchmark.

One picture per non-empty line of LIST, named Output<line number>.png in DEST:
the background picture stretched to the canvas, the line in Tahoma 24 pt
(32 px at 96 dpi) at Text 1's place. The picture is opened and resized once
and the font loaded once; each line is drawn on a copy and saved at
compress_level=7. With --processes N the lines are spread over a
multiprocessing.Pool of N processes, each of which sets itself up once.
"""

import argparse
import multiprocessing
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_FILE = "/usr/share/wine/fonts/tahoma.ttf"
FONT_PIXELS = 32
TEXT_COLOUR = (0, 0, 0)

# Set once per process.
background = None
font = None
settings = None


def set_up(picture, canvas, place, destination):
    global background, font, settings
    with Image.open(picture) as opened:
        background = opened.convert("RGB").resize(canvas, Image.LANCZOS)
    font = ImageFont.truetype(FONT_FILE, FONT_PIXELS)
    settings = (place, destination)


def make_image(numbered_line):
    number, text = numbered_line
    place, destination = settings
    image = background.copy()
    ImageDraw.Draw(image).text(place, text, font=font, fill=TEXT_COLOUR)
    image.save(os.path.join(destination, f"Output{number}.png"), "PNG", compress_level=7)
    return 1


def numbered_lines(list_path):
    with open(list_path, encoding="utf-8", newline="") as lines:
        for number, line in enumerate(lines, 1):
            text = line.rstrip("\r\n")
            if text:
                yield number, text


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("list")
    parser.add_argument("-o", "--dest", default=".")
    parser.add_argument("--picture", required=True)
    parser.add_argument("--canvas", default="491x215")
    parser.add_argument("--place", default="195,88")
    parser.add_argument("--processes", type=int, default=1)
    arguments = parser.parse_args()
    canvas = tuple(int(side) for side in arguments.canvas.lower().split("x"))
    place = tuple(int(value) for value in arguments.place.split(","))
    setup = (arguments.picture, canvas, place, arguments.dest)
    if arguments.processes > 1:
        with multiprocessing.Pool(arguments.processes, initializer=set_up, initargs=setup) as pool:
            made = sum(pool.imap_unordered(make_image, numbered_lines(arguments.list), chunksize=64))
    else:
        set_up(*setup)
        made = sum(make_image(line) for line in numbered_lines(arguments.list))
    print(f"Saved {made} image file(s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
