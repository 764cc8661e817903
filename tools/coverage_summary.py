"""Prints lines and branches covered per project folder from an lcov .info file."""
import collections
import os
import sys


def main(info_path, root):
    totals = collections.defaultdict(lambda: [0, 0, 0, 0])  # lines hit, found, branches hit, found
    folder = None
    with open(info_path, encoding="utf-8", errors="replace") as info:
        for line in info:
            line = line.strip()
            if line.startswith("SF:"):
                path = os.path.relpath(line[3:], root)
                top = path.split(os.sep)[0]
                keep = not path.startswith("..") and top not in ("tests", "build")
                folder = top if keep else None
            elif folder is None:
                continue
            elif line.startswith("LH:"):
                totals[folder][0] += int(line[3:])
            elif line.startswith("LF:"):
                totals[folder][1] += int(line[3:])
            elif line.startswith("BRH:"):
                totals[folder][2] += int(line[4:])
            elif line.startswith("BRF:"):
                totals[folder][3] += int(line[4:])
    print("coverage of the host tests (lines, branches):")
    for name in sorted(totals):
        lh, lf, bh, bf = totals[name]
        print(f"  {name + '/':14} lines {lh:5}/{lf:<5} {100 * lh / max(lf, 1):5.1f} %"
              f"   branches {bh:5}/{bf:<5} {100 * bh / max(bf, 1):5.1f} %")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
