#pragma once

#include <sys/resource.h>

namespace scanvale::bench {

// The process's peak resident memory so far, in KiB (never goes down).
inline long PeakMemoryKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace scanvale::bench
