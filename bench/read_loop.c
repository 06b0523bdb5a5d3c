// The fastest any search of a tree can be: threads walk the tree and read every regular file
// through a buffer of the engine's block size, doing nothing else with the bytes. The benchmark
// times it beside the engine, so the engine's time is also shown against what merely reading
// the files costs.
//
//   scanvale_read_loop [--threads N] FOLDER...
//
// --threads sets how many threads walk and read (default: one per processor, as the engine's
// workers). Prints "files F, bytes read B, folders D, unreadable U" to stdout.
//
// The threads share one stack of folders still to list. A thread takes a folder, lists it,
// reads each regular file in it to the end, and pushes its subfolders when the listing is done.
// Entry types come from the listing (d_type) and are trusted: there is no stat of any file.
// Only a file system that leaves the type unknown costs one fstatat for that entry. Symbolic
// links are skipped, never followed. The engine follows them, but the benchmark's corpora hold
// none (the copy of /usr is made without them), so on them both read the same files.
#define _GNU_SOURCE
#define LOOP_PROGRAM "scanvale_read_loop"
#include "loop_walk.h"

#include <errno.h>

// The next folder to list, or NULL when the stack is empty and nobody lists a folder any more.
// A thread that takes a folder counts as listing until it asks for the next one.
static char* Take(int finished) {
    pthread_mutex_lock(&stack.lock);
    if (finished) {
        --stack.listing;
        if (stack.listing == 0 && stack.count == 0) {
            pthread_cond_broadcast(&stack.changed);
        }
    }
    while (stack.count == 0 && stack.listing > 0) {
        pthread_cond_wait(&stack.changed, &stack.lock);
    }
    char* folder = PopLocked();
    pthread_mutex_unlock(&stack.lock);
    return folder;
}

// A listing thread's buffer and tally, for ReadFile.
typedef struct {
    char* buffer;
    Tally* tally;
} Reader;

// Reads a regular file of a folder being listed to its end, and counts it: as read, or as
// unreadable when it cannot be opened or read.
static void ReadFile(void* context, int folder, const char* name) {
    Reader* reader = context;
    const int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        ++reader->tally->unreadable;
        return;
    }
    int ok = 1;
    for (;;) {
        const ssize_t n = read(fd, reader->buffer, kBufferSize);
        if (n > 0) {
            reader->tally->bytes += (uint64_t)n;
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = 0;
            break;
        }
    }
    close(fd);
    if (ok) {
        ++reader->tally->files;
    } else {
        ++reader->tally->unreadable;
    }
}

// Lists one folder: reads its regular files and pushes its subfolders.
static void List(const char* path, char* buffer, Tally* tally) {
    int fd;
    DIR* dir = OpenFolder(path, &fd);
    if (dir == NULL) {
        ++tally->unreadable;
        return;
    }
    ++tally->folders;
    Reader reader = {buffer, tally};
    size_t count;
    char** found = ListFolder(dir, fd, path, ReadFile, &reader, &count);
    closedir(dir);
    if (count > 0) {
        pthread_mutex_lock(&stack.lock);
        PushLocked(found, count);
        pthread_cond_broadcast(&stack.changed);
        pthread_mutex_unlock(&stack.lock);
    }
    free(found);
}

static void* Walk(void* arg) {
    Tally* tally = arg;
    char* buffer = Allocate(NULL, kBufferSize);
    for (char* folder = Take(0); folder != NULL; folder = Take(1)) {
        List(folder, buffer, tally);
        free(folder);
    }
    free(buffer);
    return NULL;
}

static int Usage(void) {
    fputs("usage: scanvale_read_loop [--threads N] FOLDER...\n", stderr);
    return 2;
}

int main(int argc, char** argv) {
    unsigned threads = ProcessorCount();
    int first = 1;
    if (argc > 2 && strcmp(argv[1], "--threads") == 0) {
        threads = Number(argv[2], kMaxThreads);
        if (threads == 0) {
            return Usage();
        }
        first = 3;
    }
    if (first >= argc) {
        return Usage();
    }
    PushArguments(argc, argv, first);
    return RunWalk(threads, Walk);
}
