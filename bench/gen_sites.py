#!/usr/bin/env python3
"""Writes a table of N random sites (tab-separated: id, lon, lat) around a
city, like a spreadsheet copy; deterministic for a given seed."""
import random
import sys

def main():
    n = int(sys.argv[1])
    path = sys.argv[2]
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    rng = random.Random(seed)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("站名\t经度\t纬度\n")
        for i in range(n):
            lon = 115.4 + rng.random() * 2.2
            lat = 39.4 + rng.random() * 1.6
            f.write(f"S{i}\t{lon:.6f}\t{lat:.6f}\n")

if __name__ == "__main__":
    main()
