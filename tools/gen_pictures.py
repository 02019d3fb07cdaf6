#!/usr/bin/python3
"""Draws the three pictures of the show window into forms/.

panel.bmp  640 x 480, uncompressed 8-bit Windows bitmap with a 256-colour
           palette (308,278 bytes): the quiz panel behind the controls.
maru.gif   256 x 256 GIF89a with one transparent colour: the right-answer mark.
batsu.gif  256 x 256 GIF89a with one transparent colour: the wrong-answer mark.
panel@2x.png, maru@2x.png, batsu@2x.png
           the same pictures at twice the density (1280 x 960, 512 x 512 with
           an alpha channel), for screens with a device pixel ratio of 2.

and the program's icon for the desktop into desktop/icons/, as PNGs in the
sizes of the hicolor theme (montera-16.png to montera-256.png): the panel's
yellow lettering on its blue frame.

The panel's parts are placed where the window's controls lie on it, in the
picture's own pixels (the picture sits 8 pixels below the panel frame's top).

Needs Debian's python3-pil and fonts-ipafont-gothic. Run from anywhere:
    tools/gen_pictures.py [output-folder]
"""

import struct
import subprocess
import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFilter, ImageFont

SCALE = 4  # drawn at four times the size, then reduced, for smooth edges
DENSITIES = (1, 2)  # each picture is written for these device pixel ratios

NAVY = (8, 28, 84)
DEEP_BLUE = (14, 48, 140)
BLUE = (28, 86, 206)
LIGHT_BLUE = (120, 170, 255)
WHITE = (255, 255, 255)
YELLOW = (255, 212, 64)
ORANGE = (255, 140, 0)
RED = (222, 24, 32)


def font_file(family):
    path = subprocess.run(["fc-match", "-f", "%{file}", family], check=True,
                          capture_output=True, text=True).stdout.strip()
    if not ImageFont.truetype(path, 10).getname()[0].startswith(family):
        sys.exit(f"font {family} not found (install fonts-ipafont-gothic)")
    return path


GOTHIC = font_file("IPAGothic")
PGOTHIC = font_file("IPAPGothic")


def font(path, pixels):
    return ImageFont.truetype(path, pixels * SCALE)


def s(*values):
    """Scales picture coordinates to the drawing canvas."""
    return tuple(v * SCALE for v in values)


def vertical_gradient(size, top, bottom):
    width, height = size
    column = Image.new("RGB", (1, height))
    for y in range(height):
        t = y / max(1, height - 1)
        column.putpixel((0, y), tuple(round(a + (b - a) * t) for a, b in zip(top, bottom)))
    return column.resize((width, height))


def rounded_mask(size, box, radius):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(box, radius=radius, fill=255)
    return mask


def centred_text(draw, centre, text, fnt, fill, stroke=0, stroke_fill=None):
    draw.text(centre, text, font=fnt, fill=fill, anchor="mm",
              stroke_width=stroke, stroke_fill=stroke_fill)


