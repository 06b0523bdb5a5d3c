#include "search/file_holes.h"

#include <cerrno>
#include <limits>
#include <unistd.h>

namespace scanvale::Search {

namespace {

constexpr uint64_t Nowhere = std::numeric_limits<uint64_t>::max();

} // namespace

FileHoles::FileHoles(int file, const struct stat& status)
    : file_(file), sparse_(status.st_size > 0 && status.st_blocks * 512 < status.st_size) {}

bool FileHoles::InHole(uint64_t offset, size_t count) {
    if (!sparse_) {
        return false;
    }
    if (offset >= holeFrom_) {
        const off_t data = ::lseek(file_, static_cast<off_t>(offset), SEEK_DATA);
        struct stat now {};
        if (data < 0 && errno == ENXIO && ::fstat(file_, &now) == 0) {
            // No data from here to the end: the rest is one hole. The end is taken afresh, so
            // a file that shrank meanwhile still ends at its new end.
            dataFrom_ = static_cast<uint64_t>(now.st_size);
            holeFrom_ = Nowhere;
        } else if (data < 0) {
            sparse_ = false;
            return false;
        } else {
            dataFrom_ = static_cast<uint64_t>(data);
            // The end of the file counts as a hole, so this finds one.
            const off_t hole = ::lseek(file_, data, SEEK_HOLE);
            if (hole < 0) {
                sparse_ = false;
                return false;
            }
            holeFrom_ = static_cast<uint64_t>(hole);
        }
    }
    return offset < dataFrom_ && count <= dataFrom_ - offset;
}

} // namespace scanvale::Search
