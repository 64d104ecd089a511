#!/usr/bin/env python3
"""Writes private-use.ttf: a font that draws every private-use code point as an empty box.

    make-private-use-font.py OUTPUT.ttf

The dictionary keeps the private-use code points of its GBK-era sources that have no standard
meaning. Fonts that cover the rare CJK extension blocks also fill the private-use area with
glyphs of their own choosing (BabelStone Han has thousands there), so a code point that meant one
thing to a GBK font long ago would show as some other character. Placed before them in the box's
fonts, this one draws each such code point as the empty box a missing character shows: unknown,
and plainly so. Needs fontTools (Debian: python3-fonttools).
"""

import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.misc.timeTools import timestampFromString
from fontTools.pens.ttGlyphPen import TTGlyphPen

FAMILY = "Moshitong Private Use"
UNITS = 1000
ASCENT, DESCENT = 880, -120
# The box: a full-width cell's outline, its strokes as heavy as a Song face's thin ones.
LEFT, RIGHT, BOTTOM, TOP, STROKE = 120, 880, -40, 760, 60
PRIVATE_USE = range(0xE000, 0xF900)
FIXED_DATE = timestampFromString("Mon Jan  1 00:00:00 2024")


def rectangle(pen, left, bottom, right, top, clockwise):
    corners = [(left, bottom), (left, top), (right, top), (right, bottom)]
    if not clockwise:
        corners.reverse()
    pen.moveTo(corners[0])
    for corner in corners[1:]:
        pen.lineTo(corner)
    pen.closePath()


def box():
    pen = TTGlyphPen(None)
    rectangle(pen, LEFT, BOTTOM, RIGHT, TOP, clockwise=True)
    rectangle(pen, LEFT + STROKE, BOTTOM + STROKE, RIGHT - STROKE, TOP - STROKE, clockwise=False)
    return pen.glyph()


def main():
    builder = FontBuilder(UNITS, isTTF=True)
    builder.setupGlyphOrder([".notdef", "box"])
    builder.setupCharacterMap({code: "box" for code in PRIVATE_USE})
    builder.setupGlyf({".notdef": TTGlyphPen(None).glyph(), "box": box()})
    builder.setupHorizontalMetrics({".notdef": (UNITS, 0), "box": (UNITS, LEFT)})
    builder.setupHorizontalHeader(ascent=ASCENT, descent=DESCENT)
    builder.setupNameTable({"familyName": FAMILY, "styleName": "Regular",
                            "copyright": "The Moshitong developers", "version": "Version 1.0"})
    builder.setupOS2(sTypoAscender=ASCENT, sTypoDescender=DESCENT, usWinAscent=ASCENT,
                     usWinDescent=-DESCENT)
    builder.setupPost()
    # A fixed date, so that the file comes out the same on every run.
    builder.updateHead(created=FIXED_DATE, modified=FIXED_DATE)
    builder.save(sys.argv[1])


if __name__ == "__main__":
    main()