def draw_panel():
    w, h = 640, 480
    canvas = Image.new("RGB", s(w, h), (0, 0, 0))

    # The blue rounded frame: a light rim around a top-to-bottom gradient.
    canvas.paste(LIGHT_BLUE, mask=rounded_mask(canvas.size, s(0, 0, w - 1, h - 1), 26 * SCALE))
    body = vertical_gradient(canvas.size, BLUE, DEEP_BLUE)
    canvas.paste(body, mask=rounded_mask(canvas.size, s(3, 3, w - 4, h - 4), 23 * SCALE))
    draw = ImageDraw.Draw(canvas)

    # The logo lettering at the top left, with a soft shadow.
    logo_font = font(PGOTHIC, 38)
    shadow = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(shadow).text(s(19, 32), "モンテラ", font=logo_font, fill=160, anchor="lm",
                                stroke_width=3 * SCALE, stroke_fill=160)
    shadow = shadow.filter(ImageFilter.GaussianBlur(3 * SCALE))
    canvas.paste((0, 0, 30), mask=shadow)
    draw.text(s(16, 29), "モンテラ", font=logo_font, fill=YELLOW, anchor="lm",
              stroke_width=3 * SCALE, stroke_fill=NAVY)
    draw.text(s(19, 52), "QUIZ  SCREEN  SAVER", font=font(GOTHIC, 9), fill=(170, 200, 255), anchor="lm")

    # The title bar: set title and mode on the left, the counters at its right end.
    draw.rounded_rectangle(s(216, 5, 632, 45), radius=9 * SCALE, fill=NAVY,
                           outline=LIGHT_BLUE, width=2 * SCALE)
    draw.line(s(508, 10, 508, 40), fill=BLUE, width=2 * SCALE)

    # The question area, with a light edge.
    draw.rounded_rectangle(s(12, 58, 628, 235), radius=12 * SCALE, fill=(214, 226, 250))
    draw.rounded_rectangle(s(14, 60, 626, 233), radius=10 * SCALE, fill=WHITE)

    # The TIME tab and the groove that the time bar runs in.
    draw.rounded_rectangle(s(6, 236, 66, 256), radius=5 * SCALE, fill=ORANGE)
    draw.text(s(36, 243), "TIME", font=font(GOTHIC, 11), fill=WHITE, anchor="mm",
              stroke_width=SCALE // 2, stroke_fill=WHITE)
    draw.rectangle(s(5, 249, 620, 262), fill=NAVY)
    draw.rectangle(s(6, 250, 619, 261), fill=(4, 14, 44))

    # Five answer bars, each with a round numbered tab.
    number_font = font(GOTHIC, 17)
    for slot in range(5):
        top = 280 + 40 * slot
        middle = top + 8.5
        draw.rounded_rectangle(s(64, top - 4, 616, top + 20), radius=7 * SCALE, fill=(214, 226, 250))
        draw.rounded_rectangle(s(66, top - 2, 614, top + 18), radius=6 * SCALE, fill=WHITE)
        draw.ellipse(s(22, middle - 16, 54, middle + 16), fill=WHITE)
        draw.ellipse(s(24, middle - 14, 52, middle + 14), fill=ORANGE)
        centred_text(draw, s(38, middle + 1), str(slot + 1), number_font, WHITE,
                     stroke=SCALE // 2, stroke_fill=WHITE)

    return canvas


def write_bmp8(image, path):
    """Writes an uncompressed 8-bit bitmap with a full 256-entry palette."""
    indexed = image.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[:768]
    palette += [0] * (768 - len(palette))
    width, height = indexed.size
    stride = (width + 3) & ~3
    pixels = indexed.tobytes()
    rows = b"".join(pixels[y * width:(y + 1) * width] + b"\0" * (stride - width)
                    for y in reversed(range(height)))
    table = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0))
                     for i in range(256))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(rows), 3780, 3780, 256, 0)
    path.write_bytes(header + info + table + rows)


def write_mark(image, path):
    """Writes RGBA as a GIF89a whose fully transparent pixels share one colour."""
    rgb = image.convert("RGB")
    alpha = image.getchannel("A")
    indexed = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    palette = indexed.getpalette()[:765]
    palette += [0] * (765 - len(palette))
    transparent = 255
    data = bytearray(indexed.tobytes())
    for i, a in enumerate(alpha.tobytes()):
        if a < 128:
            data[i] = transparent
    out = Image.frombytes("P", image.size, bytes(data))
    out.putpalette(palette + [255, 0, 255])
    out.save(path, format="GIF", transparency=transparent, optimize=False)


def mark_canvas():
    return Image.new("RGBA", s(256, 256), (0, 0, 0, 0))


