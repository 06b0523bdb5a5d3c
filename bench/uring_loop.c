// The read loop (read_loop.c) with its kernel calls batched through io_uring: the same threads
// walk the tree in the same way, but each thread opens, reads and closes many files with one
// io_uring_enter instead of three or four system calls per file. The benchmark times it beside
// the read loop to tell whether batching pays for many small files.
//
//   scanvale_uring_loop [--threads N] [--in-flight F] FOLDER...
//
// --threads as in the read loop (default: one per processor). --in-flight sets how many files
// each thread has open at once (default 16). Prints "files F, bytes read B, folders D,
// unreadable U" to stdout, as the read loop. When io_uring cannot be used (a kernel without it,
// io_uring_disabled set, a seccomp filter) it says so on stderr, reads nothing and exits with
// status 3: it never falls back to plain reads, whose time would pass for its own.
//
// Each thread has its own ring, a table of F direct descriptors (slots) and a 100 KiB buffer
// per slot, the read loop's buffer size. It lists folders as the read loop does (readdir on a
// descriptor, d_type trusted, symbolic links skipped) and keeps the names of their regular
// files until a slot is free. For each file it queues one linked chain:
//
//   CLOSE of the slot's previous file  -(hard link)->  OPENAT into the slot  -(link)->  READ
//
// A read that returns less than asked for would cut a plain link, so the close cannot follow
// the read: it heads the chain that reuses the slot, and the slot's last file is closed when
// the walk ends. A file that fills the buffer stays open and is finished with further reads of
// the slot. The kernel retries a short read of a regular file itself until it reaches the end
// or an error, so a result shorter than the buffer ends the file: the read loop's last read,
// the one that returns 0, happens inside that request. The open and the close post no
// completion when they succeed (IOSQE_CQE_SKIP_SUCCESS), so a small file completes once, and a
// failed open cancels its read without a completion.
//
// A thread lists another folder without waiting whenever it has more free slots than listed
// files, submits every chain it can, then waits for one completion and takes all that came.
// Folders go onto a shared stack as in the read loop; a thread pushes a folder's subfolders as
// soon as it has listed it, not after reading its files.
#define _GNU_SOURCE
#define LOOP_PROGRAM "scanvale_uring_loop"
#include "loop_walk.h"

#include <errno.h>
#include <liburing.h>

enum {
    kDefaultInFlight = 16,
    kMaxInFlight = 4096,
    kUnavailable = 3, // the exit status when io_uring cannot be used
};

// What a completion is for: the low two bits of its user_data; the slot is the rest.
enum { kClose = 0, kOpen = 1, kRead = 2 };

// A listed folder whose regular files are still to be opened. It stays open (its descriptor is
// the directory of their opens) until the last of their opens has completed.
typedef struct Folder {
    DIR* dir;
    int fd;
    char* names; // the files' names, each ended by a NUL
    size_t length, capacity;
    size_t next;          // where the next name to open starts
    unsigned left;        // names not yet opened
    unsigned opening;     // opens submitted and not yet completed
    struct Folder* later; // the next folder of the thread's queue
} Folder;

typedef enum { kFree, kOpening, kReading } SlotState;

typedef struct {
    char* buffer;
    uint64_t offset; // where the next read of the slot's file starts
    Folder* folder;  // while its open is in flight
    SlotState state;
    int holds; // the slot holds an open file, to close before the slot is reused
} Slot;

// One thread's ring, slots and listed folders.
typedef struct {
    struct io_uring ring;
    Slot* slots;
    unsigned* free; // the free slots' indexes
    unsigned free_count;
    unsigned slot_count;
    Folder *first, *last; // the folders with names not yet opened, oldest first
    size_t queued;        // names listed and not yet opened
    Tally* tally;
} Worker;

static unsigned in_flight = kDefaultInFlight;
static int setup_flags; // the io_uring_setup flags that the kernel accepted

