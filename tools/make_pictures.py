#!/usr/bin/python3
"""Draws the program's pictures and icon into resources/.

    banner.bmp        MainWindow's banner, BMP 427 x 22, 24 bits per pixel
    logo.gif          MainWindow's animated logo, GIF 138 x 60
    qorvella.ico      the program's icon, one 48 x 48 image, 32 bits per pixel
    footer.jpg        MainWindow's footer, JPEG 1353 x 105
    cloud_banner.jpg  CloudLinkWindow's banner, JPEG 865 x 130

Run it from anywhere: /usr/bin/python3 tools/make_pictures.py. The output depends only on
this script, Pillow and the Noto Sans CJK fonts (Debian fonts-noto-cjk).
"""

import math
import pathlib
import struct

from PIL import Image, ImageDraw, ImageFilter, ImageFont

RESOURCES = pathlib.Path(__file__).resolve().parent.parent / "resources"
NOTO = "/usr/share/fonts/opentype/noto/NotoSansCJK-{}.ttc"
NOTO_SC = 2  # face index of "Noto Sans CJK SC" in the collections

BLUE = (22, 156, 214)
DEEP_BLUE = (10, 118, 184)
WHITE = (255, 255, 255)


def font(size, bold=False):
    return ImageFont.truetype(NOTO.format("Bold" if bold else "Regular"), size, index=NOTO_SC)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


# The banner is stretched to 936 x 104 in the window; the busy indicator's labels sit on its
# lower part with backgrounds 9,158,223 and 7,156,220, so the gradient ends near those.
BANNER_TOP = (34, 170, 234)
BANNER_BOTTOM = (7, 154, 219)
BANNER_EDGE = (5, 128, 190)


def banner_colour(t):
    return mix(BANNER_TOP, BANNER_BOTTOM, t)


def make_banner():
    width, height = 427, 22
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height - 1):
        draw.line([(0, y), (width, y)], fill=banner_colour(y / (height - 2)))
    draw.line([(0, height - 1), (width, height - 1)], fill=BANNER_EDGE)
    image.save(RESOURCES / "banner.bmp")


def logo_background(width, height):
    """The banner as it lies behind the logo: the logo's box starts 8 px down the 104 px banner."""
    image = Image.new("RGB", (width, height))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        source_row = (8 + y) * 22 / 104
        draw.line([(0, y), (width, y)], fill=banner_colour(min(source_row / 20, 1.0)))
    return image


