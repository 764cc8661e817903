"""Prints lines and branches covered per project folder from an lcov .info file.

Counts from the DA and BRDA records themselves (a capture need not carry
summary lines), merging the records that several objects give for one file.
"""
import collections
import os
import sys


def main(info_path, root):
    lines = collections.defaultdict(dict)     # file -> line -> hit
    branches = collections.defaultdict(dict)  # file -> (line, block, branch) -> taken
    path = None
    with open(info_path, encoding="utf-8", errors="replace") as info:
        for record in info:
            record = record.strip()
            if record.startswith("SF:"):
                rel = os.path.relpath(record[3:], root)
                keep = not rel.startswith("..") and rel.split(os.sep)[0] != "build" and "tests" not in rel.split(os.sep)
                path = rel if keep else None
            elif path is None:
                continue
            elif record.startswith("DA:"):
                number, count = record[3:].split(",")[:2]
                lines[path][number] = lines[path].get(number, False) or int(count) > 0
            elif record.startswith("BRDA:"):
                line, block, branch, taken = record[5:].split(",")
                key = (line, block, branch)
                hit = taken not in ("-", "0")
                branches[path][key] = branches[path].get(key, False) or hit
    totals = collections.defaultdict(lambda: [0, 0, 0, 0])
    for path, hits in lines.items():
        t = totals[path.split(os.sep)[0]]
        t[0] += sum(hits.values())
        t[1] += len(hits)
    for path, taken in branches.items():
        t = totals[path.split(os.sep)[0]]
        t[2] += sum(taken.values())
        t[3] += len(taken)
    print("coverage of the host tests (lines, branches):")
    for name in sorted(totals):
        lh, lf, bh, bf = totals[name]
        print(f"  {name + '/':14} lines {lh:5}/{lf:<5} {100 * lh / max(lf, 1):5.1f} %"
              f"   branches {bh:5}/{bf:<5} {100 * bh / max(bf, 1):5.1f} %")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
