#!/usr/bin/env python3
"""Writes a reproducible benchmark corpus of text files (fixed seed, same bytes every run).

make_corpus.py many FOLDER   60,000 files of 1-16 KiB in about 3,000 folders up to 6 deep
make_corpus.py large FOLDER  40 files of 25 MB
"""
import os
import random
import sys

WORDS = ("the of and to in is that for it as with was on be by at this from or are an "
         "which have not but all were when we there can more if will one about their what "
         "file folder search block buffer phrase result window value order list text data "
         "system program return string number line header event begin close reads write "
         "Linux desktop kernel memory device driver socket thread signal lookup").split()


def text_pool(rng, size):
    """About `size` bytes of word-like lines, with no occurrence of the benchmark phrase."""
    out = []
    total = 0
    while total < size:
        line = " ".join(rng.choice(WORDS) for _ in range(rng.randint(4, 14)))
        line = line.capitalize() + ".\n"
        out.append(line)
        total += len(line)
    return "".join(out).encode()


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def many(root, rng):
    pool = text_pool(rng, 8 << 20)
    folders = [root]
    while len(folders) < 3000:
        parent = rng.choice(folders)
        if parent.count(os.sep) - root.count(os.sep) >= 6:
            continue
        folders.append(os.path.join(parent, "d%04d" % len(folders)))
    for folder in folders:
        os.makedirs(folder, exist_ok=True)
    for i in range(60000):
        size = rng.randint(1024, 16384)
        start = rng.randint(0, len(pool) - size)
        write(os.path.join(folders[i % len(folders)], "f%05d.txt" % i), pool[start:start + size])


def large(root, rng):
    os.makedirs(root, exist_ok=True)
    pool = text_pool(rng, 25_000_000 + (1 << 20))
    for i in range(40):
        start = rng.randint(0, 1 << 20)
        write(os.path.join(root, "big%02d.txt" % i), pool[start:start + 25_000_000])


def main():
    kind, root = sys.argv[1], sys.argv[2]
    rng = random.Random(20261207)
    {"many": many, "large": large}[kind](root, rng)


if __name__ == "__main__":
    main()