def make_logo():
    width, height = 138, 60
    scale = 4  # drawn large and reduced, for smooth edges
    big = (width * scale, height * scale)

    text = Image.new("L", big, 0)
    draw = ImageDraw.Draw(text)
    title_font = font(27 * scale, bold=True)
    box = draw.textbbox((0, 0), "Qorvella", font=title_font)
    x = (136 * scale - (box[2] - box[0])) // 2 - box[0]
    draw.text((x, 3 * scale - box[1]), "Qorvella", font=title_font, fill=255)
    tag_font = font(9 * scale)
    tag = "影 视 盒 子"
    tag_box = draw.textbbox((0, 0), tag, font=tag_font)
    tag_x = (136 * scale - (tag_box[2] - tag_box[0])) // 2 - tag_box[0]
    draw.text((tag_x, 38 * scale - tag_box[1]), tag, font=tag_font, fill=200)
    rule_y = 43 * scale
    draw.line([(14 * scale, rule_y), (tag_x - 6 * scale, rule_y)], fill=120, width=scale)
    draw.line([(tag_x + tag_box[2] - tag_box[0] + 6 * scale, rule_y), (122 * scale, rule_y)],
              fill=120, width=scale)
    text = text.resize((width, height), Image.LANCZOS)
    shadow = text.filter(ImageFilter.GaussianBlur(1.2))

    background = logo_background(width, height)
    base_text = (212, 236, 252)
    frames, durations = [], []
    steps = 16
    for step in range(steps + 1):
        # A soft diagonal sheen crosses the letters from left to right, then the logo rests.
        centre = -30 + step * (width + 60) / steps
        frame = background.copy()
        sheen = Image.new("L", (width, height))
        sheen.putdata([
            round(255 * math.exp(-(((x - centre) + 0.5 * (y - height / 2)) / 11) ** 2))
            if step < steps else 0
            for y in range(height) for x in range(width)])
        shade = Image.new("RGB", (width, height), (0, 70, 120))
        frame = Image.composite(shade, frame, shadow.point(lambda v: v * 45 // 255))
        lit = Image.composite(Image.new("RGB", (width, height), WHITE),
                              Image.new("RGB", (width, height), base_text), sheen)
        frame = Image.composite(lit, frame, text)
        glow = Image.composite(Image.new("RGB", (width, height), (110, 206, 250)), frame,
                               sheen.point(lambda v: v * 80 // 255))
        frame = Image.composite(frame, glow, text)
        frames.append(frame)
        durations.append(60 if step < steps else 2400)
    # One palette for every frame keeps the file small and the colours steady.
    strip = Image.new("RGB", (width, height * len(frames)))
    for i, frame in enumerate(frames):
        strip.paste(frame, (0, i * height))
    palette = strip.quantize(colors=64, method=Image.Quantize.MEDIANCUT)
    frames = [frame.quantize(palette=palette, dither=Image.Dither.NONE) for frame in frames]
    frames = frames[-1:] + frames[:-1]  # start at rest
    durations = durations[-1:] + durations[:-1]
    frames[0].save(RESOURCES / "logo.gif", save_all=True, append_images=frames[1:],
                   duration=durations, loop=0, disposal=1, optimize=False)


def icon_pixels():
    """The icon as RGBA rows, top row first: a blue tile with a film frame and a play mark."""
    size, scale = 48, 8
    big = size * scale
    colour = Image.new("RGB", (big, big))
    draw = ImageDraw.Draw(colour)
    top_left, bottom_right = (70, 196, 248), (8, 112, 186)
    for y in range(big):
        for_x = y / (big - 1)
        draw.line([(0, y), (big, y)], fill=mix(top_left, bottom_right, for_x))
    alpha = Image.new("L", (big, big), 0)
    ImageDraw.Draw(alpha).rounded_rectangle([scale, scale, big - scale - 1, big - scale - 1],
                                            radius=10 * scale, fill=255)

    # A film frame: two strips of sprocket holes along the top and bottom edges.
    for row_y in (7, 37):
        for i in range(6):
            x0 = (9 + i * 5.4) * scale
            draw.rounded_rectangle([x0, row_y * scale, x0 + 3 * scale, (row_y + 3.2) * scale],
                                   radius=scale, fill=(225, 244, 255))
    # The play mark: a white disc with a blue triangle.
    cx, cy, r = 24 * scale, 24.3 * scale, 10.5 * scale
    draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=WHITE)
    t = 5.6 * scale
    draw.polygon([(cx - 0.55 * t, cy - t), (cx - 0.55 * t, cy + t), (cx + 1.05 * t, cy)],
                 fill=BLUE)
    colour = colour.resize((size, size), Image.LANCZOS)
    alpha = alpha.resize((size, size), Image.LANCZOS)
    image = colour.convert("RGBA")
    image.putalpha(alpha)
    return image


def write_icon(image, path):
    """An icon file with one uncompressed 32-bit image and its AND mask, as Windows writes it."""
    width, height = image.size
    mask_stride = ((width + 31) // 32) * 4
    pixels = b"".join(
        bytes((b, g, r, a)) for y in reversed(range(height)) for x in range(width)
        for r, g, b, a in [image.getpixel((x, y))])
    mask = bytearray()
    for y in reversed(range(height)):
        row = bytearray(mask_stride)
        for x in range(width):
            if image.getpixel((x, y))[3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    data = header + pixels + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack(
        "<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data), 6 + 16)
    path.write_bytes(directory + data)


def make_icon():
    write_icon(icon_pixels(), RESOURCES / "qorvella.ico")


def draw_centred_text(draw, xy, text, text_font, fill, anchor="lm"):
    draw.text(xy, text, font=text_font, fill=fill, anchor=anchor)


def make_footer():
    # Shown stretched into 896 x 47: drawn on a canvas of that shape, then stretched to the
    # file's 1353 x 105, so that the text looks right once the window squeezes it back.
    width, height = 1353, 105
    shown_w, shown_h = 896, 47
    scale = 2
    canvas_w = width * scale
    canvas_h = round(width * shown_h / shown_w) * scale
    unit = canvas_w / shown_w  # canvas pixels per shown pixel
    image = Image.new("RGB", (canvas_w, canvas_h))
    draw = ImageDraw.Draw(image)
    for y in range(canvas_h):
        draw.line([(0, y), (canvas_w, y)], fill=mix((250, 252, 255), (228, 240, 250), y / canvas_h))
    draw.rectangle([0, 0, canvas_w, round(2 * unit)], fill=BLUE)

    mid = canvas_h / 2 + unit
    r = 9 * unit
    cx = 26 * unit
    draw.ellipse([cx - r, mid - r, cx + r, mid + r], fill=BLUE)
    t = 4.6 * unit
    draw.polygon([(cx - 0.5 * t, mid - t), (cx - 0.5 * t, mid + t), (cx + t, mid)], fill=WHITE)
    draw_centred_text(draw, (42 * unit, mid), "Qorvella", font(round(16 * unit), bold=True),
                      DEEP_BLUE)
    draw_centred_text(draw, (128 * unit, mid + 0.5 * unit), "影视盒子  ·  高清影片  ·  在线云播",
                      font(round(12 * unit)), (92, 120, 146))
    draw_centred_text(draw, (shown_w * unit - 18 * unit, mid + 0.5 * unit),
                      "影片信息来自互联网，仅供交流学习", font(round(11 * unit)), (140, 160, 180),
                      anchor="rm")
    image = image.resize((width, height), Image.LANCZOS)
    image.save(RESOURCES / "footer.jpg", quality=90, optimize=True)


def make_cloud_banner():
    width, height = 865, 130
    scale = 2
    big_w, big_h = width * scale, height * scale
    image = Image.new("RGB", (big_w, big_h))
    draw = ImageDraw.Draw(image)
    for x in range(big_w):
        draw.line([(x, 0), (x, big_h)], fill=mix((12, 132, 206), (44, 182, 238), x / big_w))

    # Soft light circles in the background.
    lights = Image.new("L", (big_w, big_h), 0)
    lights_draw = ImageDraw.Draw(lights)
    for cx, cy, r, level in [(690, 20, 90, 34), (780, 120, 60, 28), (560, 110, 40, 22),
                             (840, 40, 30, 26), (470, 10, 26, 18)]:
        lights_draw.ellipse([(cx - r) * scale, (cy - r) * scale, (cx + r) * scale,
                             (cy + r) * scale], fill=level)
    lights = lights.filter(ImageFilter.GaussianBlur(3 * scale))
    image = Image.composite(Image.new("RGB", (big_w, big_h), WHITE), image, lights)
    draw = ImageDraw.Draw(image)

    # A cloud with a play mark in it.
    cloud = Image.new("L", (big_w, big_h), 0)
    cloud_draw = ImageDraw.Draw(cloud)
    for cx, cy, r in [(86, 74, 26), (118, 56, 34), (152, 72, 26), (104, 82, 20)]:
        cloud_draw.ellipse([(cx - r) * scale, (cy - r) * scale, (cx + r) * scale,
                            (cy + r) * scale], fill=255)
    cloud_draw.rounded_rectangle([60 * scale, 70 * scale, 178 * scale, 98 * scale],
                                 radius=14 * scale, fill=255)
    shadow = cloud.filter(ImageFilter.GaussianBlur(5 * scale)).point(lambda v: v * 60 // 255)
    shadow = shadow.transform(shadow.size, Image.AFFINE, (1, 0, 0, 0, 1, -4 * scale))
    image = Image.composite(Image.new("RGB", (big_w, big_h), (0, 70, 130)), image, shadow)
    image = Image.composite(Image.new("RGB", (big_w, big_h), WHITE), image, cloud)
    draw = ImageDraw.Draw(image)
    cx, cy, t = 119 * scale, 76 * scale, 11 * scale
    draw.polygon([(cx - 0.55 * t, cy - t), (cx - 0.55 * t, cy + t), (cx + 1.05 * t, cy)],
                 fill=BLUE)

    draw.text((214 * scale, 56 * scale), "免费在线云播放器", font=font(40 * scale, bold=True),
              fill=WHITE, anchor="ls")
    draw.text((216 * scale, 88 * scale),
              "粘贴视频链接，即点即播：thunder · ftp · http · ed2k · magnet · xplan · bt",
              font=font(15 * scale), fill=(220, 240, 252), anchor="ls")
    draw.text((848 * scale, 118 * scale), "Qorvella", font=font(13 * scale, bold=True),
              fill=(190, 228, 250), anchor="rs")
    image = image.resize((width, height), Image.LANCZOS)
    image.save(RESOURCES / "cloud_banner.jpg", quality=90, optimize=True)


def main():
    make_banner()
    make_logo()
    make_icon()
    make_footer()
    make_cloud_banner()


if __name__ == "__main__":
    main()
