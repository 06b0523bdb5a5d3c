#!/usr/bin/env python3
"""Makes the soak trees, reproducibly (fixed seed).

  make_trees.py small FOLDER   1,000,000 text files of 100-2,000 bytes, 1,000 per folder,
                               in 1,000 folders two levels deep
  make_trees.py large FOLDER   10 files of 1 GiB each (10 GiB in all), sparse: a line of
                               text, a hole, a line of text at the end
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
    size = 1 << 30
    for i in range(10):
        with open(os.path.join(root, f"big{i:02d}.txt"), "wb") as out:
            out.write(b"A large text file with a hole in its middle\n")
            out.truncate(size)
            out.seek(size - 16)
            out.write(b"end of the file\n")


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("small", "large"):
        sys.exit(__doc__)
    (small if sys.argv[1] == "small" else large)(sys.argv[2])