def draw_maru():
    canvas = mark_canvas()
    draw = ImageDraw.Draw(canvas)
    # A thick ring with a white edge, so that its hard outline reads on any
    # background.
    draw.ellipse(s(6, 6, 250, 250), fill=WHITE + (255,))
    draw.ellipse(s(10, 10, 246, 246), fill=(20, 70, 220, 255))
    draw.ellipse(s(52, 52, 204, 204), fill=WHITE + (255,))
    draw.ellipse(s(56, 56, 200, 200), fill=(0, 0, 0, 0))
    label = font(PGOTHIC, 50)
    draw.text(s(128, 130), "正解", font=label, fill=(20, 70, 220, 255), anchor="mm",
              stroke_width=5 * SCALE, stroke_fill=WHITE + (255,))
    draw.text(s(128, 130), "正解", font=label, fill=(20, 70, 220, 255), anchor="mm",
              stroke_width=SCALE, stroke_fill=(20, 70, 220, 255))
    return canvas


def draw_batsu():
    canvas = mark_canvas()
    draw = ImageDraw.Draw(canvas)
    for (x0, y0, x1, y1) in ((30, 30, 226, 226), (226, 30, 30, 226)):
        draw.line(s(x0, y0, x1, y1), fill=WHITE + (255,), width=50 * SCALE)
    for (x0, y0, x1, y1) in ((30, 30, 226, 226), (226, 30, 30, 226)):
        for x, y in ((x0, y0), (x1, y1)):
            draw.ellipse(s(x - 25, y - 25, x + 25, y + 25), fill=WHITE + (255,))
    for (x0, y0, x1, y1) in ((30, 30, 226, 226), (226, 30, 30, 226)):
        draw.line(s(x0, y0, x1, y1), fill=RED + (255,), width=42 * SCALE)
        for x, y in ((x0, y0), (x1, y1)):
            draw.ellipse(s(x - 21, y - 21, x + 21, y + 21), fill=RED + (255,))
    label = font(PGOTHIC, 46)
    draw.text(s(128, 130), "不正解", font=label, fill=WHITE + (255,), anchor="mm",
              stroke_width=7 * SCALE, stroke_fill=(120, 0, 10, 255))
    draw.text(s(128, 130), "不正解", font=label, fill=WHITE + (255,), anchor="mm",
              stroke_width=SCALE, stroke_fill=WHITE + (255,))
    return canvas


ICON_SIZES = (16, 32, 48, 64, 128, 256)


def draw_icon():
    size = 256
    canvas = Image.new("RGBA", s(size, size), (0, 0, 0, 0))
    canvas.paste(LIGHT_BLUE + (255,), mask=rounded_mask(canvas.size, s(8, 8, 247, 247), 48 * SCALE))
    body = vertical_gradient(canvas.size, BLUE, DEEP_BLUE)
    canvas.paste(body, mask=rounded_mask(canvas.size, s(18, 18, 237, 237), 40 * SCALE))
    draw = ImageDraw.Draw(canvas)
    draw.text(s(128, 132), "モ", font=font(PGOTHIC, 190), fill=YELLOW, anchor="mm",
              stroke_width=12 * SCALE, stroke_fill=NAVY)
    return canvas


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent / "forms"
    # Each picture is drawn once on the large canvas and reduced to each density.
    pictures = (("panel", draw_panel(), write_bmp8, "bmp"), ("maru", draw_maru(), write_mark, "gif"),
                ("batsu", draw_batsu(), write_mark, "gif"))
    for name, canvas, write_1x, extension in pictures:
        for density in DENSITIES:
            size = (canvas.width * density // SCALE, canvas.height * density // SCALE)
            picture = canvas.resize(size, Image.LANCZOS)
            if density == 1:
                path = out / f"{name}.{extension}"
                write_1x(picture, path)
            else:
                path = out / f"{name}@{density}x.png"
                picture.save(path, optimize=True)
            print(f"{path}: {path.stat().st_size} bytes")

    icons = Path(sys.argv[1]) if len(sys.argv) > 1 else out.parent / "desktop" / "icons"
    icons.mkdir(parents=True, exist_ok=True)
    icon = draw_icon()
    for size in ICON_SIZES:
        icon.resize((size, size), Image.LANCZOS).save(icons / f"montera-{size}.png", optimize=True)
    print(f"{icons}: montera-{{{','.join(map(str, ICON_SIZES))}}}.png")


if __name__ == "__main__":
    main()
