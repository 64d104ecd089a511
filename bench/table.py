#!/usr/bin/env python3
"""Turns lookup_bench's JSON into one Markdown table: median and worst call of each lookup, with
the naive path's median beside it and the ratio between the two."""
import json
import sys


def main(path):
    with open(path, encoding="utf-8") as f:
        report = json.load(f)
    stats = {}
    for b in report["benchmarks"]:
        if b.get("run_type") != "aggregate":
            continue
        name = b["run_name"].split("/iterations")[0]
        unit = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b.get("time_unit", "ms")]
        stats.setdefault(name, {})[b["aggregate_name"]] = b["real_time"] * unit
        stats[name]["rows"] = b.get("rows", b.get("chars", ""))
    print("| lookup | class | text | rows | median ms | worst ms | naive median ms | naive ÷ fast |")
    print("|---|---|---|---:|---:|---:|---:|---:|")
    for name, s in stats.items():
        if not name.startswith("fast: "):
            continue
        kind, cls, text = name[len("fast: "):].split(" / ", 2)
        naive = stats.get("naive: " + name[len("fast: "):], {})
        ratio = naive.get("median", 0) / s["median"] if s["median"] else 0
        print(f"| {kind} | {cls} | `{text}` | {int(s['rows'])} | {s['median']:.3f} | {s['max']:.3f} "
              f"| {naive.get('median', float('nan')):.2f} | {ratio:.0f}× |")
    for name, s in stats.items():
        if name.startswith("handler: "):
            print(f"| {name[len('handler: '):]} | whole handler | `e` | {int(s['rows'])} chars "
                  f"| {s['median']:.3f} | {s['max']:.3f} | | |")


if __name__ == "__main__":
    main(sys.argv[1])
