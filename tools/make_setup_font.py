#!/usr/bin/python3
"""Generates resources/setup.ttf, the TrueType font "Setup" of the busy indicator.

Family "Setup", version string "Version 1.03". The character map holds U+000D, U+0020 and
U+E052..U+E0CB. U+E052..U+E0CA are 121 frames of a ring of running dots: five dots enter one
after another at twelve o'clock, each runs two laps clockwise (slow near the top, fast
through the bottom) and leaves at twelve o'clock again, so every frame shows one to five
dots. U+E0CB, U+000D and U+0020 have no outline.

    /usr/bin/python3 tools/make_setup_font.py [--preview sheet.png]

--preview also renders every frame through FreeType (Pillow) into a contact sheet, which
checks that FreeType accepts the font.
"""

import argparse
import math
import pathlib

from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import timestampFromString
from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont, newTable

RESOURCES = pathlib.Path(__file__).resolve().parent.parent / "resources"

UNITS_PER_EM = 1000
ASCENT, DESCENT = 800, 200
ADVANCE = 1000

FIRST_FRAME = 0xE052
FRAME_COUNT = 121            # U+E052..U+E0CA
BLANK = FIRST_FRAME + FRAME_COUNT  # U+E0CB

DOTS = 5
DOT_DELAY = 8                # frames between two dots entering (and leaving)
DOT_LIFE = FRAME_COUNT - 1 - (DOTS - 1) * DOT_DELAY  # frames from entering to leaving
LAPS = 2
EASE = 0.5                   # 0 runs evenly; towards 1 the dots crowd at the top
RING_CENTRE = (ADVANCE // 2, (ASCENT - DESCENT) // 2)
RING_RADIUS = 350
DOT_RADIUS = 92

# Fixed, so that the generated file is the same on every run.
TIMESTAMP = timestampFromString("Mon Jan  5 00:00:00 2015")


def dot_angle(progress):
    """Clockwise angle from twelve o'clock of a dot that has run `progress` (0..1) of its life."""
    phase = 2 * math.pi * LAPS * progress
    return phase - EASE * math.sin(phase)


def frame_dots(frame):
    """The centres of the dots of frame `frame` (0..120)."""
    cx, cy = RING_CENTRE
    dots = []
    for dot in range(DOTS):
        age = frame - dot * DOT_DELAY
        if 0 <= age <= DOT_LIFE:
            angle = dot_angle(age / DOT_LIFE)
            dots.append((cx + RING_RADIUS * math.sin(angle), cy + RING_RADIUS * math.cos(angle)))
    return dots


def draw_dot(pen, centre):
    """A circle of eight quadratic arcs, drawn clockwise as TrueType wants outer contours."""
    cx, cy = centre
    control = DOT_RADIUS / math.cos(math.pi / 8)

    def point(radius, degrees):
        radians = math.radians(degrees)
        return (round(cx + radius * math.cos(radians)), round(cy + radius * math.sin(radians)))

    pen.moveTo(point(DOT_RADIUS, 0))
    for k in range(8):
        pen.qCurveTo(point(control, -45 * k - 22.5), point(DOT_RADIUS, -45 * (k + 1)))
    pen.closePath()


def frame_glyph(frame):
    pen = TTGlyphPen(None)
    for centre in frame_dots(frame):
        draw_dot(pen, centre)
    return pen.glyph()


def empty_glyph():
    return TTGlyphPen(None).glyph()


def notdef_glyph():
    pen = TTGlyphPen(None)
    for x0, y0, x1, y1, clockwise in [(100, -100, 900, 700, True), (160, -40, 840, 640, False)]:
        corners = [(x0, y0), (x0, y1), (x1, y1), (x1, y0)]
        if not clockwise:
            corners.reverse()
        pen.moveTo(corners[0])
        for corner in corners[1:]:
            pen.lineTo(corner)
        pen.closePath()
    return pen.glyph()


def build():
    frames = {f"uni{FIRST_FRAME + i:04X}": frame_glyph(i) for i in range(FRAME_COUNT)}
    glyphs = {".notdef": notdef_glyph(), "uni000D": empty_glyph(), "space": empty_glyph(),
              **frames, f"uni{BLANK:04X}": empty_glyph()}
    order = list(glyphs)
    cmap = {0x000D: "uni000D", 0x0020: "space", **{
        FIRST_FRAME + i: f"uni{FIRST_FRAME + i:04X}" for i in range(FRAME_COUNT + 1)}}

    builder = FontBuilder(UNITS_PER_EM, isTTF=True)
    builder.setupGlyphOrder(order)
    builder.setupCharacterMap(cmap)
    builder.setupGlyf(glyphs)
    glyf = builder.font["glyf"]
    metrics = {}
    for name in order:
        glyph = glyf[name]
        glyph.recalcBounds(glyf)
        advance = 0 if name == "uni000D" else ADVANCE
        metrics[name] = (advance, getattr(glyph, "xMin", 0))
    builder.setupHorizontalMetrics(metrics)
    builder.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT)
    builder.setupNameTable({
        "copyright": "Drawn for Qorvella, free to use with it.",
        "familyName": "Setup",
        "styleName": "Regular",
        "uniqueFontIdentifier": "Qorvella: Setup Regular: 1.03",
        "fullName": "Setup",
        "version": "Version 1.03",
        "psName": "Setup",
    })
    builder.setupOS2(
        version=4, achVendID="QRVL", usWeightClass=400, usWidthClass=5, fsType=0,
        fsSelection=0x40,  # regular
        sTypoAscender=ASCENT, sTypoDescender=-DESCENT, sTypoLineGap=0,
        usWinAscent=ASCENT, usWinDescent=DESCENT, sxHeight=500, sCapHeight=700,
        ulUnicodeRange1=1 << 0,   # Basic Latin (CR, space)
        ulUnicodeRange2=1 << 28,  # Private Use Area (bit 60)
        ulCodePageRange1=1 << 0,  # Latin 1
        usFirstCharIndex=0x000D, usLastCharIndex=BLANK)
    builder.setupPost(keepGlyphNames=True)
    builder.updateHead(fontRevision=1.03, created=TIMESTAMP, modified=TIMESTAMP)
    gasp = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {0xFFFF: 0x000F}  # smoothed at every size
    builder.font["gasp"] = gasp
    builder.font.recalcTimestamp = False
    return builder.font


