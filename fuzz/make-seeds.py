#!/usr/bin/env python3
"""Writes the seed corpus of each fuzz target into corpus/<target>/. Seeds are small readable
scripts of user actions, source excerpts, LIKE pairs and damages to a store; the fuzzers grow them
from there. Run it again after changing an input format, and commit what it writes: it empties each
folder first, so that inputs minimised from a long run (named by their SHA-1) go with the format
they were found in."""

import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
FIXTURES = HERE.parent / "data" / "fixtures"

# The action fuzzer's operations (its first byte of each step, modulo 13).
PUT16, PUT8, REPEAT, APPEND, OPTION1, OPTION2, TRANSLATE, CONCISE, PROFESSIONAL, KEY, \
    DOUBLE_CLICK, EMPTY, STOCK = range(13)


def put8(text):
    data = text.encode("utf-8")
    assert len(data) < 256
    return bytes([PUT8, len(data)]) + data


def put16(units):
    return bytes([PUT16, len(units)]) + b"".join(struct.pack("<H", u) for u in units)


# A count from LONG_REPEAT up is given in the three bytes after that marker.
LONG_REPEAT = 0xFC


def repeat(char, count):
    length = bytes([count]) if count < LONG_REPEAT else bytes([LONG_REPEAT]) + struct.pack(
        "<I", count)[:3]
    return bytes([REPEAT]) + struct.pack("<H", ord(char)) + length


def key(char):
    return bytes([KEY]) + struct.pack("<H", ord(char) if isinstance(char, str) else char)


def stock(index):
    return bytes([STOCK, index])


def ops(*codes):
    return bytes(codes)


ACTIONS = {
    "concise-exact": put8("apple") + ops(TRANSLATE, CONCISE, TRANSLATE),
    "concise-fuzzy": put8("app") + ops(TRANSLATE, OPTION2, CONCISE, TRANSLATE),
    "concise-chinese": put8("苹果") + ops(TRANSLATE, CONCISE, TRANSLATE, DOUBLE_CLICK),
    "professional-both": put8(" Apple \r\n") + ops(TRANSLATE, PROFESSIONAL, TRANSLATE)
    + put8("中国") + ops(TRANSLATE, OPTION2, PROFESSIONAL, TRANSLATE),
    "tie-then-decide": put8("ab中文") + ops(TRANSLATE, TRANSLATE) + put8("abc")
    + ops(TRANSLATE, CONCISE),
    "lock-and-unlock": put8("apple") + ops(TRANSLATE, CONCISE) + key("x") + ops(EMPTY)
    + key("y") + key(8) + key(13) + key("z") + ops(TRANSLATE, TRANSLATE),
    "edit-after-translate": put8("ap") + ops(TRANSLATE) + key(13) + key("p") + key("l")
    + key("e") + ops(PROFESSIONAL, TRANSLATE, DOUBLE_CLICK, TRANSLATE, CONCISE),
    "quotes": put8("'; drop table 英语单词; --") + ops(TRANSLATE, OPTION2, CONCISE, TRANSLATE)
    + put8("don't") + ops(TRANSLATE, PROFESSIONAL),
    "wildcards": put8("%") + ops(TRANSLATE, OPTION2, PROFESSIONAL, TRANSLATE) + put8("_")
    + ops(TRANSLATE, OPTION2, CONCISE),
    "lone-surrogates": put16([0xD800, ord("a"), 0xDC00]) + ops(TRANSLATE, OPTION2, CONCISE)
    + put16([0xDBFF]) + ops(TRANSLATE, PROFESSIONAL),
    "nul-and-marks": put16([ord("a"), 0, ord("b"), 0x200F, 0xFEFF]) + ops(TRANSLATE, OPTION2,
                                                                          CONCISE),
    "long-chinese": put8("a") + repeat("中", 40000) + ops(TRANSLATE, CONCISE, TRANSLATE),
    "long-percent": repeat("%", 59999) + ops(TRANSLATE, OPTION2, CONCISE, TRANSLATE),
    "stock": b"".join(stock(i) + ops(TRANSLATE, OPTION2, CONCISE, TRANSLATE) for i in range(18)),
    "esc": put8("apple") + key(27) + ops(TRANSLATE),
}


