#!/usr/bin/python3
"""The batch job as a Pillow user would script it, for the side-by-side benchmark.

One picture per non-empty line of LIST, named Output<line number><ext> in DEST:
the text in Tahoma 11 px (8 pt at 96 dpi) on sky blue with a 1-pixel margin.
The font is loaded once; each line is measured, drawn and saved. Encoder
settings follow pennolux's where Pillow offers the same knob (JPEG quality 90,
WebP quality 80, TIFF compression), otherwise Pillow's defaults.
"""

import argparse
import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

FONT_FILE = "/usr/share/wine/fonts/tahoma.ttf"
FONT_PIXELS = 11
BACKGROUND = (166, 202, 240)  # clSkyBlue
TEXT_COLOUR = (0, 0, 0)
MARGIN = 1

# format name: (Pillow format, extension, save options)
FORMATS = {
    "png": ("PNG", ".png", {}),
    "webp": ("WEBP", ".webp", {"quality": 80}),
    "jpeg": ("JPEG", ".jpg", {"quality": 90}),
    "tiff": ("TIFF", ".tiff", {"compression": "tiff_lzw"}),
    "gif": ("GIF", ".gif", {}),
    "bmp": ("BMP", ".bmp", {}),
}


def make_images(list_path, destination, format_name):
    pillow_format, extension, options = FORMATS[format_name]
    font = ImageFont.truetype(FONT_FILE, FONT_PIXELS)
    ascent, descent = font.getmetrics()
    height = ascent + descent + 2 * MARGIN
    made = 0
    with open(list_path, encoding="utf-8", newline="") as lines:
        for number, line in enumerate(lines, 1):
            text = line.rstrip("\r\n")
            if not text:
                continue
            width = math.ceil(font.getlength(text)) + 2 * MARGIN
            image = Image.new("RGB", (width, height), BACKGROUND)
            ImageDraw.Draw(image).text((MARGIN, MARGIN), text, font=font, fill=TEXT_COLOUR)
            image.save(os.path.join(destination, f"Output{number}{extension}"), pillow_format, **options)
            made += 1
    return made


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("list")
    parser.add_argument("-o", "--dest", default=".")
    parser.add_argument("-f", "--format", default="png", choices=sorted(FORMATS))
    arguments = parser.parse_args()
    made = make_images(arguments.list, arguments.dest, arguments.format)
    print(f"Saved {made} image file(s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
