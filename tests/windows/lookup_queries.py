#!/usr/bin/env python3
"""Prints the queries that the Windows and Linux lexi-lookup are compared on, one per line, drawn
evenly from the store given: English and Chinese headwords whole and in pieces, wildcard texts,
mixed and absent texts. Only characters on which the two code pages agree (ASCII and the CJK
Unified Ideographs both encode alike), so that both programs decide the same language."""
import sqlite3
import sys


def agreed(text):
    return all(0x20 <= ord(c) < 0x7F or 0x4E00 <= ord(c) <= 0x9FA5 for c in text)


def evenly(db, table, count):
    total = db.execute(f"SELECT max(rowid) FROM {table}").fetchone()[0] or 0
    step = max(1, total // count)
    rows = db.execute(f"SELECT 单词 FROM {table} WHERE rowid % ? = 1 ORDER BY rowid", (step,))
    return [word for (word,) in rows if word and agreed(word) and word.strip() == word][:count]


def main():
    db = sqlite3.connect(f"file:{sys.argv[1]}?mode=ro", uri=True)
    english = evenly(db, "英语单词", 120)
    concise = evenly(db, "简明英语单词", 60)
    chinese = evenly(db, "汉语单词", 80)
    queries = english + concise + chinese
    queries += [w[:3] for w in english[::4] if len(w) >= 3]
    queries += [w[:2] for w in chinese[::4] if len(w) >= 2]
    queries += [w[0] + "%" + w[-1] for w in english[::6] if len(w) >= 3]
    queries += [w[0] + "_" + w[2:] for w in concise[::5] if len(w) >= 3]
    queries += ["s_s_s", "tion%tion", "子_子", "苹%树", "%", "_", "a%", "%ing", "apple", "APPLE",
                "苹果", " apple ", "中文 text", "qzxv", "龘龘", "x" * 80, "中" * 70, "a\\b", "'"]
    print("\n".join(queries))


main()
