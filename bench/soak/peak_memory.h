#pragma once

#include <sys/resource.h>

// The process's peak resident memory so far, in KiB (never goes down).
inline long PeakMemoryKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
