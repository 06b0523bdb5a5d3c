#include "search/batch_reads.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

#ifdef SCANVALE_HAVE_LIBURING
#include <liburing.h>
#endif

namespace scanvale::Search {

#ifdef SCANVALE_HAVE_LIBURING

namespace {

// What a completion is for: the low two bits of its user_data; the file's index is the rest.
enum Kind : uint64_t { Close = 0, Open = 1, ReadDone = 2 };

// The set-up flags the kernel took in Available(): a ring used by its own thread only, its
// completions run when it waits, where the kernel knows these flags (6.1 and later).
int setupFlags = 0;

int SetUp(io_uring& ring, unsigned files, int flags) {
    io_uring_params params{};
    params.flags = static_cast<unsigned>(flags);
    // At most two entries for each file at a time (a read and a close); the completion queue
    // is twice as long as the submission queue, and a file posts at most three completions
    // (its open, its read, a failed close).
    const int error = io_uring_queue_init_params(files * 4, &ring, &params);
    if (error < 0) {
        return error;
    }
    return 0;
}

bool Probe() {
#if defined(__SANITIZE_THREAD__)
    // ThreadSanitizer cannot see the descriptors the ring opens and closes in the kernel: when
    // another thread's open gets the number of one the ring closed, the tool reports its close
    // as racing with this worker's fstat, though no memory is shared (the ring is the worker's
    // own). Its builds check the plain path, which is everything but the ring.
    return false;
#endif
    // ENOSYS (no io_uring, or a seccomp filter), EPERM (io_uring_disabled, or a filter) and the
    // like, or a kernel without these operations: the plain path for the whole process.
    io_uring ring{};
    const int preferred = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
    int error = SetUp(ring, 1, preferred);
    setupFlags = preferred;
    if (error == -EINVAL) {
        error = SetUp(ring, 1, 0);
        setupFlags = 0;
    }
    if (error < 0) {
        return false;
    }
    io_uring_probe* probe = io_uring_get_probe_ring(&ring);
    const bool ok = probe != nullptr && io_uring_opcode_supported(probe, IORING_OP_OPENAT) &&
                    io_uring_opcode_supported(probe, IORING_OP_READ) &&
                    io_uring_opcode_supported(probe, IORING_OP_CLOSE);
    io_uring_free_probe(probe);
    io_uring_queue_exit(&ring);
    return ok;
}

} // namespace

struct BatchReads::Ring {
    io_uring ring{};
    bool valid = false;
    size_t blockSize = 0;
    size_t stride = 0; // each file's buffer starts on a page boundary
    std::unique_ptr<char[]> storage;
    char* buffers = nullptr;
    std::vector<Outcome> outcome;
    std::vector<FileDescriptor> file; // the Open files' descriptors, until taken
    std::vector<struct stat> status;
    std::vector<int> got; // each read's result
    // The devices whose file system refused a read with RWF_NOWAIT (EOPNOTSUPP): tmpfs, FUSE,
    // network shares. Their files are read on plain calls from the ring's descriptor, which
    // asks whether the file system lies in memory: io_uring would hand each of their reads to
    // its kernel workers.
    std::vector<dev_t> refused;

    char* Buffer(size_t i) const { return buffers + i * stride; }

    // The queue has room for two entries for every file, and each step submits what it queued.
    io_uring_sqe* Sqe() { return io_uring_get_sqe(&ring); }

