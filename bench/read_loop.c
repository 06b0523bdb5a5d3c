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
// pushes its subfolders, and reads each regular file in it to the end; a thread with no folder
// to list takes the next unread file of a folder another is reading, so a folder of a few
// large files is read on every thread.
// Entry types come from the listing (d_type) and are trusted: there is no stat of any file.
// Only a file system that leaves the type unknown costs one fstatat for that entry. Symbolic
// links are skipped, never followed. The engine follows them, but the benchmark's corpora hold
// none (the copy of /usr is made without them), so on them both read the same files.
#define _GNU_SOURCE
#define LOOP_PROGRAM "scanvale_read_loop"
#include "loop_walk.h"

#include <errno.h>
#include <stdatomic.h>

// The regular files of a listed folder, read by whichever threads take them: the thread that
// listed the folder begins on them, and a thread with no folder to list joins in, so that a
// folder of a few large files is read on every thread, as the engine's workers share it.
// Its files are claimed one at a time (next); it stays on the list of jobs while some are
// unclaimed, and the last thread reading it frees it. Guarded by the stack's lock but `next`.
typedef struct Job {
    DIR* dir;   // the folder's stream, open until the job is freed
    int folder; // its descriptor
    char** names;
    size_t count;
    atomic_size_t next;
    unsigned readers;
    int listed; // still on the list of jobs
    struct Job* later;
} Job;

static Job* jobs = NULL; // with unclaimed files, newest first; under the stack's lock

// A job with unclaimed files, taken off the list of jobs once it has none; under the lock.
static Job* OpenJobLocked(void) {
    for (Job** at = &jobs; *at != NULL;) {
        Job* job = *at;
        if (atomic_load(&job->next) < job->count) {
            return job;
        }
        *at = job->later;
        job->listed = 0;
    }
    return NULL;
}

// Stops reading a job; frees it when it was the last reader of a job with no unclaimed files.
static void LeaveJob(Job* job) {
    pthread_mutex_lock(&stack.lock);
    int last = --job->readers == 0 && atomic_load(&job->next) >= job->count;
    if (last && job->listed) {
        for (Job** at = &jobs; *at != NULL; at = &(*at)->later) {
            if (*at == job) {
                *at = job->later;
                break;
            }
        }
    }
    pthread_mutex_unlock(&stack.lock);
    if (last) {
        closedir(job->dir);
        for (size_t i = 0; i < job->count; ++i) {
            free(job->names[i]);
        }
        free(job->names);
        free(job);
    }
}

// What a thread is to do next: list a folder (returned), read a job's files (*job), or nothing
// (NULL with *job NULL) once the stack is empty, nobody lists a folder and no job has
// unclaimed files. A thread that takes a folder counts as listing until it asks again.
static char* Take(int finished, Job** job) {
    pthread_mutex_lock(&stack.lock);
    if (finished) {
        --stack.listing;
        if (stack.listing == 0 && stack.count == 0) {
            pthread_cond_broadcast(&stack.changed);
        }
    }
    char* folder;
    for (;;) {
        folder = PopLocked();
        *job = folder == NULL ? OpenJobLocked() : NULL;
        if (folder != NULL || *job != NULL || stack.listing == 0) {
            break;
        }
        pthread_cond_wait(&stack.changed, &stack.lock);
    }
    if (*job != NULL) {
        ++(*job)->readers;
    }
    pthread_mutex_unlock(&stack.lock);
    return folder;
}

// A listing thread's buffer and tally, and the job its folder's files go to.
typedef struct {
    char* buffer;
    Tally* tally;
    Job* job;
    size_t capacity;
} Reader;

// Reads a regular file to its end, and counts it: as read, or as unreadable when it cannot be
// opened or read.
static void ReadFile(Reader* reader, int folder, const char* name) {
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

// Reads the files of a job that nobody has claimed yet, then leaves it.
static void ReadJob(Reader* reader, Job* job) {
    for (size_t i; (i = atomic_fetch_add(&job->next, 1)) < job->count;) {
        ReadFile(reader, job->folder, job->names[i]);
    }
    LeaveJob(job);
}

// Keeps the name of a regular file of the folder being listed, for its job.
static void KeepFile(void* context, int folder, const char* name) {
    (void)folder;
    Reader* reader = context;
    Job* job = reader->job;
    if (job->count == reader->capacity) {
        reader->capacity = reader->capacity ? reader->capacity * 2 : 64;
        job->names = Allocate(job->names, reader->capacity * sizeof *job->names);
    }
    const size_t length = strlen(name) + 1;
    job->names[job->count] = Allocate(NULL, length);
    memcpy(job->names[job->count++], name, length);
}

// Lists one folder, pushes its subfolders and offers its regular files to every thread as a
// job, then reads them itself as long as some are unclaimed.
static void List(const char* path, char* buffer, Tally* tally) {
    int fd;
    DIR* dir = OpenFolder(path, &fd);
    if (dir == NULL) {
        ++tally->unreadable;
        return;
    }
    ++tally->folders;
    Job* job = Allocate(NULL, sizeof *job);
    *job = (Job){.dir = dir, .folder = fd, .readers = 1, .listed = 1};
    atomic_init(&job->next, 0);
    Reader reader = {buffer, tally, job, 0};
    size_t count;
    char** found = ListFolder(dir, fd, path, KeepFile, &reader, &count);
    pthread_mutex_lock(&stack.lock);
    PushLocked(found, count);
    if (job->count > 1) {
        job->later = jobs;
        jobs = job;
    } else {
        job->listed = 0; // one file or none: nothing to share
    }
    if (count > 0 || job->count > 1) {
        pthread_cond_broadcast(&stack.changed);
    }
    pthread_mutex_unlock(&stack.lock);
    free(found);
    ReadJob(&reader, job);
}

static void* Walk(void* arg) {
    Tally* tally = arg;
    char* buffer = Allocate(NULL, kBufferSize);
    Reader reader = {buffer, tally, NULL, 0};
    Job* job = NULL;
    for (char* folder = Take(0, &job); folder != NULL || job != NULL;) {
        if (folder != NULL) {
            List(folder, buffer, tally);
            free(folder);
            folder = Take(1, &job);
        } else {
            ReadJob(&reader, job);
            folder = Take(0, &job);
        }
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