def fixture_lines(name, count):
    with open(FIXTURES / name, encoding="utf-8") as f:
        return "".join(f.readline() for _ in range(count))


# The parser fuzzer's first byte picks the reader: 0 CSV, 1 CC-CEDICT, 2 ECDICT, 3 pinyin, 4 tidying.
PARSERS = {
    "csv-quoted": b"\x00" + b'a,"b,c","d ""e"""\r\n"multi\nline",x\n',
    "cedict-fixture-start": b"\x01" + open(FIXTURES / "cedict.js", "rb").read(700)
    + b']],"variantLookup":[],"classifierLookup":[]}',
    "cedict-small": b"\x01" + 'export default {"all":[["蘋果","苹果","ping2 guo3",["apple"],[],[0]]],'
    '"variantLookup":[],"classifierLookup":[["個","个","ge4"]]}'.encode(),
    "ecdict-fixture-start": b"\x02" + fixture_lines("ecdict.csv", 4).encode(),
    "pinyin-reading": b"\x03" + "ping2 guo3 nu:3 zhe4 ge5 Ou1 m2 san1 C".encode(),
    "pinyin-cross-reference": b"\x03" + "variant of 眾|众[zhong4]; see 拜拜[bai2 bai2]".encode(),
    "clean-field": b"\x04" + "n. 苹果\\n[网络] 苹果<br />&amp;&#946;&beta;\\t x\r\n".encode(),
    "clean-phonetic": b"\x04" + "'æpl ә є ^ \\ :".encode(),
}

# The LIKE fuzzer's first byte splits the rest into value and pattern.
LIKES = {
    "plain": b"\x05" + b"apple" + b"%PP_%",
    "multibyte": b"\x09" + "苹果树".encode() + "_果%".encode(),
    "malformed": b"\x04" + b"a\xc3\x80b" + b"%\x80%",
    "anchored": b"\x04" + b"abab" + b"a%ab",
}


# The damage fuzzer's input: a flags byte (odd: read the images ahead first), then damages, each
# after an odd byte, up to four; after an even byte or the fourth, a text of its own (UTF-8).
GRAM_FLIP, IMAGE_FLIP, PAGE_FLIP, OVERWRITE, PAGE_ZEROED, CUT = range(6)


def damage(kind, *fields):
    return bytes([1, kind]) + b"".join(fields)


def u16(n):
    return struct.pack("<H", n)


DAMAGES = {
    "sound": b"\x00\x00apple",
    "gram-flip": b"\x00" + damage(GRAM_FLIP, u16(0), u16(3000), b"\x01") + b"\x00app",
    "image-flip": b"\x01" + damage(IMAGE_FLIP, u16(0), u16(200), b"\x20"),
    "header-flip": b"\x00" + damage(PAGE_FLIP, u16(0), u16(18), b"\x03"),
    "sector-overwritten": b"\x00" + damage(OVERWRITE, u16(5), u16(0), b"\x0f", b"\xa5" * 15),
    "page-zeroed": b"\x01" + damage(PAGE_ZEROED, u16(20)),
    "cut-at-page": b"\x00" + damage(CUT, struct.pack("<I", 150000)[:3], b"\x00"),
    "cut-inside-page": b"\x01" + damage(CUT, struct.pack("<I", 200001)[:3], b"\x01"),
}


def write(target, seeds):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


def main():
    write("action_fuzzer", ACTIONS)
    write("parser_fuzzer", PARSERS)
    write("like_fuzzer", LIKES)
    write("damage_fuzzer", DAMAGES)


if __name__ == "__main__":
    main()
