// What the read loop (read_loop.c) and the io_uring loop (uring_loop.c) share: the stack of
// folders still to list, the listing of one folder, the tallies, and what main does around the
// walk (the folders given, the threads, the summary line). How a thread takes folders from the
// stack and how it reads the files it lists stay with each loop: that is what they compare.
//
// Included by the one C file of each program, after it has defined _GNU_SOURCE (before any
// system header) and LOOP_PROGRAM, its name for messages. Static functions in a header rather
// than a .c file linked into both: each program stays a single translation unit, compiled as a
// whole as before, so the listing's per-file callback and EntryType inline into each loop's own
// code and the messages take the program's name at compile time.
#ifndef SCANVALE_BENCH_LOOP_WALK_H
#define SCANVALE_BENCH_LOOP_WALK_H

#ifndef _GNU_SOURCE
#error "define _GNU_SOURCE before any include (CPU_COUNT, sched_getaffinity)"
#endif
#ifndef LOOP_PROGRAM
#error "define LOOP_PROGRAM, the program's name for its messages, before including loop_walk.h"
#endif

#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum {
    kBufferSize = 102400, // the engine's block size: what one read asks for
    kMaxThreads = 1024,   // the most --threads takes
};

// The folders still to list, and how many threads are listing one (and may push more).
static struct {
    pthread_mutex_t lock;
    pthread_cond_t changed;
    char** folders;
    size_t count, capacity;
    unsigned listing;
} stack = {PTHREAD_MUTEX_INITIALIZER, PTHREAD_COND_INITIALIZER, NULL, 0, 0, 0};

// What one thread did.
typedef struct {
    uint64_t files, bytes, folders, unreadable;
} Tally;

// realloc that ends the program when memory runs out.
static void* Allocate(void* old, size_t size) {
    void* p = realloc(old, size);
    if (p == NULL) {
        fputs(LOOP_PROGRAM ": out of memory\n", stderr);
        exit(1);
    }
    return p;
}

// Pushes folders (which the stack then owns); under the lock.
static void PushLocked(char** folders, size_t n) {
    if (n == 0) {
        return;
    }
    if (stack.count + n > stack.capacity) {
        stack.capacity = (stack.count + n) * 2;
        stack.folders = Allocate(stack.folders, stack.capacity * sizeof *stack.folders);
    }
    memcpy(stack.folders + stack.count, folders, n * sizeof *folders);
    stack.count += n;
}

// The folder on top of the stack, which the caller then owns and counts as listing, or NULL when
// the stack is empty; under the lock.
static char* PopLocked(void) {
    if (stack.count == 0) {
        return NULL;
    }
    ++stack.listing;
    return stack.folders[--stack.count];
}

// The entry's type, from the listing unless the file system left it unknown.
static unsigned char EntryType(int folder, const struct dirent* entry) {
    if (entry->d_type != DT_UNKNOWN) {
        return entry->d_type;
    }
    struct stat st;
    if (fstatat(folder, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return DT_UNKNOWN;
    }
    return S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) ? DT_DIR : DT_UNKNOWN;
}

// Opens a folder for listing: its stream and, in *fd, its descriptor (the directory for opens
// of its files); NULL, with nothing left open, when it cannot be listed.
static DIR* OpenFolder(const char* path, int* fd) {
    *fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = *fd < 0 ? NULL : fdopendir(*fd);
    if (dir == NULL && *fd >= 0) {
        close(*fd);
    }
    return dir;
}

// Lists an open folder (OpenFolder) found at path: calls file(context, fd, name) for each
// regular file as the listing reaches it, and returns the paths of its subfolders (*count of
// them; the caller owns the array and the paths, and pushes them). "." and ".." are skipped,
// and so is every entry that is neither a regular file nor a folder: symbolic links are never
// followed.
static char** ListFolder(DIR* dir, int fd, const char* path,
                         void (*file)(void* context, int folder, const char* name), void* context,
                         size_t* count) {
    char** found = NULL;
    size_t capacity = 0;
    *count = 0;
    const char* prefix = strcmp(path, "/") == 0 ? "" : path; // no "//name" under the root
    const size_t length = strlen(prefix);
    for (const struct dirent* entry; (entry = readdir(dir)) != NULL;) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        const unsigned char type = EntryType(fd, entry);
        if (type == DT_REG) {
            file(context, fd, name);
        } else if (type == DT_DIR) {
            const size_t size = length + 1 + strlen(name) + 1;
            char* child = Allocate(NULL, size);
            snprintf(child, size, "%s/%s", prefix, name);
            if (*count == capacity) {
                capacity = capacity ? capacity * 2 : 16;
                found = Allocate(found, capacity * sizeof *found);
            }
            found[(*count)++] = child;
        }
    }
    return found;
}

// How many processors this process may run on: the default number of threads, one per
// processor as the engine's workers.
static unsigned ProcessorCount(void) {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return (unsigned)CPU_COUNT(&set);
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? (unsigned)online : 1;
}

// A number option's value in [1, most], or 0.
static unsigned Number(const char* text, unsigned long most) {
    char* end = NULL;
    const unsigned long n = strtoul(text, &end, 10);
    return *end != '\0' || end == text || n == 0 || n > most ? 0 : (unsigned)n;
}

// Pushes the folders given on the command line, argv[first] on, each without its trailing
// slashes (the root stays "/"), so that the paths listed under it are the same however it was
// written. Before any thread starts: the lock is not taken.
static void PushArguments(int argc, char** argv, int first) {
    for (int i = first; i < argc; ++i) {
        size_t length = strlen(argv[i]);
        while (length > 1 && argv[i][length - 1] == '/') {
            --length;
        }
        char* folder = Allocate(NULL, length + 1);
        memcpy(folder, argv[i], length);
        folder[length] = '\0';
        PushLocked(&folder, 1);
    }
}

// Runs walk (given its thread's Tally) on that many threads, or on as many as could start, until
// all have returned, and prints their summed tallies to stdout:
//   files F, bytes read B, folders D, unreadable U
// Returns main's exit status: 1 when no thread could start, or without memory for the tallies.
static int RunWalk(unsigned threads, void* (*walk)(void* tally)) {
    pthread_t* ids = Allocate(NULL, threads * sizeof *ids);
    Tally* tallies = calloc(threads, sizeof *tallies);
    if (tallies == NULL) {
        return 1;
    }
    unsigned started = 0;
    for (; started < threads; ++started) {
        if (pthread_create(&ids[started], NULL, walk, &tallies[started]) != 0) {
            break;
        }
    }
    if (started == 0) {
        fputs(LOOP_PROGRAM ": no thread could start\n", stderr);
        return 1;
    }
    Tally total = {0, 0, 0, 0};
    for (unsigned i = 0; i < started; ++i) {
        pthread_join(ids[i], NULL);
        total.files += tallies[i].files;
        total.bytes += tallies[i].bytes;
        total.folders += tallies[i].folders;
        total.unreadable += tallies[i].unreadable;
    }
    printf("files %llu, bytes read %llu, folders %llu, unreadable %llu\n",
           (unsigned long long)total.files, (unsigned long long)total.bytes,
           (unsigned long long)total.folders, (unsigned long long)total.unreadable);
    free(tallies);
    free(ids);
    return 0;
}

#endif