// The next folder to list, or NULL: when waiting, only once the stack is empty and nobody lists
// a folder any more; otherwise also whenever the stack is empty now. A thread that takes a
// folder counts as listing until it calls Listed.
static char* Take(int wait) {
    pthread_mutex_lock(&stack.lock);
    while (wait && stack.count == 0 && stack.listing > 0) {
        pthread_cond_wait(&stack.changed, &stack.lock);
    }
    char* folder = PopLocked();
    pthread_mutex_unlock(&stack.lock);
    return folder;
}

// Ends a listing: pushes the subfolders it found.
static void Listed(char** found, size_t n) {
    pthread_mutex_lock(&stack.lock);
    PushLocked(found, n);
    --stack.listing;
    if (n > 0 || (stack.listing == 0 && stack.count == 0)) {
        pthread_cond_broadcast(&stack.changed);
    }
    pthread_mutex_unlock(&stack.lock);
}

static void FreeFolder(Folder* folder) {
    closedir(folder->dir);
    free(folder->names);
    free(folder);
}

// Keeps the name of a regular file of a folder being listed, to open once a slot is free.
static void Keep(void* context, int fd, const char* name) {
    (void)fd; // the Folder holds it
    Folder* folder = context;
    const size_t size = strlen(name) + 1;
    if (folder->length + size > folder->capacity) {
        folder->capacity = (folder->length + size) * 2;
        folder->names = Allocate(folder->names, folder->capacity);
    }
    memcpy(folder->names + folder->length, name, size);
    folder->length += size;
    ++folder->left;
}

// Lists one folder: queues the names of its regular files and pushes its subfolders.
static void List(Worker* w, const char* path) {
    int fd;
    DIR* dir = OpenFolder(path, &fd);
    if (dir == NULL) {
        ++w->tally->unreadable;
        Listed(NULL, 0);
        return;
    }
    ++w->tally->folders;
    Folder* folder = Allocate(NULL, sizeof *folder);
    *folder = (Folder){dir, fd, NULL, 0, 0, 0, 0, 0, NULL};
    size_t count;
    char** found = ListFolder(dir, fd, path, Keep, folder, &count);
    Listed(found, count);
    free(found);
    if (folder->left == 0) {
        FreeFolder(folder);
        return;
    }
    if (w->last != NULL) {
        w->last->later = folder;
    } else {
        w->first = folder;
    }
    w->last = folder;
    w->queued += folder->left;
}

// Takes the next folder (waiting for one or not, as Take) and lists it; 0 when there was none.
static int ListNext(Worker* w, int wait) {
    char* folder = Take(wait);
    if (folder == NULL) {
        return 0;
    }
    List(w, folder);
    free(folder);
    return 1;
}

static struct io_uring_sqe* Sqe(Worker* w) {
    struct io_uring_sqe* sqe = io_uring_get_sqe(&w->ring);
    if (sqe == NULL) { // the ring has room for every slot's chain: cannot happen
        fputs("scanvale_uring_loop: submission queue full\n", stderr);
        exit(1);
    }
    return sqe;
}

static void Read(Worker* w, unsigned index) {
    Slot* slot = &w->slots[index];
    struct io_uring_sqe* sqe = Sqe(w);
    io_uring_prep_read(sqe, (int)index, slot->buffer, kBufferSize, slot->offset);
    sqe->flags |= IOSQE_FIXED_FILE;
    io_uring_sqe_set_data64(sqe, (uint64_t)index << 2 | kRead);
}

