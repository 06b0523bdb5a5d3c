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
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

enum { kBufferSize = 102400 }; // the engine's block size

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

static void* Allocate(void* old, size_t size) {
    void* p = realloc(old, size);
    if (p == NULL) {
        fputs("scanvale_read_loop: out of memory\n", stderr);
        exit(1);
    }
    return p;
}

// Pushes folders (which the stack then owns); under the lock.
static void PushLocked(char** folders, size_t n) {
    if (stack.count + n > stack.capacity) {
        stack.capacity = (stack.count + n) * 2;
        stack.folders = Allocate(stack.folders, stack.capacity * sizeof *stack.folders);
    }
    memcpy(stack.folders + stack.count, folders, n * sizeof *folders);
    stack.count += n;
}

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
    char* folder = NULL;
    if (stack.count > 0) {
        folder = stack.folders[--stack.count];
        ++stack.listing;
    }
    pthread_mutex_unlock(&stack.lock);
    return folder;
}

// Reads a file to its end; false when it cannot be opened or read.
static int ReadFile(int folder, const char* name, char* buffer, Tally* tally) {
    const int fd = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return 0;
    }
    int ok = 1;
    for (;;) {
        const ssize_t n = read(fd, buffer, kBufferSize);
        if (n > 0) {
            tally->bytes += (uint64_t)n;
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = 0;
            break;
        }
    }
    close(fd);
    return ok;
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

// Lists one folder: reads its regular files and pushes its subfolders.
static void List(const char* path, char* buffer, Tally* tally) {
    const int fd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd < 0 ? NULL : fdopendir(fd);
    if (dir == NULL) {
        if (fd >= 0) {
            close(fd);
        }
        ++tally->unreadable;
        return;
    }
    ++tally->folders;
    char** found = NULL;
    size_t count = 0, capacity = 0;
    const char* prefix = strcmp(path, "/") == 0 ? "" : path; // no "//name" under the root
    const size_t length = strlen(prefix);
    for (const struct dirent* entry; (entry = readdir(dir)) != NULL;) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
            continue;
        }
        const unsigned char type = EntryType(fd, entry);
        if (type == DT_REG) {
            if (ReadFile(fd, name, buffer, tally)) {
                ++tally->files;
            } else {
                ++tally->unreadable;
            }
        } else if (type == DT_DIR) {
            const size_t size = length + 1 + strlen(name) + 1;
            char* child = Allocate(NULL, size);
            snprintf(child, size, "%s/%s", prefix, name);
            if (count == capacity) {
                capacity = capacity ? capacity * 2 : 16;
                found = Allocate(found, capacity * sizeof *found);
            }
            found[count++] = child;
        }
    }
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

static unsigned ProcessorCount(void) {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return (unsigned)CPU_COUNT(&set);
    }
    const long online = sysconf(_SC_NPROCESSORS_ONLN);
    return online > 0 ? (unsigned)online : 1;
}

static int Usage(void) {
    fputs("usage: scanvale_read_loop [--threads N] FOLDER...\n", stderr);
    return 2;
}

int main(int argc, char** argv) {
    unsigned threads = ProcessorCount();
    int first = 1;
    if (argc > 2 && strcmp(argv[1], "--threads") == 0) {
        char* end = NULL;
        const unsigned long n = strtoul(argv[2], &end, 10);
        if (*end != '\0' || end == argv[2] || n == 0 || n > 1024) {
            return Usage();
        }
        threads = (unsigned)n;
        first = 3;
    }
    if (first >= argc) {
        return Usage();
    }
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

    pthread_t* ids = Allocate(NULL, threads * sizeof *ids);
    Tally* tallies = calloc(threads, sizeof *tallies);
    if (tallies == NULL) {
        return 1;
    }
    unsigned started = 0;
    for (; started < threads; ++started) {
        if (pthread_create(&ids[started], NULL, Walk, &tallies[started]) != 0) {
            break;
        }
    }
    if (started == 0) {
        fputs("scanvale_read_loop: no thread could start\n", stderr);
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
