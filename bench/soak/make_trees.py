#!/usr/bin/env python3
"""Makes the soak trees, reproducibly (fixed seed).

  make_trees.py small FOLDER   1,000,000 text files of 100-2,000 bytes, 1,000 per folder,
                               in 1,000 folders two levels deep
  make_trees.py large FOLDER   10 text files of 1 GiB each (10 GiB in all), written out in
                               full (no holes: the engine skips holes without reading them)
"""
import os
import random
import sys


def small(root):
    rng = random.Random(20261207)
    words = [w.encode() for w in "alpha beta gamma delta search folder text file line word "
             "report letter number value result summary draft notes index list".split()]
    for top in range(10):
        for sub in range(100):
            folder = os.path.join(root, f"t{top:02d}", f"s{sub:03d}")
            os.makedirs(folder, exist_ok=True)
            for i in range(1000):
                size = rng.randint(100, 2000)
                body = b" ".join(rng.choice(words) for _ in range(size // 5))[:size] + b"\n"
                fd = os.open(os.path.join(folder, f"f{i:04d}.txt"),
                             os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
                os.write(fd, body)
                os.close(fd)


def large(root):
    os.makedirs(root, exist_ok=True)
    rng = random.Random(20261208)
    words = [w.encode() for w in "alpha beta gamma delta search folder text file line word "
             "report letter number value result summary draft notes index list".split()]
    # One MiB of words and lines, written 1024 times per file.
    chunk = bytearray()
    while len(chunk) < (1 << 20):
        chunk += b" ".join(rng.choice(words) for _ in range(12)) + b"\n"
    chunk = bytes(chunk[: 1 << 20])
    for i in range(10):
        with open(os.path.join(root, f"big{i:02d}.txt"), "wb") as out:
            for _ in range(1024):
                out.write(chunk)


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("small", "large"):
        sys.exit(__doc__)
    (small if sys.argv[1] == "small" else large)(sys.argv[2])