// Queues the chain of the next listed file in a free slot.
static void Start(Worker* w) {
    Folder* folder = w->first;
    const char* name = folder->names + folder->next;
    folder->next += strlen(name) + 1;
    ++folder->opening;
    if (--folder->left == 0) { // freed once its last open completed
        w->first = folder->later;
        if (w->first == NULL) {
            w->last = NULL;
        }
    }
    --w->queued;

    const unsigned index = w->free[--w->free_count];
    Slot* slot = &w->slots[index];
    struct io_uring_sqe* sqe;
    if (slot->holds) {
        sqe = Sqe(w);
        io_uring_prep_close_direct(sqe, index);
        sqe->flags |= IOSQE_IO_HARDLINK | IOSQE_CQE_SKIP_SUCCESS;
        io_uring_sqe_set_data64(sqe, (uint64_t)index << 2 | kClose);
        slot->holds = 0;
    }
    sqe = Sqe(w);
    io_uring_prep_openat_direct(sqe, folder->fd, name, O_RDONLY | O_NOFOLLOW, 0, index);
    sqe->flags |= IOSQE_IO_LINK | IOSQE_CQE_SKIP_SUCCESS;
    io_uring_sqe_set_data64(sqe, (uint64_t)index << 2 | kOpen);
    slot->offset = 0;
    slot->folder = folder;
    slot->state = kOpening;
    Read(w, index);
}

// The slot's open has completed, successfully or not.
static void Opened(Slot* slot) {
    Folder* folder = slot->folder;
    slot->folder = NULL;
    if (--folder->opening == 0 && folder->left == 0) {
        FreeFolder(folder);
    }
}

static void Release(Worker* w, unsigned index) {
    w->slots[index].state = kFree;
    w->free[w->free_count++] = index;
}

static void Complete(Worker* w, const struct io_uring_cqe* cqe) {
    const unsigned index = (unsigned)(cqe->user_data >> 2);
    const int kind = (int)(cqe->user_data & 3);
    Slot* slot = &w->slots[index];
    if (kind == kClose) { // a failed close: the open after it replaces the slot's file anyway
        return;
    }
    if (kind == kOpen) { // a failed open; its read is cancelled without a completion
        Opened(slot);
        ++w->tally->unreadable;
        Release(w, index);
        return;
    }
    if (slot->state == kFree) { // a cancelled read after a failed open, should one be posted
        return;
    }
    if (slot->state == kOpening) {
        Opened(slot);
        slot->holds = 1;
    }
    const int n = cqe->res;
    if (n < 0) {
        ++w->tally->unreadable;
        Release(w, index);
        return;
    }
    w->tally->bytes += (uint64_t)n;
    if (n == kBufferSize) { // there may be more
        slot->offset += (uint64_t)n;
        slot->state = kReading;
        Read(w, index);
        return;
    }
    ++w->tally->files;
    Release(w, index);
}

// Sets up a ring and a table of slots for that many files in flight; 0 or a negative errno.
static int SetUp(struct io_uring* ring, unsigned files, int flags) {
    struct io_uring_params params;
    memset(&params, 0, sizeof params);
    params.flags = (unsigned)flags;
    // Up to three entries for each slot's chain, one read for each slot: never full.
    const int error = io_uring_queue_init_params(files * 4, ring, &params);
    if (error < 0) {
        return error;
    }
    const int registered = io_uring_register_files_sparse(ring, files);
    if (registered < 0) {
        io_uring_queue_exit(ring);
        return registered;
    }
    return 0;
}