    // Submits what was queued and takes `wanted` completions of opens and reads, handing each
    // to `take(index, kind, result)`; completions of failed closes are let go. False when the
    // ring failed, which is then not used again.
    template <typename Take> bool Complete(unsigned wanted, Take take) {
        int submitted = 0;
        do {
            submitted = io_uring_submit_and_wait(&ring, wanted);
        } while (submitted == -EINTR);
        while (submitted >= 0 && wanted > 0) {
            io_uring_cqe* cqe = nullptr;
            const int waited = io_uring_wait_cqe(&ring, &cqe);
            if (waited == -EINTR) {
                continue;
            }
            if (waited < 0) {
                break;
            }
            const uint64_t data = io_uring_cqe_get_data64(cqe);
            const int result = cqe->res;
            io_uring_cqe_seen(&ring, cqe);
            const auto kind = static_cast<Kind>(data & 3);
            if (kind != Close) {
                --wanted;
                take(static_cast<size_t>(data >> 2), kind, result);
            }
        }
        valid = wanted == 0;
        return valid;
    }
};

bool BatchReads::Available() {
    static const bool available = Probe();
    return available;
}

BatchReads::BatchReads(size_t files, size_t blockSize) : ring_(std::make_unique<Ring>()) {
    Ring& r = *ring_;
    if (!Available() || SetUp(r.ring, static_cast<unsigned>(files), setupFlags) < 0) {
        return;
    }
    constexpr size_t Page = 4096;
    r.valid = true;
    r.blockSize = blockSize;
    r.stride = (blockSize + Page - 1) / Page * Page;
    // Pages untouched by reads are never backed: a batch of 8 KiB files uses 8 KiB a file.
    r.storage = std::make_unique_for_overwrite<char[]>(files * r.stride + Page);
    const auto address = reinterpret_cast<uintptr_t>(r.storage.get());
    r.buffers = r.storage.get() + ((address + Page - 1) / Page * Page - address);
    r.outcome.assign(files, Outcome::Skipped);
    r.file.resize(files);
    r.status.resize(files);
    r.got.assign(files, 0);
}

BatchReads::~BatchReads() {
    Ring& r = *ring_;
    if (r.storage) {
        io_uring_queue_exit(&r.ring);
        if (!r.valid) {
            // A ring that failed while reads were in flight may still have the kernel write
            // into their buffers: they are left to the process rather than freed.
            (void)r.storage.release();
        }
    }
}

bool BatchReads::Valid() const {
    return ring_->valid;
}

void BatchReads::Read(int folder, const DirectoryListing& names, size_t first, size_t count) {
    Ring& r = *ring_;
    std::fill_n(r.outcome.begin(), count, Outcome::Plain);
    if (!r.valid) {
        return; // failed in an earlier run of the batch: the rest take the plain path
    }
    for (size_t i = 0; i < count; ++i) {
        io_uring_sqe* sqe = r.Sqe();
        io_uring_prep_openat(sqe, folder, names.Name(first + i),
                             O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0);
        io_uring_sqe_set_data64(sqe, uint64_t{i} << 2 | Open);
    }
    const bool opened = r.Complete(static_cast<unsigned>(count), [&](size_t i, Kind, int fd) {
        if (fd >= 0) {
            r.file[i] = FileDescriptor(fd);
        } else {
            r.outcome[i] = Outcome::Skipped; // as the plain path's failed open
        }
    });
    if (!opened) {
        return; // the files not opened yet stay Plain; those opened are closed by CloseUntaken
    }
    unsigned reads = 0;
    for (size_t i = 0; i < count; ++i) {
        if (!r.file[i].Valid()) {
            continue;
        }
        struct stat& st = r.status[i];
        const bool regular =
            ::fstat(r.file[i].Get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
        if (regular &&
            (static_cast<uint64_t>(st.st_size) > r.blockSize ||
             std::find(r.refused.begin(), r.refused.end(), st.st_dev) != r.refused.end())) {
            r.outcome[i] = Outcome::Open; // read on plain calls, from this descriptor
            continue;
        }
        const int fd = r.file[i].Release(); // the ring's to close from here on
        io_uring_sqe* sqe = nullptr;
        if (regular) {
            sqe = r.Sqe();
            io_uring_prep_read(sqe, fd, r.Buffer(i), static_cast<unsigned>(st.st_size), 0);
            sqe->rw_flags = RWF_NOWAIT;
            sqe->flags |= IOSQE_IO_HARDLINK; // the close follows, whatever the read gave
            io_uring_sqe_set_data64(sqe, uint64_t{i} << 2 | ReadDone);
            ++reads;
        } else {
            r.outcome[i] = Outcome::Skipped; // FIFOs, sockets, devices and empty files
        }
        sqe = r.Sqe();
        io_uring_prep_close(sqe, fd);
        sqe->flags |= IOSQE_CQE_SKIP_SUCCESS;
        io_uring_sqe_set_data64(sqe, uint64_t{i} << 2 | Close);
    }
    r.Complete(reads, [&](size_t i, Kind, int got) {
        const auto length = static_cast<uint64_t>(r.status[i].st_size);
        const dev_t device = r.status[i].st_dev;
        if (got >= 0 && static_cast<uint64_t>(got) == length) {
            r.outcome[i] = Outcome::Read;
        } else if (got == -EOPNOTSUPP &&
                   std::find(r.refused.begin(), r.refused.end(), device) == r.refused.end()) {
            r.refused.push_back(device); // this file is opened again, the device's next ones not
        }
        // Otherwise (the read would wait, the file system cannot read without waiting, it came
        // back short or failed) the file stays Plain, to be opened again.
    });
}

BatchReads::Outcome BatchReads::Result(size_t i) const {
    return ring_->outcome[i];
}

std::string_view BatchReads::Contents(size_t i) const {
    return {ring_->Buffer(i), static_cast<size_t>(ring_->status[i].st_size)};
}

FileDescriptor BatchReads::TakeFile(size_t i) {
    return std::move(ring_->file[i]);
}

const struct stat& BatchReads::Status(size_t i) const {
    return ring_->status[i];
}

void BatchReads::CloseUntaken() {
    for (FileDescriptor& file : ring_->file) {
        file = FileDescriptor();
    }
}

#else // no liburing: every file takes the plain path

struct BatchReads::Ring {
    struct stat status {};
};

// clang-format off
bool BatchReads::Available() { return false; }
BatchReads::BatchReads(size_t, size_t) : ring_(std::make_unique<Ring>()) {}
BatchReads::~BatchReads() = default;
bool BatchReads::Valid() const { return false; }
void BatchReads::Read(int, const DirectoryListing&, size_t, size_t) {}
BatchReads::Outcome BatchReads::Result(size_t) const { return Outcome::Plain; }
std::string_view BatchReads::Contents(size_t) const { return {}; }
FileDescriptor BatchReads::TakeFile(size_t) { return {}; }
const struct stat& BatchReads::Status(size_t) const { return ring_->status; }
void BatchReads::CloseUntaken() {}
// clang-format on

#endif

} // namespace scanvale::Search
