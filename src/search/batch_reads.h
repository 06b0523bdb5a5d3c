#pragma once

#include "search/directory_listing.h"
#include "search/file_descriptor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <sys/stat.h>

namespace scanvale::Search {

// One worker's io_uring ring for the files of a batch (Pipeline::ExamineFiles): the opens,
// first reads and closes of a whole batch go to the kernel in two io_uring_enter calls instead
// of three system calls per file; the fstat of each opened file stays a plain call.
//
//   1. OPENAT of every file, with the flags of FileAccess::OpenFileAt (O_NONBLOCK: a FIFO that
//      appeared in place of the file does not hold the open), into ordinary descriptors.
//   2. fstat of each descriptor, as the plain path does: the type and length are those of the
//      very file opened, so FIFOs, sockets and devices are never read.
//   3. For each regular file of at most one block, READ of exactly its length with RWF_NOWAIT,
//      hard-linked to the CLOSE of its descriptor; a CLOSE alone for the files not to read.
//
// A read that would wait for the disk fails at once (RWF_NOWAIT) instead of going to the
// kernel's own workers, and the file is examined again on plain calls, whose read lets another
// thread take up work meanwhile. A file longer than a block keeps its descriptor and is
// examined on plain calls from it (ExamineOpenFile); so is everything the ring did not finish
// exactly (a read that would wait, came back short or failed). A file system that refuses
// RWF_NOWAIT (tmpfs, FUSE, network shares) is remembered by device, and its files are read on
// plain calls from the ring's descriptor from then on. Results never depend on the ring.
class BatchReads {
public:
    enum class Outcome : uint8_t {
        Skipped, // no regular file with bytes, or one that cannot be opened: not examined
        Read,    // regular, and its whole contents are in Contents()
        Open,    // open and fstat'ed: to be examined from TakeFile() and Status()
        Plain,   // to be examined on plain system calls from the start (ExamineFile)
    };

    // Whether this process may use io_uring for the batches: built with liburing, the kernel
    // lets it set up a ring and knows OPENAT, READ and CLOSE, the build is not one for
    // ThreadSanitizer (which cannot follow the ring's descriptors). Asked of the kernel once
    // per process.
    static bool Available();

    // A ring for batches of up to `files` files, each read whole when it is at most `blockSize`
    // bytes long. Valid() is false when it could not be set up; the worker then examines every
    // file on plain calls for the rest of its life.
    BatchReads(size_t files, size_t blockSize);
    ~BatchReads();
    BatchReads(const BatchReads&) = delete;
    BatchReads& operator=(const BatchReads&) = delete;

    bool Valid() const;

    // Opens and reads the files `first` to `first + count - 1` (count <= files) of the open
    // folder `folder`, and returns once the kernel is done with all of them.
    void Read(int folder, const DirectoryListing& names, size_t first, size_t count);

    // What became of the i-th file of the last Read.
    Outcome Result(size_t i) const;
    // When Result(i) is Read: the file's contents, as long as its fstat length.
    std::string_view Contents(size_t i) const;
    // When Result(i) is Open: the file's descriptor, which the caller then owns, and fstat.
    FileDescriptor TakeFile(size_t i);
    const struct stat& Status(size_t i) const;
    // Closes the descriptors of the last Read not taken (the batch was abandoned).
    void CloseUntaken();

private:
    struct Ring;
    std::unique_ptr<Ring> ring_;
};

} // namespace scanvale::Search
