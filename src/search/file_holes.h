#pragma once

#include <cstddef>
#include <cstdint>
#include <sys/stat.h>

namespace scanvale::Search {

// Where the holes of a sparse file lie, so that blocks wholly inside one need not be read: a
// hole reads as zero bytes, and having the kernel fill page after page of the page cache with
// zeros is a hundred times slower than the search itself (and pushes cached files out).
// The file system is asked only for files that occupy less room than their length, lazily as
// the reading goes on, so ordinary files cost no extra call.
class FileHoles {
public:
    // `status`: the open file's fstat.
    FileHoles(int file, const struct stat& status);

    // True when the bytes from `offset` on, `count` of them, lie wholly inside a hole. Called
    // with increasing offsets. A file system that cannot tell answers false from then on.
    bool InHole(uint64_t offset, size_t count);

    // The file occupies less room than its length, and the file system may be asked where
    // its holes are.
    bool Sparse() const { return sparse_; }

private:
    int file_;
    bool sparse_;
    uint64_t dataFrom_ = 0; // where data starts again from the last offset asked about
    uint64_t holeFrom_ = 0; // where the next hole starts after dataFrom_; ask again from there
};

} // namespace scanvale::Search