static void* Walk(void* arg) {
    Worker w;
    memset(&w, 0, sizeof w);
    w.tally = arg;
    const int error = SetUp(&w.ring, in_flight, setup_flags);
    if (error < 0) {
        fprintf(stderr, "scanvale_uring_loop: io_uring set-up failed: %s\n", strerror(-error));
        exit(1);
    }
    w.slot_count = in_flight;
    w.slots = calloc(in_flight, sizeof *w.slots);
    w.free = Allocate(NULL, in_flight * sizeof *w.free);
    char* buffers = Allocate(NULL, (size_t)in_flight * kBufferSize);
    if (w.slots == NULL) {
        exit(1);
    }
    for (unsigned i = 0; i < in_flight; ++i) {
        w.slots[i].buffer = buffers + (size_t)i * kBufferSize;
        w.free[w.free_count++] = in_flight - 1 - i;
    }

    for (;;) {
        // List while that gives files to open right away.
        while (w.queued < w.free_count && ListNext(&w, 0)) {
        }
        if (w.queued == 0 && w.free_count == w.slot_count) { // nothing in flight: wait
            if (!ListNext(&w, 1)) {
                break;
            }
            continue;
        }
        while (w.free_count > 0 && w.queued > 0) {
            Start(&w);
        }
        const int submitted = io_uring_submit_and_wait(&w.ring, 1);
        if (submitted < 0 && submitted != -EINTR) {
            fprintf(stderr, "scanvale_uring_loop: io_uring_enter: %s\n", strerror(-submitted));
            exit(1);
        }
        struct io_uring_cqe* cqe;
        unsigned head, seen = 0;
        io_uring_for_each_cqe(&w.ring, head, cqe) {
            Complete(&w, cqe);
            ++seen;
        }
        io_uring_cq_advance(&w.ring, seen);
    }

    // Close the files the slots still hold.
    unsigned closing = 0;
    for (unsigned i = 0; i < w.slot_count; ++i) {
        if (w.slots[i].holds) {
            struct io_uring_sqe* sqe = Sqe(&w);
            io_uring_prep_close_direct(sqe, i);
            io_uring_sqe_set_data64(sqe, (uint64_t)i << 2 | kClose);
            ++closing;
        }
    }
    if (closing > 0) {
        io_uring_submit_and_wait(&w.ring, closing);
    }
    io_uring_queue_exit(&w.ring);
    free(buffers);
    free(w.free);
    free(w.slots);
    return NULL;
}

// Whether this kernel lets the program use io_uring with the operations it needs: 0, or a
// message on stderr and the exit status kUnavailable. Also picks the set-up flags.
static int CheckUring(void) {
    // A ring used by its own thread only, its completions run when it waits: cheaper where the
    // kernel knows these flags (6.1 and later), a plain ring elsewhere.
    const int preferred = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
    struct io_uring ring;
    int error = SetUp(&ring, 1, preferred);
    setup_flags = preferred;
    if (error == -EINVAL) {
        error = SetUp(&ring, 1, 0);
        setup_flags = 0;
    }
    if (error < 0) {
        fprintf(stderr,
                "scanvale_uring_loop: io_uring cannot be used here (%s%s); nothing was read. "
                "Time scanvale_read_loop alone.\n",
                strerror(-error),
                error == -ENOSYS  ? ": a kernel without io_uring, or a seccomp filter"
                : error == -EPERM ? ": see /proc/sys/kernel/io_uring_disabled, or a seccomp filter"
                                  : "");
        return kUnavailable;
    }
    struct io_uring_probe* probe = io_uring_get_probe_ring(&ring);
    const int ok = probe != NULL && io_uring_opcode_supported(probe, IORING_OP_OPENAT) &&
                   io_uring_opcode_supported(probe, IORING_OP_READ) &&
                   io_uring_opcode_supported(probe, IORING_OP_CLOSE);
    io_uring_free_probe(probe);
    io_uring_queue_exit(&ring);
    if (!ok) {
        fputs("scanvale_uring_loop: this kernel's io_uring lacks OPENAT, READ or CLOSE; nothing "
              "was read\n",
              stderr);
        return kUnavailable;
    }
    return 0;
}

static int Usage(void) {
    fputs("usage: scanvale_uring_loop [--threads N] [--in-flight F] FOLDER...\n", stderr);
    return 2;
}

int main(int argc, char** argv) {
    unsigned threads = ProcessorCount();
    int first = 1;
    while (first + 1 < argc) {
        if (strcmp(argv[first], "--threads") == 0) {
            threads = Number(argv[first + 1], kMaxThreads);
        } else if (strcmp(argv[first], "--in-flight") == 0) {
            in_flight = Number(argv[first + 1], kMaxInFlight);
        } else {
            break;
        }
        if (threads == 0 || in_flight == 0) {
            return Usage();
        }
        first += 2;
    }
    if (first >= argc) {
        return Usage();
    }
    const int unavailable = CheckUring();
    if (unavailable != 0) {
        return unavailable;
    }
    PushArguments(argc, argv, first);
    return RunWalk(threads, Walk);
}