def check(path):
    font = TTFont(path)
    names = font["name"]
    assert names.getDebugName(1) == "Setup" and names.getDebugName(5) == "Version 1.03"
    cmap = font.getBestCmap()
    expected = {0x000D, 0x0020, *range(FIRST_FRAME, BLANK + 1)}
    assert set(cmap) == expected, sorted(set(cmap) ^ expected)
    glyf = font["glyf"]
    for i in range(FRAME_COUNT):
        contours = glyf[cmap[FIRST_FRAME + i]].numberOfContours
        assert 1 <= contours <= DOTS, (i, contours)
    assert glyf[cmap[BLANK]].numberOfContours == 0


def preview(path, sheet_path):
    from PIL import Image, ImageDraw, ImageFont

    size, columns = 48, 11
    face = ImageFont.truetype(str(path), size * 3 // 4)
    rows = (FRAME_COUNT + 1 + columns - 1) // columns
    sheet = Image.new("L", (columns * size, rows * size), 255)
    draw = ImageDraw.Draw(sheet)
    for i in range(FRAME_COUNT + 1):
        x, y = (i % columns) * size, (i // columns) * size
        draw.text((x + size // 8, y + size // 8), chr(FIRST_FRAME + i), font=face, fill=0)
    sheet.save(sheet_path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", type=pathlib.Path, help="write a contact sheet of the frames")
    arguments = parser.parse_args()
    path = RESOURCES / "setup.ttf"
    build().save(path)
    check(path)
    if arguments.preview:
        preview(path, arguments.preview)


if __name__ == "__main__":
    main()
