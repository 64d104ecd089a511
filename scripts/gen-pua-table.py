#!/usr/bin/env python3
"""Prints the private-use code points that GB 18030 gives a standard character, as C++ rows.

Converters of the GBK era (code page 936, GB 18030-2000) turned some two-byte codes into
private-use code points because Unicode had no character for them yet; GB 18030-2005 and the C
library now give those codes standard characters (U+E7C7, the bytes A8 BC, is ḿ U+1E3F). The C
library's GBK and GB18030 charmaps keep the old private-use lines as comments ("% <UE7C7>
/xa8/xbc") beside the lines in force, so both mappings are read from them: a private-use code
point maps to the character the GB18030 charmap now gives its bytes, unless that is private use
too. The rest of the private-use area is GBK's user-defined codes, which mean nothing standard.
Paste the rows it prints into the builder's table (tools/lexi-build/private_use.cpp):
    scripts/gen-pua-table.py [CHARMAP-FOLDER]
"""
import gzip
import re
import sys
from pathlib import Path

LINE = re.compile(r"^(%\s*)?<U([0-9A-F]{4,8})>\s+((?:/x[0-9a-f]{2})+)")


def private_use(code):
    return 0xE000 <= code <= 0xF8FF or code >= 0xF0000


def read(path):
    """(bytes -> code point in force, bytes -> private-use code point of a commented-out line)"""
    in_force, old = {}, {}
    with gzip.open(path, "rt", encoding="ascii", errors="replace") as charmap:
        for line in charmap:
            match = LINE.match(line)
            if not match:
                continue
            commented, code, codes = match.group(1), int(match.group(2), 16), match.group(3)
            if commented:
                if private_use(code):
                    old[codes] = code
            else:
                in_force[codes] = code
    return in_force, old


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/i18n/charmaps")
    gb18030, old_gb18030 = read(folder / "GB18030.gz")
    _, old_gbk = read(folder / "GBK.gz")
    table = {}
    for codes, old in list(old_gbk.items()) + list(old_gb18030.items()):
        new = gb18030.get(codes)
        if new is not None and not private_use(new):
            table[old] = (new, codes)
    rows = [f"{{0x{old:04X}, 0x{new:04X}}}," for old, (new, _) in sorted(table.items())]
    for start in range(0, len(rows), 5):
        print("    " + " ".join(rows[start:start + 5]))
    print(f"{len(table)} rows", file=sys.stderr)


if __name__ == "__main__":
    main()
