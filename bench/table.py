#!/usr/bin/env python3
"""Turns lookup_bench's JSON into one Markdown table: median and worst call of each lookup, with
the naive path's median beside it and the ratio between the two. The worst call is also given in
processor time, which a busy machine does not inflate the way it does the time on the clock. What
a session pays before the images are in memory follows the table."""
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
        s = stats.setdefault(name, {})
        s[b["aggregate_name"]] = b["real_time"] * unit
        s["cpu " + b["aggregate_name"]] = b["cpu_time"] * unit
        s["rows"] = b.get("rows", b.get("chars", ""))
        for counter in ("steps", "longest step ms"):
            if counter in b:
                s[counter + " " + b["aggregate_name"]] = b[counter]
    print("| lookup | class | text | rows | median ms | worst ms | worst cpu ms | naive median ms "
          "| naive ÷ fast |")
    print("|---|---|---|---:|---:|---:|---:|---:|---:|")
    for name, s in stats.items():
        if not name.startswith("fast: "):
            continue
        kind, cls, text = name[len("fast: "):].split(" / ", 2)
        naive = stats.get("naive: " + name[len("fast: "):], {})
        ratio = naive.get("median", 0) / s["median"] if s["median"] else 0
        print(f"| {kind} | {cls} | `{text}` | {int(s['rows'])} | {s['median']:.3f} | {s['max']:.3f} "
              f"| {s['cpu max']:.3f} | {naive.get('median', float('nan')):.2f} | {ratio:.0f}× |")
    for name, s in stats.items():
        if name.startswith("handler: "):
            print(f"| {name[len('handler: '):]} | whole handler | `e` | {int(s['rows'])} chars "
                  f"| {s['median']:.3f} | {s['max']:.3f} | {s['cpu max']:.3f} | | |")
    print()
    for name, s in stats.items():
        if name.startswith("session: "):
            line = (f"{name[len('session: '):]}: median {s['median']:.1f} ms, worst {s['max']:.1f} ms "
                    f"({s['cpu max']:.1f} ms processor time)")
            if "steps median" in s:
                line += (f"; {int(s['steps median'])} steps, the longest {s['longest step ms median']:.2f} "
                         f"ms (median), {s['longest step ms max']:.2f} ms at worst")
            print(line)


if __name__ == "__main__":
    main(sys.argv[1])
