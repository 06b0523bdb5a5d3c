#!/usr/bin/python3
"""A FUSE file system whose calls stall, for the tests of a search that must not wait on them.

  stall_fs.py MOUNTPOINT CONTROL_FOLDER

Serves, read only:
  a-stalls.txt   text holding "needle"; every read of it waits until CONTROL_FOLDER/release
                 exists (ten minutes at most), and creates CONTROL_FOLDER/stalled-read first
  b.txt          text holding "needle"
  sub/c.txt      text holding "needle"
  lookup-stalls  not listed; looking it up waits the same way, after creating
                 CONTROL_FOLDER/stalled-lookup
Runs in the foreground until the file system is unmounted (fusermount3 -u MOUNTPOINT).
Needs Debian's python3-fusepy, run with /usr/bin/python3.
"""
import errno
import os
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations

FILES = {
    "/a-stalls.txt": b"a needle that takes for ever\n",
    "/b.txt": b"a needle\n",
    "/sub/c.txt": b"a needle\n",
}
FOLDERS = {"/": ["a-stalls.txt", "b.txt", "sub"], "/sub": ["c.txt"]}


class Stalling(Operations):
    def __init__(self, control):
        self.control = control

    def stall(self, marker):
        open(os.path.join(self.control, marker), "a").close()
        release = os.path.join(self.control, "release")
        deadline = time.time() + 600
        while not os.path.exists(release) and time.time() < deadline:
            time.sleep(0.01)

    def getattr(self, path, fh=None):
        now = time.time()
        times = dict(st_ctime=now, st_mtime=now, st_atime=now)
        if path == "/lookup-stalls":
            self.stall("stalled-lookup")
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_size=0, **times)
        if path in FOLDERS:
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_size=0, **times)
        if path in FILES:
            return dict(st_mode=stat.S_IFREG | 0o444, st_nlink=1, st_size=len(FILES[path]),
                        **times)
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        if path not in FOLDERS:
            raise FuseOSError(errno.ENOENT)
        return [".", ".."] + FOLDERS[path]

    def open(self, path, flags):
        if path not in FILES:
            raise FuseOSError(errno.ENOENT)
        return 0

    def read(self, path, size, offset, fh):
        if path == "/a-stalls.txt":
            self.stall("stalled-read")
        return FILES[path][offset:offset + size]


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    # direct_io: every read reaches this program, none is answered from the page cache.
    FUSE(Stalling(sys.argv[2]), sys.argv[1], foreground=True, ro=True, direct_io=True)
