#!/usr/bin/env python3
"""Makes the window's face for the dictionary's rare ideographs, extension.ttf beside this script.

    make-extension-font.py SOURCE-FONT OUT.ttf (--store STORE | --text FILE...)

Run again when the store gains characters (the glyph-coverage test without BabelStone says so):
    python3 ui/resources/make-extension-font.py \
        /usr/share/fonts/truetype/babelstone/BabelStoneHan.ttf ui/resources/extension.ttf \
        --store build/bin/lexi

Keeps of SOURCE-FONT (BabelStone Han, Debian's fonts-babelstone-han) exactly the characters of
the store, or of the text files, that a Song face of either system cannot be counted on to draw:
everything beyond the Basic Multilingual Plane, and the ideographs encoded after Unicode 3.0 in
the unified block (U+9FA6 on) and in Extension A (U+4DB6 on). 宋体 has GB 18030-2000's repertoire,
which ends at Unicode 3.0; Linux's Noto Serif CJK covers more, but not all of the rest. Private
use is left out: those characters mean nothing standard, and the window shows them as an empty
box. The face is renamed, so that it never stands in for an installed BabelStone Han, and says in
its own notice how it was made, as the Arphic Public License asks of a modified font.

Needs python3-fonttools and fonts-babelstone-han.
"""

import argparse
import sqlite3
import sys

from fontTools import subset
from fontTools.ttLib import TTFont

FAMILY = "Moshitong Extension"
TABLES = ("简明英语单词", "英语单词", "汉语单词")


def private_use(code):
    return 0xE000 <= code <= 0xF8FF or code >= 0xF0000


def song_faces_lack(code):
    if private_use(code):
        return False
    return code > 0xFFFF or 0x9FA6 <= code <= 0x9FFF or 0x4DB6 <= code <= 0x4DBF


def store_characters(path):
    found = set()
    connection = sqlite3.connect(f"file:{path}?mode=ro", uri=True)
    try:
        for table in TABLES:
            # The table names are this program's own, never user text.
            for row in connection.execute(f"SELECT 单词, 解释 FROM {table}"):
                for field in row:
                    if isinstance(field, str):
                        found.update(map(ord, field))
    finally:
        connection.close()
    return found


def text_characters(paths):
    found = set()
    for path in paths:
        with open(path, encoding="utf-8", errors="replace") as text:
            found.update(map(ord, text.read()))
    return found


def rename(font, source_name):
    notice = (f"{FAMILY}: a subset of {source_name}, made when the 墨石通 program is built, "
              "holding only the characters of its dictionary that the Song faces lack. "
              "Changed by removing every other glyph and renaming the face. "
              "Arphic Public License; see the program's LICENSES folder.")
    names = font["name"]
    # Windows' Unicode names only: the old Macintosh ones cannot spell the notice.
    names.names = [record for record in names.names
                   if record.platformID == 3 and
                   record.nameID not in (1, 2, 3, 4, 6, 10, 16, 17, 21, 22)]
    for name_id, text in ((1, FAMILY), (2, "Regular"), (3, f"{FAMILY} Regular"),
                          (4, f"{FAMILY} Regular"), (6, FAMILY.replace(" ", "") + "-Regular"),
                          (10, notice)):
        names.setName(text, name_id, 3, 1, 0x409)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("source")
    parser.add_argument("out")
    group = parser.add_mutually_exclusive_group(required=True)
    group.add_argument("--store")
    group.add_argument("--text", nargs="+")
    args = parser.parse_args()

    wanted = store_characters(args.store) if args.store else text_characters(args.text)
    wanted = {code for code in wanted if song_faces_lack(code)}
    font = TTFont(args.source, lazy=False)
    source_name = font["name"].getDebugName(4) or args.source
    covered = font.getBestCmap()
    kept = sorted(code for code in wanted if code in covered)
    missing = sorted(wanted - set(kept))
    if missing:
        print("make-extension-font: not in the source font: " +
              " ".join(f"U+{code:04X}" for code in missing), file=sys.stderr)

    options = subset.Options()
    options.hinting = False
    options.glyph_names = False
    options.layout_features = []
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=kept)
    subsetter.subset(font)
    rename(font, source_name)
    font.save(args.out)
    print(f"make-extension-font: {len(kept)} characters into {args.out}")


if __name__ == "__main__":
    main()
