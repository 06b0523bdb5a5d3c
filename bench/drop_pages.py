#!/usr/bin/env python3
"""Drops the cached pages of every regular file under the given folders, so that the next
search reads them from the disk (posix_fadvise POSIX_FADV_DONTNEED; needs no root). Folders
and file metadata stay cached: this is the state of files not read for a while.

  drop_pages.py FOLDER...
"""
import os
import stat
import sys


def drop(root):
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            try:
                fd = os.open(path, os.O_RDONLY | os.O_NONBLOCK | os.O_NOFOLLOW)
            except OSError:
                continue
            try:
                if stat.S_ISREG(os.fstat(fd).st_mode):
                    os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
            finally:
                os.close(fd)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    for root in sys.argv[1:]:
        drop(root)
